// Le tic de Timer : l'heure affichée à chaque tic ; à la seconde 0, le carillon, l'annonce et
// les alarmes.
#include "app/chrono.h"

#include "app/commun.h"
#include "platform/horloge.h"
#include "platform/plateforme.h"
#include "speech/catalogue.h"
#include "speech/horaire.h"

#include <QApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QScopedValueRollback>

// Le titre, l'heure, le trait des secondes et le témoin, dessinés ensemble dès que la boucle
// d'événements reprend (la première attente du tic) : un seul dessin pour allumer, un pour
// éteindre. Chacun repeint l'heure sous le témoin et réveille le programme et le serveur X.
void CHRONO::afficheInstant(const QDateTime& instant) {
    // Le titre, l'heure et son nom lu ne changent qu'avec la minute : les dates en toutes
    // lettres coûtaient à chaque tic autant que le dessin de l'heure.
    const qint64 minute = cleMinute(instant);
    if (minute != minuteAffichee) {
        minuteAffichee = minute;
        setWindowTitle(titreHorloge(instant));
        ecritHeure(instant.toString(u"hh:mm"));
        montreSilence(instant);
        nommeHeure(instant);
    }
    AffHEURE->adjustSize();
    const double largeur = twips(AffHEURE->width());
    bande->setX2(bande->X1 + largeur * instant.time().second() / 60.0);
    Flash->show();
}

bool CHRONO::ticRetenu() const {
    // Une boîte, une fenêtre ou un menu ouvert depuis le début du tic le plus imbriqué le tient
    // jusqu'à sa fermeture, peut-être des heures : les minutes qui passent sont faites sans lui.
    if (ticsEnCours_.isEmpty())
        return false;
    const TicEnCours& t = ticsEnCours_.constLast();
    QWidget* modale = QApplication::activeModalWidget();
    QWidget* menu = QApplication::activePopupWidget();
    return (modale && modale != t.modale) || (menu && menu != t.menu);
}

void CHRONO::Timer_Timer() {
    // Ni avant les réglages lus, ni après la fermeture (venue pendant une attente) : rien.
    if (!chargee() || sons_.fini())
        return;
    const QDateTime maintenant = plateforme_.horloge().maintenant();
    afficheInstant(maintenant);
    // Le travail d'une minute se fait une fois, au premier tic de sa seconde 0 ; une seconde 0
    // sans tic est perdue.
    const qint64 minute = cleMinute(maintenant);
    const bool minuteNouvelle = maintenant.time().second() == 0 && minute != minuteTravaillee;
    // Un tic venu pendant les attentes d'un autre ne fait que l'affichage, et sans attendre : il
    // ne retarde pas la phrase en cours ; le témoin s'éteindra à la fin de l'autre tic. Seule
    // exception : l'autre est retenu par une fenêtre modale et une minute nouvelle commence.
    if (ticEnCours && !(minuteNouvelle && ticRetenu()))
        return;
    const qsizetype niveau = ticsEnCours_.size();
    ticsEnCours_.append(TicEnCours{QApplication::activeModalWidget(), QApplication::activePopupWidget()});
    const QScopedValueRollback<bool> enCours(ticEnCours, true);
    // Le tic retenu reprendra avec ses textes à lui (l'annonce ou les alarmes qui lui restent).
    QScopedValueRollback<QString> heureRetenue(TexteHeure);
    QScopedValueRollback<QString> minuteRetenue(TexteMinute);
    while (relaisTic.size() <= niveau) {
        auto* relais = new QTimer(this);
        QObject::connect(relais, &QTimer::timeout, this, [this] {
            // Timer arrêté (éditeur des alarmes, fermeture) : l'affichage reste figé.
            if (Timer.isActive())
                Timer_Timer();
        });
        relaisTic.append(relais);
    }
    QTimer* relais = relaisTic.at(niveau);
    relais->start(Timer.interval());
    const auto finRelais = qScopeGuard([this, relais] {
        relais->stop();
        ticsEnCours_.removeLast();
    });

    TexteHeure = maintenant.toString(u"hh");
    TexteMinute = maintenant.toString(u"hh:mm").right(2);
    if (minuteNouvelle) {
        minuteTravaillee = minute;
        // La nuit ou quand le bureau demande le calme, l'horloge se tait ; les alarmes sonnent.
        const bool silence = silencieuse(maintenant);
        if (!silence && TexteMinute == u"00") {
            sons_.JoueSon(Son::Carillon);
            sons_.Pause(0.5);
        }
        if (!silence && annonceDue(déclenche_annonce, TexteMinute))
            ParleHeure();
        sons_.Pause(1);
        for (int n : alarmesDues(Alarmes, TexteHeure, TexteMinute))
            if (!sons_.fini() && notePremierDepart(Alarmes, n, maintenant.date()))
                DeclencheAlarme(n);
    }
    sons_.Pause(0.25);
    if (sons_.fini())
        return;
    // Les textes restent ceux du dernier tic, comme l'affichage.
    if (niveau > 0)
        return;
    heureRetenue.commit();
    minuteRetenue.commit();
    Flash->hide();
}
