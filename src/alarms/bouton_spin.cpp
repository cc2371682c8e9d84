#include "alarms/bouton_spin.h"

#include "accessibilite/accessibilite.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
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

class AccessibleSpin final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleSpin(BoutonSpin* spin) : QAccessibleWidget(spin, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return QString::number(spin()->valeur());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return spin()->valeur(); }
    void setCurrentValue(const QVariant& valeur) override { spin()->vaA(valeur.toInt()); }
    QVariant maximumValue() const override { return spin()->maximum(); }
    QVariant minimumValue() const override { return spin()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    BoutonSpin* spin() const { return static_cast<BoutonSpin*>(widget()); }
};

QAccessibleInterface* fabrique(const QString& classe, QObject* objet) {
    if (classe == QLatin1String("BoutonSpin"))
        if (auto* spin = qobject_cast<BoutonSpin*>(objet))
            return new AccessibleSpin(spin);
    return nullptr;
}

} // namespace

BoutonSpin::BoutonSpin(QWidget* parent, int minimum, int maximum)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), valeur_(minimum) {
    ajouteFabriqueAccessible(fabrique);
    setFocusPolicy(Qt::StrongFocus);
    haut = fleche(this, Qt::UpArrow, QStringLiteral("Plus"), QStringLiteral("Un cran de plus"));
    bas = fleche(this, Qt::DownArrow, QStringLiteral("Moins"), QStringLiteral("Un cran de moins"));
    QObject::connect(haut, &QToolButton::clicked, this, &BoutonSpin::monte);
    QObject::connect(bas, &QToolButton::clicked, this, &BoutonSpin::descend);
}

void BoutonSpin::setValeur(int valeur) {
    if (valeur == valeur_)
        return;
    valeur_ = valeur;
    QAccessibleValueChangeEvent evenement(this, valeur);
    QAccessible::updateAccessibility(&evenement);
}

void BoutonSpin::vaA(int valeur) {
    if (valeur < minimum_ || valeur > maximum_)
        return;
    // Dans le sens de la valeur, sans faire le tour. Le compte borne la boucle si la fenêtre ne
    // suivait pas les pas.
    const int pasMax = qAbs(valeur - valeur_) + (maximum_ - minimum_ + 1);
    for (int pas = 0; valeur_ != valeur && pas < pasMax; ++pas) {
        if (valeur > valeur_)
            Q_EMIT monte();
        else
            Q_EMIT descend();
    }
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
