// La barre d'outils et le menu de l'icône de notification.
#include "app/chrono.h"

#include "alarms/alarmes.h"
#include "desktop/parametres.h"
#include "help/aide.h"
#include "help/info.h"
#include "platform/horloge.h"
#include "platform/plateforme.h"

#include <QAction>
#include <QMenu>

void CHRONO::Image0_Click() {
    sons_.JoueSon(84);
    PARAMETRES fenetre(*this);
    parametresOuvert = &fenetre;
    fenetre.exec();
    reprendLeClavier();
}

void CHRONO::Image2_Click() {
    sons_.JoueSon(84);
    ALARMES fenetre(*this);
    fenetre.exec();
    reprendLeClavier();
}

void CHRONO::Image3_Click() {
    sons_.JoueSon(84);
    INFO fenetre(*this);
    fenetre.exec();
    reprendLeClavier();
}

void CHRONO::Image4_Click() {
    sons_.JoueSon(84);
    aide_->AideSommaire();
}

void CHRONO::Image5_Click() {
    sons_.JoueSon(84);
    close();
}

void CHRONO::BULLE_Click() {
    const QString heure = plateforme_.horloge().maintenant().toString(u"hh:mm");
    AffHoraire->setText(QStringLiteral("Il est ") + heure);
    BULLE->setTitle(heure);
}

void CHRONO::AffHoraire_Click() {
    sons_.JoueSon(85);
}

void CHRONO::Agrandir_Click() {
    restaure();
    // Rappelée par le menu de l'icône, elle prend le clavier, comme par un clic sur l'icône.
    activateWindow();
}

void CHRONO::Fermeture_Click() {
    close();
}
