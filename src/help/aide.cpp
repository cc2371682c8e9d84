#include "help/aide.h"

#include "app/chrono.h"

void Aide::InitAide(QWidget* proprietaire) {
    proprietaire_ = proprietaire;
}

bool Aide::AideSommaire() {
    return false;
}

bool Aide::FermeAide() {
    chrono_.CadreOutils->hide();
    return false;
}
