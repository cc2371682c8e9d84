#pragma once

#include "settings/facultatifs.h"

#include <QString>
#include <QTime>

// Vrai si `instant` tombe dans la plage [debut, fin) d'un cadran de 24 heures : début compris, fin
// exclue, minuit franchi quand la fin vient avant le début (22:00 à 07:00). Une plage dont le début
// est la fin est vide : deux heures égales, réglées par mégarde en passant, ne font taire personne.
bool dansLaPlage(const QTime& debut, const QTime& fin, const QTime& instant);

// Pourquoi l'horloge se tait à cet instant : ni carillon ni annonce de l'heure.
struct Silence {
    bool nuit = false;
    bool bureau = false;
    QTime fin; // la fin du silence de nuit, s'il tient
    bool tient() const { return nuit || bureau; }
};
Silence silenceA(const ReglagesFacultatifs& r, bool nePasDerangerDuBureau, const QTime& instant);

// La raison dite et montrée : « silence de nuit jusqu'à 07:00 », « « Ne pas déranger » du bureau »,
// ou les deux ; vide quand l'horloge parle.
QString raisonDuSilence(const Silence& s);
