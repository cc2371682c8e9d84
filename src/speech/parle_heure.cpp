#include "app/chrono.h"
#include "speech/catalogue.h"

namespace {

// Le son d'un nombre de minutes, s'il en existe un enregistré tel quel.
bool minuteEnregistree(int m) {
    return (m >= 1 && m <= 23) || (m >= 25 && m <= 55 && m % 5 == 0);
}

} // namespace

// L'heure dite en phrase : nombre des heures, « heures », puis, sauf à l'heure juste, nombre des
// minutes et « minutes ». Chaque son est coupé par le suivant : les pauses les laissent finir.
void CHRONO::ParleHeure() {
    // Les textes lus une fois pour toutes : un tic qui tomberait dans une pause (heure demandée
    // au clavier, fenêtre modale ouverte en pleine phrase) ne mélange pas deux heures.
    const QString heure = TexteHeure;
    const QString minute = TexteMinute;
    int h = heure.toInt();
    if (h == 0)
        h = Son::Zero; // minuit a son propre enregistrement
    sons_.JoueSon(qint16(h));
    sons_.Pause(1.2);
    sons_.JoueSon(Son::MotHeures);
    sons_.Pause(0.8);
    // Le texte et non sa valeur : seule la minute « 00 » fait une heure juste.
    if (minute == u"00")
        return;
    const int m = minute.toInt();
    if (m > 23 && m < 60 && !minuteEnregistree(m)) {
        // Seule l'heure demandée au clavier tombe hors des multiples de cinq : 37 se dit avec les
        // deux sons qui existent, « trente » puis « sept ».
        sons_.JoueSon(qint16(m / 10 * 10));
        sons_.Pause(0.8);
        sons_.JoueSon(qint16(m % 10));
    } else {
        sons_.JoueSon(qint16(m));
    }
    sons_.Pause(1.2);
    // On rend la main dès le dernier mot lancé ; il sonne encore.
    sons_.JoueSon(Son::MotMinutes);
}
