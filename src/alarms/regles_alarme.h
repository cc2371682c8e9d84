#pragma once

#include <QPoint>
#include <QString>

// Un pas des boutons de l'heure (maximum 23) ou des minutes (maximum 59), sens +1 ou −1. Le tour
// ne se fait qu'aux bornes exactes : une valeur hors limites, venue d'un réglage écrit à la main,
// avance ou recule d'un seul cran.
qint16 pasSpin(qint16 valeur, int sens, qint16 maximum);

// L'heure sans zéro de tête ; la minute sur deux chiffres dès qu'elle est sous 10.
QString affichageHeure(qint16 heure);
QString affichageMinute(qint16 minute);

// Coin haut-gauche de l'éditeur, en twips, d'après celui de l'horloge : au-dessus et à gauche,
// sinon tout en haut, ou à droite de l'horloge.
QPoint placeEditeur(QPoint horloge);

// Le message garde ses sauts CR LF ; la boîte de texte de Qt ne connaît que LF.
QString texteVersBoite(const QString& texteMsg);
QString texteDepuisBoite(const QString& texteBoite);
