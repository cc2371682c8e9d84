#pragma once

#include "app/chrono.h"

// La porte des tests et des mesures sur ce que les noms des contrôles n'atteignent pas (fakes/fenetres.h) :
// ce qu'ils font tourner (tic, annonce, alarme) et l'état qu'ils relisent. En-tête
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

    // Fenêtre des réglages ouverte
    static QPointer<PARAMETRES>& parametresOuvert(CHRONO& c) { return c.parametresOuvert; }

    // Clavier et zone de notification
    static bool heureDemandee(const CHRONO& c) { return c.heureDemandee(); }
    static bool& TrayOccupe(CHRONO& c) { return c.TrayOccupe; }
    static int& dernierEvenementTray(CHRONO& c) { return c.dernierEvenementTray; }
    static bool& menuParHote(CHRONO& c) { return c.menuParHote; }
};
