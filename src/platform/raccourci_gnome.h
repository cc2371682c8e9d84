#pragma once

#include <QString>
#include <optional>

// Le raccourci personnalisé de GNOME qui dit l'heure : une seule entrée à nous parmi les
// « custom-keybindings » de org.gnome.settings-daemon.plugins.media-keys. Les autres entrées de
// l'utilisateur ne sont jamais touchées, et rien n'est écrit sans qu'il le demande.
class RaccourciGnome {
public:
    virtual ~RaccourciGnome() = default;
    // Notre entrée, telle que GNOME la tient : sa combinaison (forme GTK, « <Alt><Super>h »), ou
    // rien si elle n'y est pas ; une erreur (pas de schéma, pas de réglages) si GNOME n'est pas là.
    struct Etat {
        bool accessible = false;
        std::optional<QString> combinaison;
        QString erreur;
    };
    virtual Etat lit() = 0;
    // Ajoute notre entrée ou la met à jour ; faux, avec la raison dans `erreur`, si rien n'est écrit.
    virtual bool inscrit(const QString& nom, const QString& commande, const QString& combinaison,
                         QString& erreur) = 0;
    virtual bool retire(QString& erreur) = 0;
};

// Le chemin de notre entrée (schéma relogeable …media-keys.custom-keybinding).
inline const QString CheminRaccourciGnome =
    QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/chronovocalis/");
