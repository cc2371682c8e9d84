#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT et SIGHUP deviennent une demande de fermeture ordinaire, servie par la
// boucle d'événements : les réglages sont enregistrés comme à la fermeture par l'utilisateur.
// SIGUSR1 vient d'une seconde horloge lancée sur le même dossier : elle demande la fenêtre.
class Signaux : public QObject {
    Q_OBJECT
public:
    explicit Signaux(QObject* parent = nullptr);
    ~Signaux() override;

    // SIGUSR1 retenu dès le début du programme : arrivé avant que l'horloge soit prête, il
    // attend au lieu de la tuer. À appeler avant tout autre fil, qui hérite de ce masque.
    static void retientRappels();
    // L'horloge est prête : les rappels retenus arrivent.
    static void laisseVenirRappels();

Q_SIGNALS:
    void fermetureDemandee();
    void rappelDemande();

private:
    QSocketNotifier* notificateur_ = nullptr;
};
