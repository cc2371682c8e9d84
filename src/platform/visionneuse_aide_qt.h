#pragma once

#include "platform/visionneuse_aide.h"

class VisionneuseAideQt final : public VisionneuseAide {
public:
    bool commande(QWidget* proprietaire, const QString& fichier, int commande) override;
};
