#pragma once

#include "app/chrono.h"
#include "fakes/essai.h"
#include "fakes/faux.h"

#include <QDateTime>
#include <QStringList>
#include <functional>
#include <memory>

// L'horloge bâtie sur les faux, dans un dossier d'essai garni des réglages livrés. Chaque test
// dit jusqu'où la mener avant ses propres gestes ; son minuteur reste arrêté, le test tique lui-même.
struct BancChrono {
    // À combiner : Chargee construit aussi.
    enum Mise : int {
        Rien = 0,
        Construite = 1,
        Chargee = 2 | Construite,
        JournalVide = 4,
        // Le dossier de démarrage de l'horloge est le dossier d'essai, où sont ses réglages.
        DemarrageIci = 8,
    };
    // Le bureau donné (faux sinon) est fait une fois le dossier d'essai devenu dossier courant.
    using FabriqueBureau = std::function<std::unique_ptr<Bureau>()>;
    explicit BancChrono(int mise = Chargee, const FabriqueBureau& bureau = {});
    ~BancChrono();
    BancChrono(const BancChrono&) = delete;
    BancChrono& operator=(const BancChrono&) = delete;

    // Une horloge neuve sur les mêmes faux (l'ancienne part d'abord, elle s'en sert encore).
    void cree();
    void charge();
    QStringList sonsEtAttentes() const { return p.journal.filtre({"son", "attente"}); }
    // Un tic du minuteur à l'instant donné.
    void tic(const QDateTime& instant);

    DossierEssai dossier;
    PlateformeFausse p;
    std::unique_ptr<CHRONO> c;
};
