#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

enum class IconeMessage { Aucune, Information, Critique };

// Boîtes de message, bip, choix de couleur et de fichier : toutes modales.
class Dialogues {
public:
    virtual ~Dialogues() = default;
    // Une boîte avec le seul bouton OK ; revient quand elle est fermée.
    virtual void message(QWidget* parent, const QString& texte, const QString& titre, IconeMessage icone) = 0;
    virtual void bip() = 0;
    // Couleur choisie, ou rien si l'utilisateur annule.
    virtual std::optional<QColor> couleur(QWidget* parent, const QColor& initiale) = 0;
    // Chemin complet du fichier choisi, ou rien si l'utilisateur annule.
    // `filtre` a la forme « libellé|motifs » (motifs séparés par « ; »).
    virtual std::optional<QString> fichier(QWidget* parent, const QString& filtre) = 0;
};
