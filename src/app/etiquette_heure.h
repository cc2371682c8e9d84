#pragma once

#include <QLabel>
#include <QTextLayout>

// L'étiquette de l'heure. Le témoin la chevauche et la fait redessiner deux fois par tic : le
// texte est mis en forme une fois à chaque changement (texte, police), pas à chaque dessin.
// Dessin identique à celui de QLabel pour un texte simple d'une ligne sans cadre ; sinon,
// c'est celui de QLabel.
class EtiquetteHeure final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QTextLayout miseEnForme_;
    QString texte_;
    QFont police_;
    bool prete_ = false;
};
