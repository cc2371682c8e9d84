#pragma once

#include <QString>
#include <QtMath>

// Le saut de ligne de tous les messages : LF puis CR.
inline const QString RetourLigne = QStringLiteral("\n\r");

inline const QString TitreApplication = QStringLiteral("Chrono Vocalis 95");

// Positions et tailles sont en twips : 15 par pixel logique.
constexpr int TwipsParPixel = 15;
inline int px(double twips) {
    return qRound(twips / TwipsParPixel);
}
inline int twips(int pixels) {
    return pixels * TwipsParPixel;
}
