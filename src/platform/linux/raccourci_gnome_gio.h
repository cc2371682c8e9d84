#pragma once

#include "platform/raccourci_gnome.h"

// Par GSettings (GIO), qui écrit dans dconf comme les réglages de GNOME eux-mêmes. GIO n'est
// chargée qu'au premier usage : les autres bureaux n'en paient pas le prix au démarrage.
class RaccourciGnomeGio final : public RaccourciGnome {
public:
    Etat lit() override;
    bool inscrit(const QString& nom, const QString& commande, const QString& combinaison,
                 QString& erreur) override;
    bool retire(QString& erreur) override;
};
