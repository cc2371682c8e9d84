#include "app/chrono.h"

void CHRONO::DeclencheAlarme(int n) {
    Q_UNUSED(n);
}
