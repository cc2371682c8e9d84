#include "platform/zone_notification_qt.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace {

// Types d'événements X11 (premier octet de l'événement, bit « envoyé » ôté).
constexpr quint8 DestroyNotify = 17;
constexpr quint8 ClientMessage = 33;

} // namespace

ZoneNotificationQt::ZoneNotificationQt(QObject* parent) : ZoneNotification(parent) {
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
    zone_ = QSystemTrayIcon::isSystemTrayAvailable();
    icone_.show();
    // Montrée sans zone, l'icône ne serait jamais posée : Qt ne la reprend pas d'elle-même.
    posee_ = zone_;
    if (!zone_)
        guet_.start();
    if (!filtre_ && QGuiApplication::platformName() == QLatin1String("xcb")) {
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
    const bool zone = QSystemTrayIcon::isSystemTrayAvailable();
    if (zone && !posee_) {
        // Cacher puis montrer : c'est à ce moment que Qt cherche la zone et s'y accroche ;
        // ensuite il s'y raccroche seul si elle est remplacée.
        icone_.hide();
        icone_.show();
        posee_ = true;
    }
    if (zone)
        guet_.stop();
    else if (!guet_.isActive())
        guet_.start();
    if (zone != zone_) {
        zone_ = zone;
        Q_EMIT visibiliteChangee(zone);
    }
}
