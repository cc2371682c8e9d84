#include "app/etiquette_heure.h"

#include <QPainter>
#include <QStyle>
#include <QTextLine>
#include <QtMath>

bool EtiquetteHeure::simple(const QString& texte) const {
    return textFormat() == Qt::PlainText && !wordWrap() && frameWidth() == 0 && indent() <= 0 &&
           !texte.contains(u'\n') && pixmap().isNull();
}

void EtiquetteHeure::setText(const QString& texte) {
    // QLabel monte son édition de texte pour tout texte donné à une étiquette qui peut prendre le
    // focus : le temps de le donner, elle ne le peut pas.
    const Qt::FocusPolicy focus = focusPolicy();
    const bool sansEdition = simple(texte);
    if (sansEdition)
        setFocusPolicy(Qt::NoFocus);
    QLabel::setText(texte);
    if (sansEdition)
        setFocusPolicy(focus);
}

bool EtiquetteHeure::event(QEvent* e) {
    // QLabel y monterait son édition de texte ; QFrame n'en fait que le reste.
    if (e->type() == QEvent::Polish && simple(text()))
        return QFrame::event(e); // NOLINT(bugprone-parent-virtual-call)
    return QLabel::event(e);
}

void EtiquetteHeure::focusInEvent(QFocusEvent* e) {
    if (simple(text()))
        QFrame::focusInEvent(e); // NOLINT(bugprone-parent-virtual-call)
    else
        QLabel::focusInEvent(e);
}

QTextLine EtiquetteHeure::ligne() const {
    const QString& t = text();
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
    return miseEnForme_.lineAt(0);
}

QSize EtiquetteHeure::sizeHint() const {
    ensurePolished();
    if (!simple(text()))
        return QLabel::sizeHint();
    // La taille que QLabel donne avec son édition de texte : celle du document d'une ligne, où
    // l'interligne de la police compte dans la hauteur.
    const QTextLine l = ligne();
    const QMargins marges = contentsMargins();
    const int bords = 2 * margin();
    return QSize(qCeil(l.naturalTextWidth()) + bords + marges.left() + marges.right(),
                 qCeil(l.ascent() + l.descent() + qMax(0.0, l.leading())) + bords + marges.top() +
                     marges.bottom())
        .expandedTo(minimumSize());
}

QSize EtiquetteHeure::minimumSizeHint() const {
    // Sur une seule ligne, la plus petite taille est la taille voulue.
    return simple(text()) ? sizeHint() : QLabel::minimumSizeHint();
}

void EtiquetteHeure::paintEvent(QPaintEvent* e) {
    if (!simple(text())) {
        QLabel::paintEvent(e);
        return;
    }
    // Placée comme QPainter::drawText place le texte d'une étiquette : même rectangle, mêmes
    // décalages, non arrondis.
    const QRect cadre = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QTextLine ligne = this->ligne();
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
