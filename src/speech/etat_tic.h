#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <optional>

class QTimer;

// Où en est le tic de l'horloge (tic.cpp) : les minutes vues, travaillées et affichées, la veille
// de la machine et les tics imbriqués dans les attentes d'un autre.
struct EtatTic {
    // Un tic en cours : ceux qui arrivent pendant ses attentes ne font qu'afficher l'heure, sauf
    // s'il est retenu par une fenêtre modale (voir tic.cpp).
    bool enCours = false;
    // La dernière minute travaillée (cleMinute) : son travail ne se refait pas.
    qint64 minuteTravaillee = -1;
    // La minute du titre et de l'heure affichés (cleMinute).
    qint64 minuteAffichee = -1;
    // La dernière minute vue par un tic qui pouvait la travailler (cleMinute) : -1 au démarrage et
    // après l'éditeur des alarmes.
    qint64 minuteVue = -1;
    // Le temps de veille de la machine au dernier tic travaillant (Horloge::veilleCumulee).
    std::optional<qint64> veilleVue;
    // Réveil vu (logind ou bond du temps de veille) : le prochain tic qui travaille dit l'heure.
    bool reveilEnAttente = false;
    // Depuis l'annonce de la mise en veille (temps monotone) ; invalide hors de la veille.
    QElapsedTimer miseEnVeille;
    // Qt ne relance pas une minuterie tant que son tic attend : un relais par tic en cours (créés
    // au besoin) prend sa cadence pendant ce temps.
    QList<QTimer*> relais;
    // Les fenêtres modale et surgissante actives au début de chaque tic en cours, du premier au
    // plus imbriqué.
    struct Imbrique {
        QPointer<QWidget> modale;
        QPointer<QWidget> menu;
    };
    QList<Imbrique> imbriques;
};
