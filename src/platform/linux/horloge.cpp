#include "platform/horloge.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <time.h>

QDateTime HorlogeSysteme::maintenant() const {
    return QDateTime::currentDateTime();
}

void HorlogeSysteme::attends(double secondes) {
    // Échéance sur l'horloge monotone : ni minuit ni un réglage de l'heure ne la déplacent.
    const QDeadlineTimer echeance(qRound64(secondes * 1000.0), Qt::PreciseTimer);
    while (!echeance.hasExpired()) {
        QEventLoop boucle;
        QTimer minuterie;
        minuterie.setSingleShot(true);
        minuterie.setTimerType(Qt::PreciseTimer);
        QObject::connect(&minuterie, &QTimer::timeout, &boucle, &QEventLoop::quit);
        minuterie.start(int(echeance.remainingTime()));
        // Une boucle imbriquée peut aussi être arrêtée par la fin du programme.
        if (boucle.exec() != 0)
            return;
    }
}

qint64 HorlogeSysteme::veilleCumulee() const {
    // CLOCK_MONOTONIC s'arrête pendant la veille, CLOCK_BOOTTIME non.
    timespec demarrage{};
    timespec monotone{};
    if (clock_gettime(CLOCK_BOOTTIME, &demarrage) != 0 || clock_gettime(CLOCK_MONOTONIC, &monotone) != 0)
        return 0;
    return (qint64(demarrage.tv_sec) - monotone.tv_sec) * 1000 +
           (demarrage.tv_nsec - monotone.tv_nsec) / 1000000;
}
