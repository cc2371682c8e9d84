// La touche qui dit l'heure depuis n'importe quelle application : prise auprès du bureau au
// chargement, changée par les paramètres, rendue à la fermeture.
#include "settings/touche.h"
#include "app/chrono.h"
#include "platform/dialogues.h"
#include "platform/plateforme.h"
#include "platform/touche_globale.h"
#include "settings/commun.h"

void CHRONO::installeTouche() {
    ToucheGlobale& touche = plateforme_.toucheGlobale();
    // Le même chemin qu'Espace dans la fenêtre : la même phrase, les mêmes attentes.
    connect(&touche, &ToucheGlobale::pressee, this, [this] { DemandeHeure(); });
    connect(&touche, &ToucheGlobale::refusee, this, [this](QKeyCombination refusee) {
        if (refusee != facultatifs.toucheHeure)
            return;
        toucheRefusee_ = true;
        // Une seule boîte par combinaison : la reprendre (clavier changé, paramètres) ne la redit pas.
        if (refusee == toucheSignalee_)
            return;
        toucheSignalee_ = refusee;
        // Refusée au chargement : la boîte attend la fenêtre, qu'elle retiendrait sinon cachée
        // jusqu'à sa réponse (démarrage avec la session compris).
        if (bureauLisible_)
            signaleToucheRefusee();
        else
            toucheASignaler_ = true;
    });
}

void CHRONO::signaleToucheRefusee() {
    toucheASignaler_ = false;
    // Pendant la fermeture, la boîte ouverte dans la pause du son de fin la retiendrait jusqu'à sa
    // réponse : l'horloge ne finirait pas (vu à la fin d'une session, SIGTERM sans effet).
    if (!toucheRefusee_ || enFermeture_)
        return;
    DIALOG().message(this,
                     QStringLiteral("La touche %1 est déjà prise par un autre programme : Chrono Vocalis ne "
                                    "peut pas s'en servir pour dire l'heure.")
                             .arg(texteTouche(toucheSignalee_)) +
                         RetourLigne +
                         QStringLiteral("Vous pouvez en choisir une autre dans les paramètres (Ctrl+P)."),
                     TitreApplication, IconeMessage::Information);
}

void CHRONO::appliqueTouche() {
    toucheRefusee_ = false;
    if (!toucheSuspendue_)
        plateforme_.toucheGlobale().pose(facultatifs.toucheHeure);
}

void CHRONO::suspendsTouche(bool suspendue) {
    if (suspendue == toucheSuspendue_)
        return;
    toucheSuspendue_ = suspendue;
    if (suspendue)
        plateforme_.toucheGlobale().libere();
    else
        appliqueTouche();
}
