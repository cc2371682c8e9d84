#include "help/info.h"

#include "app/chrono.h"

INFO::INFO(CHRONO& chrono) : QDialog(&chrono), chrono_(chrono) {
    setWindowTitle(QStringLiteral("Informations"));
}
