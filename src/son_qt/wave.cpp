#include "son_qt/wave.h"

#include <QIODevice>
#include <QtEndian>

namespace {

bool litOctets(QIODevice& flux, char* destination, qint64 nombre) {
    return flux.read(destination, nombre) == nombre;
}

QAudioFormat::SampleFormat formatEchantillon(quint16 code, quint16 bits) {
    if (code == 1) {
        switch (bits) {
        case 8:
            return QAudioFormat::UInt8;
        case 16:
            return QAudioFormat::Int16;
        case 32:
            return QAudioFormat::Int32;
        default:
            return QAudioFormat::Unknown;
        }
    }
    if (code == 3 && bits == 32)
        return QAudioFormat::Float;
    return QAudioFormat::Unknown;
}

} // namespace

FormatWave analyseWave(QIODevice& flux) {
    FormatWave resultat;
    if (!flux.seek(0))
        return resultat;
    char entete[12];
    if (!litOctets(flux, entete, 12) || qstrncmp(entete, "RIFF", 4) != 0 ||
        qstrncmp(entete + 8, "WAVE", 4) != 0)
        return resultat;

    const qint64 taille = flux.size();
    qint64 position = 12;
    bool formatLu = false;
    while (position + 8 <= taille) {
        char bloc[8];
        if (!flux.seek(position) || !litOctets(flux, bloc, 8))
            return resultat;
        const quint32 longueur = qFromLittleEndian<quint32>(bloc + 4);
        const qint64 debut = position + 8;
        if (qstrncmp(bloc, "fmt ", 4) == 0) {
            char fmt[40] = {};
            if (longueur < 16 || !litOctets(flux, fmt, qMin<qint64>(longueur, sizeof fmt)))
                return resultat;
            quint16 code = qFromLittleEndian<quint16>(fmt);
            const quint16 canaux = qFromLittleEndian<quint16>(fmt + 2);
            const quint32 frequence = qFromLittleEndian<quint32>(fmt + 4);
            const quint16 bits = qFromLittleEndian<quint16>(fmt + 14);
            // WAVE_FORMAT_EXTENSIBLE : le vrai code est au début du sous-format.
            if (code == 0xFFFE && longueur >= 26)
                code = qFromLittleEndian<quint16>(fmt + 24);
            const auto echantillon = formatEchantillon(code, bits);
            if (echantillon == QAudioFormat::Unknown || canaux == 0 || canaux > 8 || frequence < 1000 ||
                frequence > 384000)
                return resultat;
            resultat.format.setSampleFormat(echantillon);
            resultat.format.setChannelCount(canaux);
            resultat.format.setSampleRate(int(frequence));
            formatLu = true;
        } else if (qstrncmp(bloc, "data", 4) == 0) {
            if (!formatLu)
                return resultat;
            const qint64 trame = resultat.format.bytesPerFrame();
            qint64 utile = qMin<qint64>(longueur, taille - debut);
            utile -= utile % trame;
            resultat.debutDonnees = debut;
            resultat.tailleDonnees = utile;
            resultat.valide = utile > 0;
            return resultat;
        }
        // Les blocs de taille impaire sont suivis d'un octet de remplissage.
        position = debut + longueur + (longueur & 1);
    }
    return resultat;
}
