// L'icône de la zone de notification et la fenêtre cachée quand elle est réduite.
#include "app/chrono.h"

#include "platform/plateforme.h"
#include "platform/zone_notification.h"

#include <QMenu>

void CHRONO::AjouteIconeTray() {
    ZoneNotification& zone = plateforme_.zoneNotification();
    QObject::connect(&zone, &ZoneNotification::evenement, this, [this](int code) { EvenementTray(code); });
    QObject::connect(&zone, &ZoneNotification::visibiliteChangee, this,
                     [this](bool visible) { ZoneNotificationChangee(visible); });
    zone.ajoute(ImaTray, QStringLiteral("Icône dans le system tray"));
}

void CHRONO::RetireIconeTray() {
    ZoneNotification& zone = plateforme_.zoneNotification();
    // Plus d'icône, plus de clics : rien ne doit rouvrir le menu pendant la fermeture.
    QObject::disconnect(&zone, nullptr, this, nullptr);
    zone.retire();
}

// Seuls les clics sur l'icône arrivent ici ; les mouvements du pointeur sur la fenêtre n'y
// passent jamais.
void CHRONO::EvenementTray(int code) {
    dernierEvenementTray = code;
    if (TrayOccupe)
        return;
    TrayOccupe = true;
    switch (code) {
    case CodeSouris::ClicGauche:
    case CodeSouris::DoubleClicGauche:
        restaure();
        // Revenue par l'icône, elle prend le clavier : ses raccourcis marchent aussitôt.
        activateWindow();
        break;
    case CodeSouris::ClicDroit:
        // Le menu vit dans sa propre boucle ; les clics sur l'icône pendant ce temps sont perdus.
        BULLE->exec(plateforme_.zoneNotification().positionPointeur());
        break;
    default:
        break;
    }
    TrayOccupe = false;
}

bool CHRONO::doitCacherReduite() const {
    return !CV_visible && plateforme_.zoneNotification().visible();
}

void CHRONO::ZoneNotificationChangee(bool visible) {
    // Avant la fin du démarrage, c'est lui qui décide de montrer la fenêtre.
    if (enFermeture_ || RepertoireDemarrage.isEmpty())
        return;
    const bool reduite = windowState() & Qt::WindowMinimized;
    if (visible) {
        if (reduite && isVisible() && doitCacherReduite())
            hide();
    } else if (reduite && isHidden()) {
        // Sans icône, la fenêtre cachée serait perdue : elle revient réduite dans la barre des tâches.
        show();
    }
}
