// Le tic de Timer : l'heure affichée à chaque tic ; à la seconde 0, le carillon, l'annonce et
// les alarmes.
#include "app/chrono.h"

#include "app/commun.h"
#include "platform/horloge.h"
#include "platform/plateforme.h"
#include "speech/catalogue.h"
#include "speech/horaire.h"

#include <QLabel>
#include <QScopeGuard>
#include <QScopedValueRollback>

namespace {

// Le titre, l'heure, le trait des secondes et le témoin, dessinés ensemble dès que la boucle
// d'événements reprend (la première attente du tic) : un seul dessin pour allumer, un pour
// éteindre. Chacun repeint l'heure sous le témoin et réveille le programme et le serveur X.
void afficheInstant(CHRONO& c, const QDateTime& instant) {
    // Le titre, l'heure et son nom lu ne changent qu'avec la minute : les dates en toutes
    // lettres coûtaient à chaque tic autant que le dessin de l'heure.
    const qint64 minute = cleMinute(instant);
    if (minute != c.minuteAffichee) {
        c.minuteAffichee = minute;
        c.setWindowTitle(titreHorloge(instant));
        c.AffHEURE->setText(instant.toString(u"hh:mm"));
        c.nommeHeure(instant);
    }
    c.AffHEURE->adjustSize();
    const double largeur = twips(c.AffHEURE->width());
    c.bande->setX2(c.bande->X1 + largeur * instant.time().second() / 60.0);
    c.Flash->show();
}

} // namespace

void CHRONO::Timer_Timer() {
    // Ni avant les réglages lus, ni après la fermeture (venue pendant une attente) : rien.
    if (!chargee() || sons_.fini())
        return;
    const QDateTime maintenant = plateforme_.horloge().maintenant();
    afficheInstant(*this, maintenant);
    // Un tic venu pendant les attentes d'un autre ne fait que l'affichage, et sans attendre : il
    // ne retarde pas la phrase en cours ; le témoin s'éteindra à la fin de l'autre tic.
    if (ticEnCours)
        return;
    const QScopedValueRollback<bool> enCours(ticEnCours, true);
    if (!relaisTic) {
        relaisTic = new QTimer(this);
        QObject::connect(relaisTic, &QTimer::timeout, this, [this] {
            // Timer arrêté (éditeur des alarmes, fermeture) : l'affichage reste figé.
            if (Timer.isActive())
                Timer_Timer();
        });
    }
    relaisTic->start(Timer.interval());
    const auto finRelais = qScopeGuard([this] { relaisTic->stop(); });

    TexteHeure = maintenant.toString(u"hh");
    TexteMinute = maintenant.toString(u"hh:mm").right(2);
    // Le travail d'une minute se fait une fois, au premier tic de sa seconde 0 ; une seconde 0
    // sans tic est perdue.
    const qint64 minute = cleMinute(maintenant);
    if (maintenant.time().second() == 0 && minute != minuteTravaillee) {
        minuteTravaillee = minute;
        if (TexteMinute == u"00") {
            sons_.JoueSon(Son::Carillon);
            sons_.Pause(0.5);
        }
        if (annonceDue(déclenche_annonce, TexteMinute))
            ParleHeure();
        sons_.Pause(1);
        for (int n : alarmesDues(Alarmes, TexteHeure, TexteMinute))
            if (!sons_.fini())
                DeclencheAlarme(n);
    }
    sons_.Pause(0.25);
    if (sons_.fini())
        return;
    Flash->hide();
}
