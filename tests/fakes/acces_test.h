#pragma once

#include "app/chrono.h"

// La seule porte des tests et des mesures sur l'intérieur de CHRONO : ce qu'ils font tourner
// (tic, annonce, alarme, boutons) et ce qu'ils relisent, sous les noms de la fenêtre. En-tête
// seul, sans bibliothèque : les mesures construites sans les tests s'en servent aussi.
struct AccesTest {
    // Chargement et fenêtre
    static bool chargee(const CHRONO& c) { return c.chargee(); }
    static void restaure(CHRONO& c) { c.restaure(); }
    static Aide& aide(CHRONO& c) { return c.aide(); }

    // Horloge parlante et alarmes
    static void Timer_Timer(CHRONO& c) { c.Timer_Timer(); }
    static void ParleHeure(CHRONO& c) { c.ParleHeure(); }
    static void DeclencheAlarme(CHRONO& c, int n) { c.DeclencheAlarme(n); }
    static bool& ticEnCours(CHRONO& c) { return c.tic_.enCours; }
    static bool ticEnCours(const CHRONO& c) { return c.tic_.enCours; }
    static qint64& minuteTravaillee(CHRONO& c) { return c.tic_.minuteTravaillee; }
    static QString& TexteHeure(CHRONO& c) { return c.TexteHeure; }
    static QString& TexteMinute(CHRONO& c) { return c.TexteMinute; }

    // Barre d'outils, affichage et menu de l'icône
    static void Image0_Click(CHRONO& c) { c.Image0_Click(); }
    static void Image2_Click(CHRONO& c) { c.Image2_Click(); }
    static void Image3_Click(CHRONO& c) { c.Image3_Click(); }
    static void Image4_Click(CHRONO& c) { c.Image4_Click(); }
    static QToolButton* Image0(const CHRONO& c) { return c.Image0; }
    static QToolButton* Image2(const CHRONO& c) { return c.Image2; }
    static QToolButton* Image3(const CHRONO& c) { return c.Image3; }
    static QToolButton* Image4(const CHRONO& c) { return c.Image4; }
    static QToolButton* Image5(const CHRONO& c) { return c.Image5; }
    static QLabel* Flash(const CHRONO& c) { return c.Flash; }
    static Ligne* bande(const CHRONO& c) { return c.bande; }
    static QLabel* AffHEURE(const CHRONO& c) { return c.AffHEURE; }
    static QMenu* BULLE(const CHRONO& c) { return c.BULLE; }
    static QAction* AffHoraire(const CHRONO& c) { return c.AffHoraire; }
    static QAction* Agrandir(const CHRONO& c) { return c.Agrandir; }
    static QAction* Fermeture(const CHRONO& c) { return c.Fermeture; }
    static QPointer<PARAMETRES>& parametresOuvert(CHRONO& c) { return c.parametresOuvert; }

    // Clavier et zone de notification
    static bool heureDemandee(const CHRONO& c) { return c.heureDemandee(); }
    static bool& TrayOccupe(CHRONO& c) { return c.TrayOccupe; }
    static int& dernierEvenementTray(CHRONO& c) { return c.dernierEvenementTray; }
    static bool& menuParHote(CHRONO& c) { return c.menuParHote; }
};
