// Trouve les sons d'un enregistrement WAV (PCM 16 bits, tout taux, mono ou stéréo).
//
//   debuts_sons [--seuil S] [--silence MS] [--duree-min MS] [--debuts] fichier.wav
//       une ligne par son : « début fin pic » (secondes depuis le début du fichier,
//       pic en dBFS). Un son commence au premier échantillon dont l'amplitude atteint
//       le seuil après au moins MS ms sous le seuil ; il finit après le dernier.
//   debuts_sons --duree fichier.wav
//       la durée totale en secondes.
//   debuts_sons --correle ref.wav [--score-min X] fichier.wav
//       une ligne « position score » par endroit où ref.wav se retrouve
//       (corrélation normalisée, score entre -1 et 1).
//
// S <= 0 se lit en dBFS (-40 par défaut), 0 < S <= 1 en fraction de la pleine échelle.
// Le premier échantillon au-dessus du seuil est pris tel quel, sans lissage : sur une
// sinusoïde ou une voix, l'écart au vrai début reste sous la demi-période.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Audio {
    int taux = 0;
    int canaux = 0;
    std::vector<std::int16_t> echantillons; // entrelacés
    qsizetype trames() const { return canaux ? static_cast<qsizetype>(echantillons.size()) / canaux : 0; }
};

[[noreturn]] void echec(const QString& message) {
    std::fprintf(stderr, "debuts_sons : %s\n", qPrintable(message));
    std::exit(2);
}

std::uint32_t lit32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<std::uint32_t>(u[3]) << 24);
}

std::uint16_t lit16(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(u[0] | (u[1] << 8));
}

Audio litWav(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        echec(QStringLiteral("impossible de lire %1").arg(chemin));
    const QByteArray octets = f.readAll();
    if (octets.size() < 12 || !octets.startsWith("RIFF") || octets.mid(8, 4) != "WAVE")
        echec(QStringLiteral("%1 n'est pas un fichier WAV").arg(chemin));
    Audio a;
    int bits = 0;
    qsizetype pos = 12;
    while (pos + 8 <= octets.size()) {
        const QByteArray id = octets.mid(pos, 4);
        const qsizetype taille = lit32(octets.constData() + pos + 4);
        const qsizetype debut = pos + 8;
        // Un enregistrement coupé net garde une taille fausse : on s'arrête à la fin du fichier.
        // Une taille de données nulle ou maximale (écriture en flux) vaut « jusqu'au bout ».
        const bool jusquAuBout = id == "data" && (taille == 0 || taille == 0xFFFFFFFF);
        const qsizetype dispo = jusquAuBout ? octets.size() - debut : std::min(taille, octets.size() - debut);
        if (id == "fmt " && dispo >= 16) {
            const char* p = octets.constData() + debut;
            std::uint16_t format = lit16(p);
            if (format == 0xFFFE && dispo >= 26)
                format = lit16(p + 24); // WAVE_FORMAT_EXTENSIBLE : le sous-format suit
            if (format != 1)
                echec(QStringLiteral("%1 : seul le PCM est lu").arg(chemin));
            a.canaux = lit16(p + 2);
            a.taux = static_cast<int>(lit32(p + 4));
            bits = lit16(p + 14);
        } else if (id == "data") {
            if (bits != 16 || a.canaux <= 0 || a.taux <= 0)
                echec(QStringLiteral("%1 : PCM 16 bits attendu avant les données").arg(chemin));
            const qsizetype n = dispo / 2;
            a.echantillons.resize(static_cast<std::size_t>(n));
            for (qsizetype i = 0; i < n; ++i)
                a.echantillons[static_cast<std::size_t>(i)] =
                    static_cast<std::int16_t>(lit16(octets.constData() + debut + 2 * i));
            a.echantillons.resize(static_cast<std::size_t>(a.trames() * a.canaux));
            return a;
        }
        pos = debut + taille + (taille & 1);
    }
    echec(QStringLiteral("%1 : pas de données audio").arg(chemin));
}

// Le canal le plus fort compte : un son sur un seul canal reste un son.
std::vector<int> amplitudes(const Audio& a) {
    std::vector<int> r(static_cast<std::size_t>(a.trames()));
    for (std::size_t i = 0; i < r.size(); ++i) {
        int m = 0;
        for (int c = 0; c < a.canaux; ++c)
            m = std::max(m, std::abs(static_cast<int>(a.echantillons[i * a.canaux + c])));
        r[i] = m;
    }
    return r;
}

