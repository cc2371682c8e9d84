#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT et SIGHUP deviennent une demande de fermeture ordinaire, servie par la
// boucle d'événements : les réglages sont enregistrés comme à la fermeture par l'utilisateur.
class Signaux : public QObject {
    Q_OBJECT
public:
    explicit Signaux(QObject* parent = nullptr);
    ~Signaux() override;

Q_SIGNALS:
    void fermetureDemandee();

private:
    QSocketNotifier* notificateur_ = nullptr;
};
