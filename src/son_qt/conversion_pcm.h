#pragma once

#include "son_qt/wave.h"

#include <QAudioFormat>
#include <QIODevice>
#include <QList>
#include <QVarLengthArray>

// Le format de Qt qui rend ces échantillons tels quels ; Unknown s'il n'y en a pas (24 bits,
// flottants de 64 bits), une conversion est alors nécessaire.
QAudioFormat formatNaturel(const FormatWave& wave);

// Les formats à proposer à la sortie, du plus fidèle au plus courant : le format naturel, puis
// les flottants et les entiers de 16 bits, sur les canaux du fichier puis sur deux.
QList<QAudioFormat> formatsCandidats(const FormatWave& wave);

// Les données d'un son lues au fil de la lecture et rendues dans le format de la sortie :
// codage et taille des échantillons, nombre de canaux (mêlés ou répétés). La fréquence ne
// change pas. Rien n'est gardé au-delà d'un bloc : la mémoire reste la même pour tout fichier.
class ConversionPcm final : public QIODevice {
public:
    // `source` commence au premier octet des données ; il doit vivre plus longtemps que ceci.
    ConversionPcm(QIODevice& source, const FormatWave& entree, const QAudioFormat& sortie);
    bool isSequential() const override { return false; }
    qint64 size() const override;

protected:
    qint64 readData(char* donnees, qint64 max) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    double echantillon(const char* p) const;
    void ecrit(double valeur, char* p) const;

    QIODevice& source_;
    FormatWave entree_;
    QAudioFormat sortie_;
    qint64 trames_ = 0;
    QVarLengthArray<char, 4096> tampon_;
};
