#pragma once

#include <QString>
#include <optional>

// Lecture des valeurs : blancs ignorés autour ; lettres, valeur vide ou dépassement refusés.
std::optional<qint32> versEntier32(QStringView texte);
std::optional<qint16> versEntier16(QStringView texte);
// true/false/vrai/faux sans égard à la casse, ou un entier (0 faux, tout autre vrai).
std::optional<bool> versDrapeau(QStringView texte);

// Un chemin écrit à la main « ALEXE1 = /chemin » garde le blanc d'après le « = » : il ne fait pas
// partie du chemin, et Windows l'ignorait. Seules les espaces de tête partent, le reste est gardé.
QString sansBlancsEnTete(const QString& chemin);

// Écriture : les mots de la plateforme d'origine, relus par versDrapeau.
QString texteDrapeau(bool valeur);
