#include "alarms/bouton_spin.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>

namespace {

QToolButton* fleche(QWidget* parent, Qt::ArrowType sens, const QString& nom, const QString& description) {
    auto* b = new QToolButton(parent);
    b->setArrowType(sens);
    b->setAutoRepeat(true);
    // Le focus reste au contrôle entier : les flèches du clavier le pilotent.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAccessibleName(nom);
    b->setAccessibleDescription(description);
    return b;
}

} // namespace

BoutonSpin::BoutonSpin(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    haut = fleche(this, Qt::UpArrow, QStringLiteral("Plus"), QStringLiteral("Un cran de plus"));
    bas = fleche(this, Qt::DownArrow, QStringLiteral("Moins"), QStringLiteral("Un cran de moins"));
    QObject::connect(haut, &QToolButton::clicked, this, &BoutonSpin::monte);
    QObject::connect(bas, &QToolButton::clicked, this, &BoutonSpin::descend);
}

void BoutonSpin::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // Un pixel de marge tout autour, où se dessine le cadre du focus.
    const QRect r = rect().adjusted(1, 1, -1, -1);
    const int moitie = r.height() / 2;
    haut->setGeometry(r.x(), r.y(), r.width(), moitie);
    bas->setGeometry(r.x(), r.y() + moitie, r.width(), r.height() - moitie);
}

void BoutonSpin::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Up)
        Q_EMIT monte();
    else if (e->key() == Qt::Key_Down)
        Q_EMIT descend();
    else
        QWidget::keyPressEvent(e);
}

void BoutonSpin::paintEvent(QPaintEvent*) {
    if (!hasFocus())
        return;
    QStylePainter peintre(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    peintre.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
