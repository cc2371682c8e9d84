#include "app/marque_silence.h"

#include <QPainter>
#include <QPainterPath>

MarqueSilence::MarqueSilence(QWidget* parent) : QWidget(parent) {
    resize(cote, cote);
}

void MarqueSilence::setCouleur(const QColor& couleur) {
    couleur_ = couleur;
    update();
}

void MarqueSilence::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(width() / 16.0, height() / 16.0);
    QPainterPath hautParleur;
    hautParleur.addPolygon(QPolygonF{{1, 5.5}, {4, 5.5}, {8, 2}, {8, 14}, {4, 10.5}, {1, 10.5}});
    hautParleur.closeSubpath();
    p.fillPath(hautParleur, couleur_);
    p.setPen(QPen(couleur_, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 5.5), QPointF(15, 10.5));
    p.drawLine(QPointF(10.5, 10.5), QPointF(15, 5.5));
}
