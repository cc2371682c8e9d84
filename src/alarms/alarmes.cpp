#include "alarms/alarmes.h"

#include "app/chrono.h"

ALARMES::ALARMES(CHRONO& chrono) : QDialog(&chrono), chrono_(chrono) {
    setWindowTitle(QStringLiteral("Réglages des alarmes"));
}
