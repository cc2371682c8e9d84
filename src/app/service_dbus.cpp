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

QString CHRONO::commandeDireHeure() {
    // dbus-send (paquet dbus-bin) est là partout où l'horloge est installée.
    return QStringLiteral("dbus-send --session --type=method_call --dest=%1 %2 %1.DireHeure")
        .arg(QLatin1String(ServiceHeure::nomService), QLatin1String(ServiceHeure::chemin));
}

void ServiceHeure::DireHeure() {
    chrono_.DemandeHeure();
}
