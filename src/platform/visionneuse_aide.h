#pragma once

#include <QString>

class QWidget;

// La visionneuse du fichier d'aide : 3 ouvre le sommaire, 2 ferme.
class VisionneuseAide {
public:
    static constexpr int AIDE_SOMMAIRE = 3;
    static constexpr int AIDE_QUITTE = 2;
    virtual ~VisionneuseAide() = default;
    virtual bool commande(QWidget* proprietaire, const QString& fichier, int commande) = 0;
};
