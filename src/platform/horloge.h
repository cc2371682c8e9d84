#pragma once

#include <QDateTime>

// L'heure du jour et les attentes : remplaçable pour que les tests avancent le temps à volonté.
class Horloge {
public:
    virtual ~Horloge() = default;
    virtual QDateTime maintenant() const = 0;
    // Laisse passer au moins `secondes` en servant les événements de fenêtre.
    virtual void attends(double secondes) = 0;
    // Le temps passé en veille depuis le démarrage de la machine, en ms : un bond dit un réveil.
    virtual qint64 veilleCumulee() const { return 0; }
};

class HorlogeSysteme final : public Horloge {
public:
    QDateTime maintenant() const override;
    void attends(double secondes) override;
    qint64 veilleCumulee() const override;
};
