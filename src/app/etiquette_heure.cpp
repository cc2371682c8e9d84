#include "app/etiquette_heure.h"

#include <QPainter>
#include <QStyle>
#include <QTextLine>

void EtiquetteHeure::paintEvent(QPaintEvent* e) {
    const QString& t = text();
    if (textFormat() != Qt::PlainText || wordWrap() || frameWidth() != 0 || indent() > 0 ||
        t.contains(u'\n') || !pixmap().isNull()) {
        QLabel::paintEvent(e);
        return;
    }
    if (!prete_ || texte_ != t || police_ != font()) {
        texte_ = t;
        police_ = font();
        miseEnForme_.setText(t);
        miseEnForme_.setFont(QFont(police_, this));
        QTextOption options;
        options.setTextDirection(Qt::LeftToRight);
        miseEnForme_.setTextOption(options);
        miseEnForme_.setCacheEnabled(true);
        miseEnForme_.beginLayout();
        QTextLine ligne = miseEnForme_.createLine();
        ligne.setLineWidth(0x01000000);
        ligne.setPosition(QPointF(0, 0));
        miseEnForme_.endLayout();
        prete_ = true;
    }
    // Placée comme QPainter::drawText place le texte d'une étiquette : même rectangle, mêmes
    // décalages, non arrondis.
    const QRect cadre = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QTextLine ligne = miseEnForme_.lineAt(0);
    const qreal hauteur = ligne.ascent() + ligne.descent();
    const qreal avance = ligne.horizontalAdvance();
    const Qt::Alignment a = QStyle::visualAlignment(layoutDirection(), alignment());
    qreal x = 0;
    if (a & Qt::AlignRight)
        x = cadre.width() - avance;
    else if (a & Qt::AlignHCenter)
        x = (cadre.width() - avance) / 2;
    qreal y = 0;
    if (a & Qt::AlignBottom)
        y = cadre.height() - hauteur;
    else if (a & Qt::AlignVCenter)
        y = (cadre.height() - hauteur) / 2;
    QPainter p(this);
    p.setPen(QPen(palette().brush(isEnabled() ? QPalette::Normal : QPalette::Disabled, foregroundRole()), 1));
    miseEnForme_.draw(&p, QPointF(cadre.x() + x, cadre.y() + y));
}
