#pragma once

#include <QDate>
#include <QList>
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

// Les départs d'une alarme dans la journée : le jour, et chaque heure réglée (en minutes depuis
// minuit) à laquelle elle est partie ce jour-là.
struct Declenchement {
    QDate jour;
    QList<int> heures;
};

// Les six alarmes, numérotées de 1 à 6 pour l'utilisateur.
class TableAlarmes {
public:
    static constexpr int nombre = 6;
    Alarme& operator()(int numero) { return alarmes_.at(std::size_t(numero - 1)); }
    const Alarme& operator()(int numero) const { return alarmes_.at(std::size_t(numero - 1)); }
    // Tenu à part des réglages : ni lu ni écrit, il ne vit que le temps du programme.
    Declenchement& declenchement(int numero) { return declenchements_.at(std::size_t(numero - 1)); }
    const Declenchement& declenchement(int numero) const {
        return declenchements_.at(std::size_t(numero - 1));
    }

private:
    std::array<Alarme, nombre> alarmes_{};
    std::array<Declenchement, nombre> declenchements_{};
};
