#pragma once

#include <QtGlobal>

// Les numéros des sons que le programme joue par leur nom ; les nombres dits (1 à 23, puis les
// minutes) gardent leur propre valeur pour numéro. Chaque son est le fichier « N.wav » des
// ressources.
namespace Son {
inline constexpr qint16 MotHeures = 70;
inline constexpr qint16 MotMinutes = 71;
inline constexpr qint16 APropos = 82;
inline constexpr qint16 Clic = 84;
inline constexpr qint16 Carillon = 85;
inline constexpr qint16 Fermeture = 86;
// « zéro », dit à minuit à la place des heures.
inline constexpr qint16 Zero = 99;
} // namespace Son
