#pragma once

#include "settings/codage.h"

#include <QString>
#include <optional>

struct LectureFichier {
    bool lu = false;
    QString erreur; // raison donnée par le système quand `lu` est faux
    TexteDecode contenu;
};

LectureFichier litFichierTexte(const QString& chemin);

// Remplace le fichier d'un coup (écrit à côté puis renommé) : en cas d'échec l'ancien reste entier.
// Renvoie la raison de l'échec. `codage` peut passer en UTF-8 (voir encode).
std::optional<QString> ecritFichierTexte(const QString& chemin, const QString& texte, Codage& codage);