std::vector<double> mono(const Audio& a) {
    std::vector<double> r(static_cast<std::size_t>(a.trames()));
    for (std::size_t i = 0; i < r.size(); ++i) {
        double s = 0;
        for (int c = 0; c < a.canaux; ++c)
            s += a.echantillons[i * a.canaux + c];
        r[i] = s / (32768.0 * a.canaux);
    }
    return r;
}

struct Son {
    qsizetype debut;
    qsizetype dernier;
    int pic;
};

std::vector<Son> trouveSons(const std::vector<int>& amp, int seuil, qsizetype silence) {
    std::vector<Son> sons;
    for (qsizetype i = 0; i < static_cast<qsizetype>(amp.size()); ++i) {
        const int v = amp[static_cast<std::size_t>(i)];
        if (v < seuil)
            continue;
        if (sons.empty() || i - sons.back().dernier > silence)
            sons.push_back({i, i, v});
        else {
            sons.back().dernier = i;
            sons.back().pic = std::max(sons.back().pic, v);
        }
    }
    return sons;
}

double dbfs(int pic) {
    return pic > 0 ? 20.0 * std::log10(pic / 32768.0) : -200.0;
}

void fft(std::vector<std::complex<double>>& x, bool inverse) {
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (std::size_t lon = 2; lon <= n; lon <<= 1) {
        const double angle = 2 * M_PI / static_cast<double>(lon) * (inverse ? 1 : -1);
        const std::complex<double> pas(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += lon) {
            std::complex<double> w(1);
            for (std::size_t k = 0; k < lon / 2; ++k) {
                const auto u = x[i + k];
                const auto v = x[i + k + lon / 2] * w;
                x[i + k] = u + v;
                x[i + k + lon / 2] = u - v;
                w *= pas;
            }
        }
    }
    if (inverse)
        for (auto& v : x)
            v /= static_cast<double>(n);
}

// Ramène la référence au taux de l'enregistrement (le serveur de son rééchantillonne aussi).
std::vector<double> reechantillonne(const std::vector<double>& x, int de, int vers) {
    if (de == vers || x.empty())
        return x;
    const auto n = static_cast<std::size_t>(std::floor((x.size() - 1) * static_cast<double>(vers) / de)) + 1;
    std::vector<double> r(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double p = static_cast<double>(i) * de / vers;
        const auto k = static_cast<std::size_t>(p);
        const double f = p - static_cast<double>(k);
        r[i] = k + 1 < x.size() ? x[k] * (1 - f) + x[k + 1] * f : x[k];
    }
    return r;
}

struct Occurrence {
    qsizetype position;
    double score;
};

