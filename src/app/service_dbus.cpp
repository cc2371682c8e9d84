#include "app/service_dbus.h"

#include "app/chrono.h"

#include <QDBusConnectionInterface>

ServiceHeure::ServiceHeure(CHRONO& chrono) : QObject(&chrono), chrono_(chrono) {}

bool ServiceHeure::enregistre(QDBusConnection bus) {
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reponse =
        bus.interface()->registerService(QLatin1String(nomService),
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reponse.isValid() || reponse.value() != QDBusConnectionInterface::ServiceRegistered)
        return false;
    return bus.registerObject(QLatin1String(chemin), this, QDBusConnection::ExportScriptableSlots);
}

void ServiceHeure::DireHeure() {
    chrono_.DemandeHeure();
}
