#include "app/ligne.h"

#include "settings/commun.h"

#include <QPainter>

Ligne::Ligne(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Ligne::setPoints(double x1, double y1, double x2, double y2) {
    X1 = x1;
    Y1 = y1;
    X2 = x2;
    Y2 = y2;
    const int gauche = px(qMin(x1, x2));
    const int haut = px(qMin(y1, y2));
    const int largeur = px(qMax(x1, x2)) - gauche;
    const int hauteur = px(qMax(y1, y2)) - haut;
    setGeometry(gauche, haut, qMax(largeur, 0), qMax(hauteur, 0) + epaisseur);
    setVisible(largeur > 0 || hauteur > 0);
}

void Ligne::setCouleur(const QColor& couleur) {
    couleur_ = couleur;
    update();
}

void Ligne::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), couleur_);
}
