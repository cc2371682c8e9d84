#include "son_pulse/conversion_pcm.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 TramesParBloc = 2048;

qint16 seizeBits(double v) {
    return qint16(std::clamp(std::nearbyint(v * 32768.0), -32768.0, 32767.0));
}

} // namespace

ConversionPcm::ConversionPcm(QIODevice& source, const FormatWave& entree) : source_(source), entree_(entree) {
    trames_ = entree.octetsParTrame() > 0 ? entree.tailleDonnees / entree.octetsParTrame() : 0;
}

qint64 ConversionPcm::size() const {
    return trames_ * entree_.canaux * qint64(sizeof(qint16));
}

double ConversionPcm::echantillon(const char* p) const {
    const auto* o = reinterpret_cast<const uchar*>(p);
    if (entree_.codage == CodageWave::Flottant) {
        const double v = entree_.octetsParEchantillon == 8 ? qFromLittleEndian<double>(p)
                                                           : double(qFromLittleEndian<float>(p));
        // Un NaN ou un infini se tait plutôt que de saturer.
        return std::isfinite(v) ? v : 0.0;
    }
    switch (entree_.octetsParEchantillon) {
    case 1:
        return (int(o[0]) - 128) / 128.0;
    case 2:
        return qFromLittleEndian<qint16>(p) / 32768.0;
    case 3: {
        const qint32 v = qint32(quint32(o[0]) << 8 | quint32(o[1]) << 16 | quint32(o[2]) << 24) >> 8;
        return v / 8388608.0;
    }
    default:
        return qFromLittleEndian<qint32>(p) / 2147483648.0;
    }
}

qint64 ConversionPcm::readData(char* donnees, qint64 max) {
    const int entreeTrame = entree_.octetsParTrame();
    const int sortieTrame = entree_.canaux * int(sizeof(qint16));
    // Un format sans trame (invalide) ne peut rien produire : fin du son plutôt qu'une division par zéro.
    if (entreeTrame <= 0)
        return -1;
    const qint64 premiere = pos() / sortieTrame;
    const qint64 trames = std::min({max / sortieTrame, trames_ - premiere, TramesParBloc});
    if (trames <= 0)
        return 0;
    tampon_.resize(qsizetype(trames * entreeTrame));
    if (!source_.seek(premiere * entreeTrame))
        return -1;
    const qint64 lus = source_.read(tampon_.data(), trames * entreeTrame);
    // Un fichier raccourci pendant la lecture : on s'arrête à la dernière trame entière.
    if (lus < entreeTrame)
        return lus < 0 ? -1 : 0;
    const qint64 faits = lus / entreeTrame * entree_.canaux;
    for (qint64 i = 0; i < faits; ++i)
        qToLittleEndian<qint16>(
            seizeBits(gain_ * echantillon(tampon_.constData() + i * entree_.octetsParEchantillon)),
            donnees + i * qint64(sizeof(qint16)));
    return faits * qint64(sizeof(qint16));
}
