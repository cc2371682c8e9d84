#include "platform/linux/touche_kde.h"

#include "settings/touche.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString Service = QStringLiteral("org.kde.kglobalaccel");
const QString Chemin = QStringLiteral("/kglobalaccel");
const QString Interface = QStringLiteral("org.kde.KGlobalAccel");
const QString Composant = QStringLiteral("chronovocalis");
const QString Action = QStringLiteral("dire-heure");

// Les drapeaux de setShortcut : SetPresent rend le raccourci actif (sans lui, aucun signal),
// NoAutoloading impose nos touches à celles gardées par Plasma, IsDefault pose le défaut.
constexpr uint Present = 2;
constexpr uint SansChargement = 4;
constexpr uint ParDefaut = 8;

QDBusMessage appel(const QString& methode, const QVariantList& arguments) {
    QDBusMessage m = QDBusMessage::createMethodCall(Service, Chemin, Interface, methode);
    m.setArguments(arguments);
    return m;
}

QVariant touches(QKeyCombination t) {
    QList<int> codes;
    if (t.key() != Qt::Key_unknown)
        codes << t.toCombined();
    return QVariant::fromValue(codes);
}

} // namespace

ToucheKDE::ToucheKDE(QDBusConnection bus, QObject* parent)
    : ToucheGlobale(parent), bus_(bus), action_{Composant, Action, QStringLiteral("Chrono Vocalis 95"),
                                                QStringLiteral("Dire l'heure")} {
    qDBusRegisterMetaType<QList<int>>();
}

bool ToucheKDE::present(QDBusConnection bus) {
    QDBusConnectionInterface* i = bus.isConnected() ? bus.interface() : nullptr;
    if (!i)
        return false;
    if (i->isServiceRegistered(Service))
        return true;
    const QDBusReply<QStringList> activables = i->activatableServiceNames();
    return activables.isValid() && activables.value().contains(Service);
}

void ToucheKDE::pose(QKeyCombination touche) {
    if (!bus_.isConnected())
        return;
    if (touche.key() == Qt::Key_unknown) {
        // Aucune touche : le raccourci quitte aussi la liste de Plasma.
        bus_.asyncCall(appel(QStringLiteral("unregister"), {Composant, Action}));
        return;
    }
    // Les appels partent dans l'ordre sur la même connexion et le service les traite dans cet
    // ordre : seul le dernier est attendu, sans bloquer l'horloge pendant que D-Bus lance le service.
    bus_.asyncCall(appel(QStringLiteral("doRegister"), {action_}));
    bus_.asyncCall(appel(QStringLiteral("setShortcut"), {action_, touches(ToucheHeureParDefaut), ParDefaut}));
    auto* attente = new QDBusPendingCallWatcher(
        bus_.asyncCall(
            appel(QStringLiteral("setShortcut"), {action_, touches(touche), Present | SansChargement})),
        this);
    connect(attente, &QDBusPendingCallWatcher::finished, this, [this, touche](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QList<int>> prises = *w;
        // Une combinaison déjà tenue par un autre composant n'est pas donnée : la liste rendue est vide.
        if (prises.isError() || !prises.value().contains(touche.toCombined())) {
            Q_EMIT refusee(touche);
            return;
        }
        auto* composant = new QDBusPendingCallWatcher(
            bus_.asyncCall(appel(QStringLiteral("getComponent"), {Composant})), this);
        connect(composant, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* c) {
            c->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> chemin = *c;
            if (!chemin.isError())
                ecoute(chemin.value().path());
        });
    });
}

void ToucheKDE::ecoute(const QString& chemin) {
    if (chemin == chemin_)
        return;
    chemin_ = chemin;
    bus_.connect(Service, chemin, QStringLiteral("org.kde.kglobalaccel.Component"),
                 QStringLiteral("globalShortcutPressed"), this,
                 SLOT(raccourciPresse(QString, QString, qlonglong)));
}

void ToucheKDE::raccourciPresse(const QString& composant, const QString& action, qlonglong) {
    if (composant == Composant && action == Action)
        Q_EMIT pressee();
}

void ToucheKDE::libere() {
    // Le raccourci reste dans la liste de Plasma, inactif tant que l'horloge ne tourne pas.
    if (bus_.isConnected())
        bus_.call(appel(QStringLiteral("setInactive"), {action_}), QDBus::Block, 1000);
}
