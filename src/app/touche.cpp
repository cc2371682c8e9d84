// La touche qui dit l'heure depuis n'importe quelle application : prise auprès du bureau au
// chargement, changée par les paramètres, rendue à la fermeture.
#include "settings/touche.h"
#include "app/chrono.h"
#include "app/commun.h"
#include "platform/dialogues.h"
#include "platform/plateforme.h"
#include "platform/touche_globale.h"

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
        DIALOG().message(
            this,
            QStringLiteral("La touche %1 est déjà prise par un autre programme : Chrono Vocalis ne "
                           "peut pas s'en servir pour dire l'heure.")
                    .arg(texteTouche(refusee)) +
                RetourLigne +
                QStringLiteral("Vous pouvez en choisir une autre dans les paramètres (Ctrl+P)."),
            TitreApplication, IconeMessage::Information);
    });
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
