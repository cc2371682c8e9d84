#include "app/chrono.h"

// L'heure dite en phrase : nombre des heures, « heures », puis, sauf à l'heure juste, nombre des
// minutes et « minutes ». Chaque son est coupé par le suivant : les pauses les laissent finir.
void CHRONO::ParleHeure() {
    int h = TexteHeure.toInt();
    if (h == 0)
        h = 99; // minuit a son propre enregistrement
    sons_.JoueSon(qint16(h));
    sons_.Pause(1.2);
    sons_.JoueSon(70);
    sons_.Pause(0.8);
    // Le texte et non sa valeur : seule la minute « 00 » fait une heure juste.
    if (TexteMinute == u"00")
        return;
    sons_.JoueSon(qint16(TexteMinute.toInt()));
    sons_.Pause(1.2);
    // On rend la main dès le dernier mot lancé ; il sonne encore.
    sons_.JoueSon(71);
}
