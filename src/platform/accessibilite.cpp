#include "platform/accessibilite.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

const char* const proprieteRole = "cv_roleAccessible";

class AccessibleAuRole final : public QAccessibleWidget {
public:
    AccessibleAuRole(QWidget* controle, QAccessible::Role role) : QAccessibleWidget(controle, role) {}

    QString text(QAccessible::Text t) const override {
        if (role() == QAccessible::NoRole)
            return {};
        return QAccessibleWidget::text(t);
    }

    // Qt 6.4 n'a pas de rôle « aucun » : sans rôle et invisible, Orca et les autres lecteurs
    // passent l'élément.
    QAccessible::State state() const override {
        QAccessible::State etat = QAccessibleWidget::state();
        if (role() == QAccessible::NoRole)
            etat.invisible = true;
        return etat;
    }
};

QAccessibleInterface* fabrique(const QString&, QObject* objet) {
    auto* controle = qobject_cast<QWidget*>(objet);
    if (!controle)
        return nullptr;
    const QVariant role = controle->property(proprieteRole);
    if (!role.isValid())
        return nullptr;
    return new AccessibleAuRole(controle, QAccessible::Role(role.toInt()));
}

} // namespace

void donneRoleAccessible(QWidget* controle, QAccessible::Role role) {
    static const bool installee = [] {
        QAccessible::installFactory(fabrique);
        return true;
    }();
    Q_UNUSED(installee);
    controle->setProperty(proprieteRole, int(role));
    // Un lecteur déjà actif a pu faire créer l'interface ordinaire du contrôle pendant sa
    // construction : Qt la garderait.
    if (QAccessibleInterface* ancienne = QAccessible::queryAccessibleInterface(controle))
        if (ancienne->role() != role)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(ancienne));
}

void cacheAuxLecteurs(QWidget* controle) {
    donneRoleAccessible(controle, QAccessible::NoRole);
}

void nommeAccessible(QWidget* controle, const QString& nom, const QString& description) {
    controle->setAccessibleName(nom);
    controle->setAccessibleDescription(description);
}
