#include "desktop/parametres.h"

#include "app/chrono.h"

#include <QCheckBox>
#include <QLabel>

PARAMETRES::PARAMETRES(CHRONO& chrono) : QDialog(&chrono), chrono_(chrono) {
    setWindowTitle(QStringLiteral("CHRONO VOCALIS 95"));
    CaseIma = new QCheckBox(QStringLiteral("Image active"), this);
    CaseIma->setChecked(!chrono_.PHOTO->isHidden());
}

PARAMETRES::~PARAMETRES() = default;
