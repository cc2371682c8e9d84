#include "app/chrono.h"

void CHRONO::ParleHeure() {}
