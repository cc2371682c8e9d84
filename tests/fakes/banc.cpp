#include "fakes/banc.h"

#include "fakes/acces_test.h"

BancChrono::BancChrono(int mise, const FabriqueBureau& bureau) : p(bureau ? bureau() : nullptr) {
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
    AccesTest::Timer_Timer(*c);
}
