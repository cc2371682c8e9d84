// L'icône de la zone de notification et la fenêtre cachée quand elle est réduite.
#include "app/chrono.h"

#include "platform/plateforme.h"
#include "platform/zone_notification.h"

#include <QMenu>

void CHRONO::AjouteIconeTray() {
    ZoneNotification& zone = plateforme_.zoneNotification();
    QObject::connect(&zone, &ZoneNotification::evenement, this, [this](int code) { EvenementTray(code); });
    zone.ajoute(ImaTray, QStringLiteral("Icône dans le system tray"));
}

void CHRONO::RetireIconeTray() {
    plateforme_.zoneNotification().retire();
}

void CHRONO::EvenementTray(int code) {
    dernierEvenementTray = code;
    if (TrayOccupe)
        return;
    TrayOccupe = true;
    switch (code) {
    case 0x202:
    case 0x203:
        restaure();
        break;
    case 0x205:
        BULLE->exec(plateforme_.zoneNotification().positionPointeur());
        break;
    default:
        break;
    }
    TrayOccupe = false;
}

bool CHRONO::doitCacherReduite() const {
    return !CV_visible;
}
