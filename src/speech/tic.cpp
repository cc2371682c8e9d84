#include "app/chrono.h"

#include "platform/horloge.h"
#include "platform/plateforme.h"

#include <QLabel>
#include <QLocale>

void CHRONO::Timer_Timer() {
    const QDateTime maintenant = plateforme().horloge().maintenant();
    setWindowTitle(QLocale::system().toString(maintenant, u" hh:mm - dddd d MMM yy"));
    AffHEURE->setText(maintenant.toString(u"hh:mm"));
    AffHEURE->adjustSize();
}
