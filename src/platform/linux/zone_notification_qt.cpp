#include "platform/linux/zone_notification_qt.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QGuiApplication>
#include <QMenu>

namespace {

// Types d'événements X11 (premier octet de l'événement, bit « envoyé » ôté).
constexpr quint8 DestroyNotify = 17;
constexpr quint8 ClientMessage = 33;

const QString Veilleur = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString CheminVeilleur = QStringLiteral("/StatusNotifierWatcher");
constexpr int DelaiBus = 1000; // ms

// La question même que Qt se pose pour choisir l'icône par D-Bus : un hôte est-il inscrit ?
bool hoteDBusInscrit() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(Veilleur))
        return false;
    QDBusMessage question = QDBusMessage::createMethodCall(
        Veilleur, CheminVeilleur, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    question << Veilleur << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusReply<QVariant> reponse = bus.call(question, QDBus::Block, DelaiBus);
    return reponse.isValid() && reponse.value().toBool();
}

bool xembedPossible() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

ZoneNotificationQt::ZoneNotificationQt(QObject* parent)
    : ZoneNotification(parent),
      veilleur_(Veilleur, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForOwnerChange) {
    // Qt a fait son choix en construisant icone_, une fois pour tout le processus : le même,
    // relevé aussitôt après.
    static const bool choixDeQt = hoteDBusInscrit();
    parDBus_ = choixDeQt;
    connect(&icone_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason raison) {
        int code = 0;
        switch (raison) {
        case QSystemTrayIcon::Trigger:
            code = CodeSouris::ClicGauche;
            break;
        case QSystemTrayIcon::DoubleClick:
            code = CodeSouris::DoubleClicGauche;
            break;
        case QSystemTrayIcon::Context:
            code = CodeSouris::ClicDroit;
            break;
        case QSystemTrayIcon::MiddleClick:
            code = CodeSouris::ClicMilieu;
            break;
        default:
            return;
        }
        // Qt signale le clic depuis l'événement souris de la fenêtre de l'icône ; le menu ouvert
        // là et « Fermeture » choisie détruiraient cette fenêtre sous ses propres pieds. Le code
        // part donc de la boucle d'événements.
        QMetaObject::invokeMethod(
            this, [this, code] { Q_EMIT evenement(code); }, Qt::QueuedConnection);
    });
    // Peu de réveils : la recherche ne tourne que tant qu'aucune zone n'est là.
    guet_.setInterval(intervalleGuet);
    guet_.setTimerType(Qt::VeryCoarseTimer);
    connect(&guet_, &QTimer::timeout, this, [this] { verifie(); });
    // Après que Qt a lui-même traité l'événement qui a tout déclenché.
    verification_.setSingleShot(true);
    verification_.setInterval(0);
    connect(&verification_, &QTimer::timeout, this, [this] { verifie(); });
    // Un panneau qui démarre, s'arrête ou se relance après l'horloge.
    connect(&veilleur_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { verification_.start(); });
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
            bus.connect(Veilleur, CheminVeilleur, Veilleur, QLatin1String(signal), this,
                        SLOT(hoteDBusChange()));
    }
}

ZoneNotificationQt::~ZoneNotificationQt() {
    if (filtre_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void ZoneNotificationQt::ajoute(const QIcon& icone, const QString& bulle) {
    icone_.setIcon(icone);
    icone_.setToolTip(bulle);
    voulue_ = true;
    posee_ = false;
    zone_ = zonePresente();
    // Sans hôte D-Bus au démarrage, Qt prend XEmbed, qui n'existe que sous X11 : ailleurs (Wayland)
    // l'icône ne paraîtrait jamais et Qt avertirait à chaque démarrage.
    if (!parDBus_ && !xembedPossible()) {
        voulue_ = false;
        zone_ = false;
        return;
    }
    icone_.show();
    // Montrée sans zone, l'icône ne serait jamais posée : Qt ne la reprend pas d'elle-même.
    posee_ = zone_;
    if (!zone_)
        guet_.start();
    if (!filtre_ && xembedPossible()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        filtre_ = true;
    }
}

void ZoneNotificationQt::retire() {
    voulue_ = false;
    guet_.stop();
    verification_.stop();
    if (filtre_) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        filtre_ = false;
    }
    icone_.hide();
}

void ZoneNotificationQt::confieMenu(QMenu* menu) {
    // Par XEmbed, Qt ouvrirait lui-même ce menu à l'appui du bouton droit, puis le programme
    // une seconde fois au relâché.
    if (parDBus_)
        icone_.setContextMenu(menu);
}

void ZoneNotificationQt::hoteDBusChange() {
    verification_.start();
}

bool ZoneNotificationQt::zonePresente() const {
    // Par D-Bus, QSystemTrayIcon::isSystemTrayAvailable() répond aussi « oui » pour une zone
    // XEmbed, où cette icône-là ne paraîtra jamais.
    if (parDBus_)
        return hoteDBusInscrit();
    return xembedPossible() && QSystemTrayIcon::isSystemTrayAvailable();
}

bool ZoneNotificationQt::visible() const {
    return voulue_ && posee_ && zone_;
}

QPoint ZoneNotificationQt::positionPointeur() const {
    return QCursor::pos();
}

bool ZoneNotificationQt::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    // La fenêtre de la zone détruite, ou une zone qui s'annonce : on regarde où on en est.
    if (type == "xcb_generic_event_t") {
        const quint8 genre = *static_cast<const quint8*>(message) & 0x7f;
        if (genre == DestroyNotify || genre == ClientMessage)
            verification_.start();
    }
    return false;
}

void ZoneNotificationQt::verifie() {
    if (!voulue_)
        return;
    const bool zone = zonePresente();
    if (zone && !posee_) {
        // Cacher puis montrer : c'est à ce moment que Qt cherche la zone XEmbed et s'y accroche
        // (ensuite il s'y raccroche seul si elle est remplacée), ou inscrit de nouveau l'icône
        // auprès du veilleur D-Bus revenu.
        icone_.hide();
        icone_.show();
        posee_ = true;
    }
    // Un hôte D-Bus relancé ne connaît plus l'icône : elle sera inscrite de nouveau.
    if (!zone && parDBus_)
        posee_ = false;
    if (zone)
        guet_.stop();
    else if (!guet_.isActive())
        guet_.start();
    if (zone != zone_) {
        zone_ = zone;
        Q_EMIT visibiliteChangee(zone);
    }
}
