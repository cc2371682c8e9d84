#pragma once

#include <QDBusConnection>
#include <QObject>

// La veille de la machine telle que logind l'annonce sur le bus du système : PrepareForSleep
// vrai avant la veille, faux au réveil. Sans bus du système ni logind, rien n'arrive.
class VeilleLogind : public QObject {
    Q_OBJECT
public:
    explicit VeilleLogind(QObject* parent = nullptr) : QObject(parent) {}
    // Écoute logind sur ce bus ; faux sans bus.
    bool ecoute(QDBusConnection bus);

Q_SIGNALS:
    void veille(bool avant);

private Q_SLOTS:
    void PrepareForSleep(bool avant);
};
