// La barre d'outils et le menu de l'icône de notification.
#include "app/chrono.h"

#include "alarms/alarmes.h"
#include "desktop/parametres.h"
#include "help/aide.h"
#include "help/info.h"
#include "platform/horloge.h"
#include "platform/plateforme.h"
#include "speech/catalogue.h"

#include <QAction>
#include <QMenu>

void CHRONO::Image0_Click() {
    sons_.JoueSon(Son::Clic);
    PARAMETRES fenetre(*this);
    parametresOuvert = &fenetre;
    fenetre.exec();
    reprendLeClavier();
}

void CHRONO::Image2_Click() {
    sons_.JoueSon(Son::Clic);
    ALARMES fenetre(*this);
    fenetre.exec();
    reprendLeClavier();
}

void CHRONO::Image3_Click() {
    sons_.JoueSon(Son::Clic);
    INFO fenetre(*this);
    fenetre.exec();
    reprendLeClavier();
}

void CHRONO::Image4_Click() {
    sons_.JoueSon(Son::Clic);
    aide_->AideSommaire();
}

void CHRONO::Image5_Click() {
    sons_.JoueSon(Son::Clic);
    close();
}

void CHRONO::BULLE_Click() {
    const QString heure = plateforme_.horloge().maintenant().toString(u"hh:mm");
    AffHoraire->setText(QStringLiteral("Il est ") + heure);
    BULLE->setTitle(heure);
}

void CHRONO::AffHoraire_Click() {
    sons_.JoueSon(Son::Carillon);
}

void CHRONO::Agrandir_Click() {
    restaure();
    // Rappelée par le menu de l'icône, elle prend le clavier, comme par un clic sur l'icône.
    activateWindow();
}

void CHRONO::Fermeture_Click() {
    close();
}
