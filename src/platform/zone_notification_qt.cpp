#include "platform/zone_notification_qt.h"

#include <QCursor>

ZoneNotificationQt::ZoneNotificationQt(QObject* parent) : ZoneNotification(parent) {
    connect(&icone_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason raison) {
        switch (raison) {
        case QSystemTrayIcon::Trigger:
            Q_EMIT evenement(0x202);
            break;
        case QSystemTrayIcon::DoubleClick:
            Q_EMIT evenement(0x203);
            break;
        case QSystemTrayIcon::Context:
            Q_EMIT evenement(0x205);
            break;
        case QSystemTrayIcon::MiddleClick:
            Q_EMIT evenement(0x208);
            break;
        default:
            break;
        }
    });
}

void ZoneNotificationQt::ajoute(const QIcon& icone, const QString& bulle) {
    icone_.setIcon(icone);
    icone_.setToolTip(bulle);
    icone_.show();
}

void ZoneNotificationQt::retire() {
    icone_.hide();
}

bool ZoneNotificationQt::visible() const {
    return icone_.isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

QPoint ZoneNotificationQt::positionPointeur() const {
    return QCursor::pos();
}
