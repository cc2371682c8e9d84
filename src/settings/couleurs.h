#pragma once

#include <QColor>

// Couleurs au format des réglages : 0x00BBGGRR ; bit de poids fort levé = couleur du système.
QColor couleurReglage(qint32 valeur);
qint32 valeurReglage(const QColor& couleur);
