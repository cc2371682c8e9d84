#include "son_pulse/wave.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QtEndian>

namespace {

constexpr quint16 CodePcm = 1;
constexpr quint16 CodeFlottant = 3;
constexpr quint16 CodeEtendu = 0xFFFE;
// Au-delà, libpulse refuse le flux (PA_RATE_MAX) : le fichier est dit injouable dès son choix.
constexpr quint32 FrequenceMax = 384000;

bool litOctets(QIODevice& flux, char* destination, qint64 nombre) {
    return flux.read(destination, nombre) == nombre;
}

// Le codage et la taille des échantillons, ou faux si on ne sait pas les jouer.
bool decritEchantillons(quint16 code, quint16 bits, FormatWave& f) {
    if (code == CodePcm && bits >= 8 && bits <= 32) {
        f.codage = CodageWave::Entier;
        f.octetsParEchantillon = (bits + 7) / 8;
        return true;
    }
    if (code == CodeFlottant && (bits == 32 || bits == 64)) {
        f.codage = CodageWave::Flottant;
        f.octetsParEchantillon = bits / 8;
        return true;
    }
    return false;
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
            const qint64 lus = qMin<qint64>(longueur, sizeof fmt);
            if (longueur < 16 || !litOctets(flux, fmt, lus))
                return resultat;
            quint16 code = qFromLittleEndian<quint16>(fmt);
            const quint16 canaux = qFromLittleEndian<quint16>(fmt + 2);
            const quint32 frequence = qFromLittleEndian<quint32>(fmt + 4);
            const quint16 bits = qFromLittleEndian<quint16>(fmt + 14);
            // WAVE_FORMAT_EXTENSIBLE : le vrai code ouvre le sous-format. Une extension trop
            // courte pour le porter vient d'écrivains qui ne font que du PCM.
            if (code == CodeEtendu)
                code = lus >= 26 ? qFromLittleEndian<quint16>(fmt + 24) : CodePcm;
            if (!decritEchantillons(code, bits, resultat) || canaux == 0 || canaux > 8 || frequence == 0 ||
                frequence > FrequenceMax)
                return FormatWave{};
            resultat.canaux = canaux;
            resultat.frequence = int(frequence);
            formatLu = true;
        } else if (qstrncmp(bloc, "data", 4) == 0) {
            if (!formatLu)
                return FormatWave{};
            const qint64 trame = resultat.octetsParTrame();
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
    return FormatWave{};
}

FormatWave lisWave(const QString& chemin) {
    if (chemin.isEmpty() || !QFileInfo(chemin).isFile())
        return {};
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return {};
    return analyseWave(fichier);
}
