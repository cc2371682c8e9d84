#pragma once

#include <QString>
#include <array>

struct Alarme {
    qint16 Heure = 0;
    qint16 Minute = 0;
    bool AlarmeActive = false; // son et retour de la fenêtre
    bool MsgActif = false;
    bool ProgActif = false;
    QString TexteMsg; // avec ses sauts de ligne CR LF, comme dans le fichier
    QString CheminSon;
    QString CheminProg;
};

// Les six alarmes, numérotées de 1 à 6 pour l'utilisateur.
class TableAlarmes {
public:
    static constexpr int nombre = 6;
    Alarme& operator()(int numero) { return alarmes_.at(std::size_t(numero - 1)); }
    const Alarme& operator()(int numero) const { return alarmes_.at(std::size_t(numero - 1)); }

private:
    std::array<Alarme, nombre> alarmes_{};
};
