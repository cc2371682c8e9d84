#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

// Ce que le système de fenêtres dit de la fenêtre normale au moment de fermer.
struct GeometrieVue {
    QRect normale;         // fenêtre normale, sans le cadre (pixels)
    QPoint cadre;          // coin du cadre moins coin de la fenêtre (pixels)
    bool positionsConnues; // faux là où la plateforme ne dit ni ne règle la place d'une fenêtre
    QList<QRect> ecrans;   // géométrie de chaque écran (pixels)
};

// La géométrie à ranger, en twips : celle qui a été vue quand elle est plausible, sinon la valeur
// lue au démarrage, rendue telle quelle. Une place sur aucun écran ou inconnue de la plateforme,
// une taille nulle ne remplacent jamais une bonne valeur rangée.
QRect geometrieARanger(const QRect& lueTwips, const GeometrieVue& vue);

// Vrai si la plateforme sait dire et régler la place des fenêtres (pas Wayland).
bool plateformePlaceLesFenetres();
