#include "son_qt/conversion_pcm.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr qint64 TramesParBloc = 2048;

QAudioFormat format(QAudioFormat::SampleFormat echantillon, int canaux, int frequence) {
    QAudioFormat f;
    f.setSampleFormat(echantillon);
    f.setChannelCount(canaux);
    f.setSampleRate(frequence);
    return f;
}

template <typename T> T borne(double v) {
    const double r = std::nearbyint(v);
    if (r <= double(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (r >= double(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return T(r);
}

} // namespace

QAudioFormat formatNaturel(const FormatWave& wave) {
    QAudioFormat::SampleFormat e = QAudioFormat::Unknown;
    if (wave.codage == CodageWave::Flottant)
        e = wave.octetsParEchantillon == 4 ? QAudioFormat::Float : QAudioFormat::Unknown;
    else if (wave.octetsParEchantillon == 1)
        e = QAudioFormat::UInt8;
    else if (wave.octetsParEchantillon == 2)
        e = QAudioFormat::Int16;
    else if (wave.octetsParEchantillon == 4)
        e = QAudioFormat::Int32;
    if (e == QAudioFormat::Unknown)
        return {};
    return format(e, wave.canaux, wave.frequence);
}

QList<QAudioFormat> formatsCandidats(const FormatWave& wave) {
    QList<QAudioFormat> liste;
    const auto ajoute = [&](const QAudioFormat& f) {
        if (f.isValid() && !liste.contains(f))
            liste << f;
    };
    ajoute(formatNaturel(wave));
    for (int canaux : {wave.canaux, 2})
        for (auto e : {QAudioFormat::Float, QAudioFormat::Int16})
            ajoute(format(e, canaux, wave.frequence));
    return liste;
}

ConversionPcm::ConversionPcm(QIODevice& source, const FormatWave& entree, const QAudioFormat& sortie)
    : source_(source), entree_(entree), sortie_(sortie) {
    trames_ = entree.octetsParTrame() > 0 ? entree.tailleDonnees / entree.octetsParTrame() : 0;
}

qint64 ConversionPcm::size() const {
    return trames_ * sortie_.bytesPerFrame();
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

void ConversionPcm::ecrit(double v, char* p) const {
    switch (sortie_.sampleFormat()) {
    case QAudioFormat::UInt8:
        *reinterpret_cast<uchar*>(p) = uchar(qBound(0.0, std::nearbyint(v * 128.0 + 128.0), 255.0));
        break;
    case QAudioFormat::Int16:
        qToLittleEndian<qint16>(borne<qint16>(v * 32768.0), p);
        break;
    case QAudioFormat::Int32:
        qToLittleEndian<qint32>(borne<qint32>(v * 2147483648.0), p);
        break;
    default:
        qToLittleEndian<float>(float(v), p);
        break;
    }
}

qint64 ConversionPcm::readData(char* donnees, qint64 max) {
    const int entreeTrame = entree_.octetsParTrame();
    const int sortieTrame = sortie_.bytesPerFrame();
    // Un format sans trame (invalide) ne peut rien produire : fin du son plutôt qu'une division par zéro.
    if (sortieTrame <= 0 || entreeTrame <= 0)
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
    const qint64 faites = lus / entreeTrame;
    const int canauxEntree = entree_.canaux;
    const int canauxSortie = sortie_.channelCount();
    const int octetsSortie = sortie_.bytesPerSample();
    for (qint64 t = 0; t < faites; ++t) {
        const char* e = tampon_.constData() + t * entreeTrame;
        char* s = donnees + t * sortieTrame;
        for (int j = 0; j < canauxSortie; ++j) {
            double v = 0;
            if (canauxEntree >= canauxSortie) {
                // Plus de canaux que la sortie : ceux qui tombent sur le même sont mêlés.
                int n = 0;
                for (int i = j; i < canauxEntree; i += canauxSortie, ++n)
                    v += echantillon(e + qsizetype(i) * entree_.octetsParEchantillon);
                v /= n;
            } else {
                v = echantillon(e + qsizetype(j % canauxEntree) * entree_.octetsParEchantillon);
            }
            ecrit(v, s + qsizetype(j) * octetsSortie);
        }
    }
    return faites * sortieTrame;
}
