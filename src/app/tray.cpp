// L'icône de la zone de notification et la fenêtre cachée quand elle est réduite.
#include "app/chrono.h"

#include "platform/plateforme.h"
#include "platform/zone_notification.h"

#include <QMenu>
#include <QTimer>

void CHRONO::AjouteIconeTray() {
    ZoneNotification& zone = plateforme_.zoneNotification();
    QObject::connect(&zone, &ZoneNotification::evenement, this, [this](int code) { EvenementTray(code); });
    QObject::connect(&zone, &ZoneNotification::visibiliteChangee, this,
                     [this](bool visible) { ZoneNotificationChangee(visible); });
    // Un hôte D-Bus ouvre lui-même le menu : l'icône est occupée comme pendant le menu ouvert par
    // un clic droit, jusqu'à sa fermeture, après le travail de l'entrée choisie. L'hôte de Xfce ne
    // dit pas qu'il a fermé son menu sans choix (Échap, clic ailleurs) : l'entrée choisie ou le
    // clic suivant sur l'icône le montrent aussi (le menu de l'hôte prend le pointeur tant qu'il
    // est ouvert : tout clic sur l'icône vient après).
    QObject::connect(BULLE, &QMenu::aboutToShow, this, [this] {
        if (TrayOccupe)
            return;
        TrayOccupe = true;
        menuParHote = true;
    });
    const auto fin = [this] {
        if (!menuParHote)
            return;
        QTimer::singleShot(0, this, [this] {
            if (!menuParHote)
                return;
            menuParHote = false;
            TrayOccupe = false;
        });
    };
    QObject::connect(BULLE, &QMenu::aboutToHide, this, fin);
    QObject::connect(BULLE, &QMenu::triggered, this, fin);
    zone.confieMenu(BULLE);
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
    if (menuParHote) {
        menuParHote = false;
        TrayOccupe = false;
    }
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

void CHRONO::Rappelle() {
    if (!chargee() || enFermeture_)
        return;
    restaure();
    activateWindow();
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
