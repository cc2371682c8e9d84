#pragma once

#include <QAudioFormat>
#include <QtGlobal>

class QIODevice;

// Ce qu'il faut savoir d'une image RIFF WAVE pour la jouer : son format et où sont les données.
struct FormatWave {
    bool valide = false;
    QAudioFormat format;
    qint64 debutDonnees = 0;
    qint64 tailleDonnees = 0;
};

// Parcourt les blocs de l'en-tête ; le périphérique doit permettre de se déplacer (seek).
// Les données annoncées au-delà de la fin réelle sont ramenées à ce qui existe.
FormatWave analyseWave(QIODevice& flux);
