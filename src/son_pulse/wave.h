#pragma once

#include <QString>
#include <QtGlobal>

class QIODevice;

enum class CodageWave { Entier, Flottant };

// Ce qu'il faut savoir d'une image RIFF WAVE pour la jouer : son format et où sont les données.
// Sans libpulse : l'éditeur des alarmes s'en sert aussi, avant que le module des sons ne soit
// chargé.
struct FormatWave {
    bool valide = false;
    CodageWave codage = CodageWave::Entier;
    int octetsParEchantillon = 0; // 1 à 4 en entiers (8 bits : non signés), 4 ou 8 en flottants
    int canaux = 0;
    int frequence = 0;
    qint64 debutDonnees = 0;
    qint64 tailleDonnees = 0;
    int octetsParTrame() const { return octetsParEchantillon * canaux; }
};

// Parcourt les blocs de l'en-tête ; le périphérique doit permettre de se déplacer (seek).
// Les données annoncées au-delà de la fin réelle sont ramenées à ce qui existe. La taille d'une
// trame vient des bits et des canaux, jamais de l'alignement écrit dans l'en-tête (souvent faux).
FormatWave analyseWave(QIODevice& flux);

// Le fichier d'un chemin, lu seulement si c'est un fichier ordinaire : un tube ou un
// périphérique bloquerait l'ouverture ou la lecture.
FormatWave lisWave(const QString& chemin);