// Corrélation par blocs (recouvrement-sauvegarde) pour tenir en mémoire sur de longs fichiers.
std::vector<Occurrence> correle(const std::vector<double>& x, const std::vector<double>& ref,
                                double scoreMin) {
    std::vector<Occurrence> occ;
    const std::size_t m = ref.size();
    if (m == 0 || x.size() < m)
        return occ;
    double energieRef = 0;
    for (double v : ref)
        energieRef += v * v;
    if (energieRef <= 0)
        return occ;
    std::vector<double> cumul(x.size() + 1, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        cumul[i + 1] = cumul[i] + x[i] * x[i];

    std::size_t n = 1;
    while (n < 4 * m || n < 65536)
        n <<= 1;
    std::vector<std::complex<double>> spectreRef(n);
    for (std::size_t i = 0; i < m; ++i)
        spectreRef[i] = ref[i];
    fft(spectreRef, false);
    for (auto& v : spectreRef)
        v = std::conj(v);

    const std::size_t dernierDecalage = x.size() - m;
    const std::size_t utiles = n - m + 1;
    std::vector<std::complex<double>> bloc(n);
    for (std::size_t debut = 0; debut <= dernierDecalage; debut += utiles) {
        for (std::size_t i = 0; i < n; ++i)
            bloc[i] = debut + i < x.size() ? x[debut + i] : 0.0;
        fft(bloc, false);
        for (std::size_t i = 0; i < n; ++i)
            bloc[i] *= spectreRef[i];
        fft(bloc, true);
        for (std::size_t l = 0; l < utiles && debut + l <= dernierDecalage; ++l) {
            const std::size_t d = debut + l;
            const double energie = cumul[d + m] - cumul[d];
            if (energie <= energieRef * 1e-6)
                continue;
            const double score = bloc[l].real() / std::sqrt(energie * energieRef);
            if (score < scoreMin)
                continue;
            // Un seul point par occurrence : le meilleur à moins d'une demi-référence.
            if (!occ.empty() && d - static_cast<std::size_t>(occ.back().position) < m / 2) {
                if (score > occ.back().score)
                    occ.back() = {static_cast<qsizetype>(d), score};
            } else
                occ.push_back({static_cast<qsizetype>(d), score});
        }
    }
    return occ;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Débuts, fins et pics des sons d'un WAV PCM 16 bits."));
    p.addHelpOption();
    const QCommandLineOption oSeuil(QStringLiteral("seuil"),
                                    QStringLiteral("Seuil : dBFS si <= 0, fraction si entre 0 et 1 (-40)."),
                                    QStringLiteral("S"), QStringLiteral("-40"));
    const QCommandLineOption oSilence(QStringLiteral("silence"),
                                      QStringLiteral("Silence minimal entre deux sons, en ms (80)."),
                                      QStringLiteral("MS"), QStringLiteral("80"));
    const QCommandLineOption oDureeMin(QStringLiteral("duree-min"),
                                       QStringLiteral("Sons plus courts ignorés, en ms (0)."),
                                       QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption oDebuts(QStringLiteral("debuts"), QStringLiteral("N'écrire que les débuts."));
    const QCommandLineOption oDuree(QStringLiteral("duree"), QStringLiteral("N'écrire que la durée totale."));
    const QCommandLineOption oCorrele(QStringLiteral("correle"),
                                      QStringLiteral("Chercher où se trouve ce son de référence."),
                                      QStringLiteral("ref.wav"));
    const QCommandLineOption oScoreMin(
        QStringLiteral("score-min"), QStringLiteral("Score minimal d'une occurrence de la référence (0.8)."),
        QStringLiteral("X"), QStringLiteral("0.8"));
    p.addOptions({oSeuil, oSilence, oDureeMin, oDebuts, oDuree, oCorrele, oScoreMin});
    p.addPositionalArgument(QStringLiteral("fichier.wav"), QStringLiteral("L'enregistrement."));
    p.process(app);
    if (p.positionalArguments().size() != 1)
        echec(QStringLiteral("un seul fichier WAV attendu"));

    const Audio a = litWav(p.positionalArguments().constFirst());
    if (p.isSet(oDuree)) {
        std::printf("%.3f\n", static_cast<double>(a.trames()) / a.taux);
        return 0;
    }
    if (p.isSet(oCorrele)) {
        const Audio r = litWav(p.value(oCorrele));
        bool ok = false;
        const double scoreMin = p.value(oScoreMin).toDouble(&ok);
        if (!ok)
            echec(QStringLiteral("--score-min : nombre attendu"));
        const auto ref = reechantillonne(mono(r), r.taux, a.taux);
        for (const auto& o : correle(mono(a), ref, scoreMin))
            std::printf("%.3f %.3f\n", static_cast<double>(o.position) / a.taux, o.score);
        return 0;
    }

    bool ok = false;
    const double s = p.value(oSeuil).toDouble(&ok);
    if (!ok || s > 1)
        echec(QStringLiteral("--seuil : dBFS (<= 0) ou fraction (0 à 1) attendu"));
    const double fraction = s <= 0 ? std::pow(10.0, s / 20.0) : s;
    const int seuil = std::max(1, static_cast<int>(std::lround(fraction * 32768.0)));
    const double silenceMs = p.value(oSilence).toDouble(&ok);
    if (!ok || silenceMs < 0)
        echec(QStringLiteral("--silence : durée en ms attendue"));
    const double dureeMinMs = p.value(oDureeMin).toDouble(&ok);
    if (!ok || dureeMinMs < 0)
        echec(QStringLiteral("--duree-min : durée en ms attendue"));

    const auto silence = static_cast<qsizetype>(std::lround(silenceMs * a.taux / 1000.0));
    for (const Son& son : trouveSons(amplitudes(a), seuil, silence)) {
        const double debut = static_cast<double>(son.debut) / a.taux;
        const double fin = static_cast<double>(son.dernier + 1) / a.taux;
        if ((fin - debut) * 1000.0 < dureeMinMs)
            continue;
        if (p.isSet(oDebuts))
            std::printf("%.3f\n", debut);
        else
            std::printf("%.3f %.3f %.1f\n", debut, fin, dbfs(son.pic));
    }
    return 0;
}
