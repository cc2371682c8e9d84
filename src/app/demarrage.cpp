#include "app/demarrage.h"

#include "app/chrono.h"
#include "desktop/raccourci.h"

#include <QDir>

std::unique_ptr<CHRONO> ProcedureDemarrage(Plateforme& plateforme) {
    auto chrono = std::make_unique<CHRONO>(plateforme);
    CreeRaccourciProgramme(*chrono);
    chrono->assureChargee();
    if (chrono->enFermeture())
        return chrono;
    chrono->RepertoireDemarrage = QDir::currentPath();
    // Réduite sans rester visible : seule l'icône de notification la représente.
    if (!(chrono->windowState() & Qt::WindowMinimized) || !chrono->doitCacherReduite())
        chrono->show();
    return chrono;
}
