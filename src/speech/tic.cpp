// Le tic de Timer : l'heure affichée à chaque tic ; à la seconde 0, ou au premier tic d'une minute
// dont la seconde 0 est passée sans tic, le carillon, l'annonce et les alarmes ; au réveil de la
// machine, l'heure dite et les alarmes manquées.
#include "app/chrono.h"

#include "platform/dialogues.h"
#include "platform/horloge.h"
#include "platform/plateforme.h"
#include "settings/commun.h"
#include "speech/catalogue.h"
#include "speech/horaire.h"

#include <QApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QScopedValueRollback>

namespace {

// Un arrêt du programme ne change pas le temps de veille ; une vraie veille dure plus longtemps.
constexpr qint64 BondDeVeille = 2000;         // ms
constexpr qint64 VeilleSansReveilMax = 30000; // ms

} // namespace

// Le titre, l'heure, le trait des secondes et le témoin, dessinés ensemble dès que la boucle
// d'événements reprend (la première attente du tic) : un seul dessin pour allumer, un pour
// éteindre. Chacun repeint l'heure sous le témoin et réveille le programme et le serveur X.
void CHRONO::afficheInstant(const QDateTime& instant) {
    // Le titre, l'heure et son nom lu ne changent qu'avec la minute : les dates en toutes
    // lettres coûtaient à chaque tic autant que le dessin de l'heure.
    const qint64 minute = cleMinute(instant);
    if (minute != tic_.minuteAffichee) {
        tic_.minuteAffichee = minute;
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
    if (tic_.imbriques.isEmpty())
        return false;
    const EtatTic::Imbrique& t = tic_.imbriques.constLast();
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
    const qint64 minute = cleMinute(maintenant);
    // Entre l'annonce de la veille et le réveil, l'heure s'affiche seulement : au réveil, l'heure
    // se dit d'abord, puis viennent les alarmes passées pendant la veille.
    const bool endormi = endormie();
    const ChoixMinute choix =
        endormi ? ChoixMinute{}
                : choixMinute(tic_.minuteVue, tic_.minuteTravaillee, minute, maintenant.time().second());
    const bool travail = !endormi && (choix.travaille || choix.manque() || tic_.reveilEnAttente);
    // Un tic venu pendant les attentes d'un autre ne fait que l'affichage, et sans attendre : il
    // ne retarde pas la phrase en cours ; le témoin s'éteindra à la fin de l'autre tic. Seule
    // exception : l'autre est retenu par une fenêtre modale et ce tic a du travail.
    if (tic_.enCours && !(travail && ticRetenu()))
        return;
    const qsizetype niveau = tic_.imbriques.size();
    tic_.imbriques.append(
        EtatTic::Imbrique{QApplication::activeModalWidget(), QApplication::activePopupWidget()});
    const QScopedValueRollback<bool> enCours(tic_.enCours, true);
    // Le tic retenu reprendra avec ses textes à lui (l'annonce ou les alarmes qui lui restent).
    QScopedValueRollback<QString> heureRetenue(TexteHeure);
    QScopedValueRollback<QString> minuteRetenue(TexteMinute);
    while (tic_.relais.size() <= niveau) {
        auto* relais = new QTimer(this);
        QObject::connect(relais, &QTimer::timeout, this, [this] {
            // Timer arrêté (éditeur des alarmes, fermeture) : l'affichage reste figé.
            if (Timer.isActive())
                Timer_Timer();
        });
        tic_.relais.append(relais);
    }
    QTimer* relais = tic_.relais.at(niveau);
    relais->start(Timer.interval());
    const auto finRelais = qScopeGuard([this, relais] {
        relais->stop();
        tic_.imbriques.removeLast();
    });

    TexteHeure = maintenant.toString(u"hh");
    TexteMinute = maintenant.toString(u"hh:mm").right(2);
    bool reveil = false;
    if (!endormi) {
        tic_.minuteVue = minute;
        // Sans logind, la veille se voit au temps de veille de la machine, qui a bondi.
        const qint64 veille = plateforme_.horloge().veilleCumulee();
        if (tic_.veilleVue && veille - *tic_.veilleVue > BondDeVeille)
            tic_.reveilEnAttente = true;
        tic_.veilleVue = veille;
        reveil = std::exchange(tic_.reveilEnAttente, false);
        if (reveil)
            tic_.miseEnVeille.invalidate();
    }
    // Les alarmes des minutes sans tic : récentes, elles sonnent ; plus vieilles, une boîte les dit.
    QList<AlarmeManquee> recentes;
    QList<AlarmeManquee> anciennes;
    for (const AlarmeManquee& m : alarmesManquees(Alarmes, choix.premiereManquee, choix.derniereManquee))
        (instantDeMinute(m.minute).msecsTo(maintenant) < RetardMaxAlarme ? recentes : anciennes) << m;

    // La nuit ou quand le bureau demande le calme, l'horloge se tait ; les alarmes sonnent.
    const bool silence = choix.travaille && silencieuse(maintenant);
    if (choix.travaille) {
        tic_.minuteTravaillee = minute;
        if (!silence && TexteMinute == u"00") {
            sons_.JoueSon(Son::Carillon);
            sons_.Pause(0.5);
        }
    }
    // Au réveil, l'heure n'est dite qu'une fois, même à une minute d'annonce.
    if (reveil)
        HeureAuReveil();
    else if (choix.travaille && !silence && annonceDue(déclenche_annonce, TexteMinute))
        ParleHeure();
    if (choix.travaille || reveil || !recentes.isEmpty()) {
        sons_.Pause(1);
        alarmesEnRetard(recentes);
        if (choix.travaille)
            for (int n : alarmesDues(Alarmes, TexteHeure, TexteMinute))
                if (!sons_.fini() && notePremierDepart(Alarmes, n, maintenant.date()))
                    DeclencheAlarme(n);
    }
    if (!anciennes.isEmpty() && !sons_.fini())
        DIALOG().message(this, texteAlarmesManquees(Alarmes, anciennes, maintenant.date()),
                         TitreAlarmesManquees, IconeMessage::Information);
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

void CHRONO::alarmesEnRetard(const QList<AlarmeManquee>& manquees) {
    // Chacune une fois, à la date de son passage : l'heure reculée ensuite ne la refait pas.
    for (const AlarmeManquee& m : manquees)
        if (!sons_.fini() && notePremierDepart(Alarmes, m.n, QDate::fromJulianDay(m.minute / 1440)))
            DeclencheAlarme(m.n);
}

void CHRONO::HeureAuReveil() {
    // Dite d'elle-même, comme une annonce : pas pendant le silence de nuit ni le calme du bureau.
    if (!silencieuse(plateforme_.horloge().maintenant()))
        ParleHeure();
}

bool CHRONO::endormie() const {
    // Sans réveil annoncé après ce temps d'éveil, la veille a échoué ou l'annonce s'est perdue :
    // l'horloge reprend.
    return tic_.miseEnVeille.isValid() && !tic_.miseEnVeille.hasExpired(VeilleSansReveilMax);
}

void CHRONO::PrepareVeille(bool avant) {
    if (avant) {
        tic_.miseEnVeille.start();
        return;
    }
    // Un réveil sans veille annoncée, ou déjà vu au bond du temps de veille, ne redit pas l'heure.
    if (!tic_.miseEnVeille.isValid())
        return;
    tic_.miseEnVeille.invalidate();
    tic_.reveilEnAttente = true;
    // Sans attendre le prochain tic.
    QTimer::singleShot(0, this, [this] {
        if (Timer.isActive())
            Timer_Timer();
    });
}

void CHRONO::RelanceTimer() {
    tic_.minuteVue = -1;
    tic_.veilleVue.reset();
    tic_.reveilEnAttente = false;
    Timer.start();
}
