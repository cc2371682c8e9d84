// Écrit en WAV le PCM s16le brut lu sur l'entrée standard (la sortie de parec)
// et date chaque bloc reçu, pour relier une position du fichier à l'heure réelle.
//
//   parec --raw ... | enregistreur [--taux N] [--canaux N] sortie.wav origine.txt
//
// Origine : un bloc qui arrive à l'instant t et porte l'échantillon n-1 a été
// mixé par le serveur au plus tard à t ; donc origine <= t - n/taux pour chaque
// bloc. Le minimum de ces valeurs sur tout l'enregistrement ne dépend que du
// plus petit retard de transport observé (quelques ms avec --latency-msec=10),
// pas du temps de lancement de parec ni des retards ponctuels du processus.
// « origine » est donc l'heure réelle où l'échantillon 0 est passé dans le mixeur.
// L'évier nul de PulseAudio livre plus de trames que l'heure réelle n'en compte (mesuré : 0,2 ms
// d'avance par seconde sans son, 0,45 avec des sons ; son horloge avance sans doute d'un nombre
// entier de µs par bloc) : le minimum global date mal la fin d'un long enregistrement. Chaque
// bloc est donc aussi noté dans origine.txt.blocs (« fin estimation ») : le minimum autour
// d'une position la date sans cette dérive.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

volatile std::sig_atomic_t arret = 0;

void surSignal(int) {
    arret = 1;
}

double maintenant() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void mot32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void mot16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void ecritEntete(std::FILE* f, std::uint32_t taux, std::uint16_t canaux, std::uint64_t octets) {
    const auto donnees = static_cast<std::uint32_t>(std::min<std::uint64_t>(octets, 0xFFFFFFFFu - 36));
    unsigned char e[44];
    std::copy_n("RIFF", 4, e);
    mot32(e + 4, 36 + donnees);
    std::copy_n("WAVEfmt ", 8, e + 8);
    mot32(e + 16, 16);
    mot16(e + 20, 1);
    mot16(e + 22, canaux);
    mot32(e + 24, taux);
    mot32(e + 28, taux * canaux * 2u);
    mot16(e + 32, static_cast<std::uint16_t>(canaux * 2));
    mot16(e + 34, 16);
    std::copy_n("data", 4, e + 36);
    mot32(e + 40, donnees);
    const long ici = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    std::fwrite(e, 1, sizeof e, f);
    std::fseek(f, ici < 44 ? 44 : ici, SEEK_SET);
    std::fflush(f);
}

// Écrit d'abord à côté puis renomme : un lecteur ne voit jamais un fichier à moitié écrit.
void ecritOrigine(const std::string& chemin, double origine, double premier, std::uint64_t trames,
                  std::uint32_t taux, std::vector<double> estimations) {
    // Retard médian des blocs sur l'origine : dit si la machine a suivi le flux.
    double mediane = 0;
    if (!estimations.empty()) {
        auto milieu = estimations.begin() + static_cast<long>(estimations.size() / 2);
        std::nth_element(estimations.begin(), milieu, estimations.end());
        mediane = *milieu - origine;
    }
    const std::string temp = chemin + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "w");
    if (!f)
        return;
    std::fprintf(f, "origine=%.6f\n", origine);
    std::fprintf(f, "premier_bloc=%.6f\n", premier);
    std::fprintf(f, "trames=%llu\n", static_cast<unsigned long long>(trames));
    std::fprintf(f, "taux=%u\n", taux);
    std::fprintf(f, "duree=%.6f\n", static_cast<double>(trames) / taux);
    std::fprintf(f, "blocs=%zu\n", estimations.size());
    std::fprintf(f, "retard_median_ms=%.1f\n", mediane * 1000.0);
    std::fclose(f);
    std::rename(temp.c_str(), chemin.c_str());
}

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage : enregistreur [--taux N] [--canaux N] sortie.wav origine.txt\n");
    std::exit(2);
}

} // namespace

int main(int argc, char** argv) {
    std::uint32_t taux = 44100;
    std::uint16_t canaux = 1;
    std::vector<std::string> fichiers;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--taux" && i + 1 < argc)
            taux = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--canaux" && i + 1 < argc)
            canaux = static_cast<std::uint16_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (!a.empty() && a[0] == '-')
            usage();
        else
            fichiers.push_back(a);
    }
    if (fichiers.size() != 2 || taux == 0 || canaux == 0)
        usage();

    std::FILE* sortie = std::fopen(fichiers[0].c_str(), "wb");
    if (!sortie) {
        std::fprintf(stderr, "enregistreur : impossible d'écrire %s\n", fichiers[0].c_str());
        return 1;
    }
    ecritEntete(sortie, taux, canaux, 0);

    // Sans SA_RESTART : un signal interrompt read() et l'en-tête est finalisé.
    struct sigaction sa {};
    sa.sa_handler = surSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const std::uint32_t octetsTrame = 2u * canaux;
    std::vector<char> tampon(1 << 16);
    std::uint64_t octets = 0;
    double origine = 0;
    double premier = 0;
    std::vector<double> estimations;
    std::vector<double> fins;
    double derniereMaj = 0;
    while (!arret) {
        const ssize_t lu = read(STDIN_FILENO, tampon.data(), tampon.size());
        if (lu < 0 && errno == EINTR)
            continue;
        if (lu <= 0)
            break;
        const double t = maintenant();
        std::fwrite(tampon.data(), 1, static_cast<std::size_t>(lu), sortie);
        octets += static_cast<std::uint64_t>(lu);
        // Les trames entières seules : une trame entamée n'a pas encore de durée.
        const std::uint64_t trames = octets / octetsTrame;
        const double fin = static_cast<double>(trames) / taux;
        const double estimation = t - fin;
        if (estimations.empty()) {
            premier = t;
            origine = estimation;
        }
        origine = std::min(origine, estimation);
        estimations.push_back(estimation);
        fins.push_back(fin);
        // La première mise à jour, immédiate, dit au script que l'enregistrement a commencé.
        if (estimations.size() == 1 || t - derniereMaj >= 0.5) {
            ecritEntete(sortie, taux, canaux, octets);
            ecritOrigine(fichiers[1], origine, premier, octets / octetsTrame, taux, estimations);
            derniereMaj = t;
        }
    }
    // Une trame incomplète en fin de flux n'appartient à aucun échantillon.
    const std::uint64_t utiles = octets - octets % octetsTrame;
    if (utiles != octets) {
        std::fflush(sortie);
        if (ftruncate(fileno(sortie), static_cast<off_t>(44 + utiles)) != 0)
            std::fprintf(stderr, "enregistreur : troncature impossible\n");
        std::fseek(sortie, static_cast<long>(44 + utiles), SEEK_SET);
    }
    ecritEntete(sortie, taux, canaux, utiles);
    std::fclose(sortie);
    if (!estimations.empty())
        ecritOrigine(fichiers[1], origine, premier, utiles / octetsTrame, taux, estimations);
    if (std::FILE* b = std::fopen((fichiers[1] + ".blocs").c_str(), "w")) {
        for (std::size_t i = 0; i < estimations.size(); ++i)
            std::fprintf(b, "%.6f %.6f\n", fins[i], estimations[i]);
        std::fclose(b);
    }
    return estimations.empty() ? 1 : 0;
}
