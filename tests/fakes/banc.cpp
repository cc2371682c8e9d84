#include "fakes/banc.h"

BancChrono::BancChrono(int mise, std::unique_ptr<Bureau> bureau) : p(std::move(bureau)) {
    if ((mise & Chargee) == Chargee)
        charge();
    else if (mise & Construite)
        cree();
    if (c && (mise & DemarrageIci))
        c->RepertoireDemarrage = dossier.chemin();
    if (mise & JournalVide)
        p.journal.lignes.clear();
}

BancChrono::~BancChrono() = default;

void BancChrono::cree() {
    c.reset();
    c = std::make_unique<CHRONO>(p);
    c->Timer.stop();
}

void BancChrono::charge() {
    cree();
    c->assureChargee();
}

void BancChrono::tic(const QDateTime& instant) {
    p.horlogeV().regle(instant);
    c->Timer_Timer();
}
