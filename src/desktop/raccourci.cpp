#include "desktop/raccourci.h"

#include "app/chrono.h"

void CreeRaccourciProgramme(CHRONO& chrono) {
    // Demander la fenêtre principale la crée : son chargement a lieu ici.
    chrono.assureChargee();
}
