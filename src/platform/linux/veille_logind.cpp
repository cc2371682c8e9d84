#include "platform/linux/veille_logind.h"

bool VeilleLogind::ecoute(QDBusConnection bus) {
    if (!bus.isConnected())
        return false;
    // Le nom de service filtre l'expéditeur : seul logind est cru, pas n'importe quel client du bus.
    return bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                       QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                       this, SLOT(PrepareForSleep(bool)));
}

void VeilleLogind::PrepareForSleep(bool avant) {
    Q_EMIT veille(avant);
}
