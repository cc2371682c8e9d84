// Le silence de nuit et « Ne pas déranger » du bureau : ce qui se tait, et le dire.
#include "app/chrono.h"

#include "accessibilite/accessibilite.h"
#include "app/marque_silence.h"
#include "platform/horloge.h"
#include "platform/ne_pas_deranger.h"
#include "platform/plateforme.h"
#include "settings/couleurs.h"
#include "speech/silence.h"

#include <QLabel>

void CHRONO::installeSilence() {
    marqueSilence_ = new MarqueSilence(this);
    marqueSilence_->setCouleur(couleurReglage(couleurEncre_));
    marqueSilence_->hide();
    // La description de l'heure le dit déjà aux lecteurs d'écran.
    cacheAuxLecteurs(marqueSilence_);
    QObject::connect(&plateforme_.nePasDeranger(), &NePasDeranger::change, this,
                     [this] { appliqueSilence(); });
    montreSilence(plateforme_.horloge().maintenant());
}

void CHRONO::placeMarqueSilence() {
    if (!marqueSilence_)
        return;
    marqueSilence_->move(width() - marqueSilence_->width() - 2, height() - marqueSilence_->height() - 2);
}

void CHRONO::apresPremierAffichage() {
    bureauLisible_ = true;
    appliqueSilence();
    if (toucheASignaler_)
        signaleToucheRefusee();
}

void CHRONO::appliqueSilence() {
    if (bureauLisible_ && facultatifs.suivreNePasDeranger)
        plateforme_.nePasDeranger().suit();
    montreSilence(plateforme_.horloge().maintenant());
}

bool CHRONO::silencieuse(const QDateTime& instant) const {
    return silenceA(facultatifs, plateforme_.nePasDeranger().actif(), instant.time()).tient();
}

void CHRONO::montreSilence(const QDateTime& instant) {
    const QString raison =
        raisonDuSilence(silenceA(facultatifs, plateforme_.nePasDeranger().actif(), instant.time()));
    // Changés seulement quand la raison change : le lecteur d'écran ne les redit pas à chaque minute.
    if (raison == raisonSilence_ && !AffHEURE->accessibleDescription().isEmpty())
        return;
    raisonSilence_ = raison;
    nommeHeure(instant);
    const QString coupes =
        raison.isEmpty() ? QString() : QStringLiteral("Carillon et annonces coupés : ") + raison;
    AffHEURE->setAccessibleDescription(raison.isEmpty() ? QStringLiteral("L'heure affichée")
                                                        : QStringLiteral("L'heure affichée. ") + coupes);
    marqueSilence_->setToolTip(coupes);
    marqueSilence_->setVisible(!raison.isEmpty());
}
