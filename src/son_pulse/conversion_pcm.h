#pragma once

#include "son_pulse/wave.h"

#include <QIODevice>
#include <QVarLengthArray>

// Les données d'un son lues au fil de la lecture et rendues en entiers signés de 16 bits, sur
// les canaux et à la fréquence du fichier : les deux serveurs les jouent proprement (PipeWire
// complète les flux de 8 bits par des octets nuls, qui y valent -1). Le gain, 0 à 1, porte sur
// l'amplitude. Rien n'est gardé au-delà d'un bloc : la mémoire reste la même pour tout fichier.
class ConversionPcm final : public QIODevice {
public:
    // `source` commence au premier octet des données ; il doit vivre plus longtemps que ceci.
    ConversionPcm(QIODevice& source, const FormatWave& entree);
    bool isSequential() const override { return false; }
    qint64 size() const override;
    // Vaut pour ce qui sera lu ensuite.
    void setGain(double gain) { gain_ = gain; }

protected:
    qint64 readData(char* donnees, qint64 max) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    double echantillon(const char* p) const;

    QIODevice& source_;
    FormatWave entree_;
    qint64 trames_ = 0;
    double gain_ = 1.0;
    QVarLengthArray<char, 4096> tampon_;
};
