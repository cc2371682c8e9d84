// Temps de démarrage : de l'exec d'un programme à la première de ses fenêtres posée à l'écran.
//
//   bench_premiere_fenetre [--dossier D] [--delai S] -- programme [args…]
//
// Sans gestionnaire de fenêtres, une fenêtre de premier niveau est une fille de la racine : on
// écoute les MapNotify de la racine (SubstructureNotifyMask) avant de lancer le programme, ce
// qui ne laisse échapper aucune pose, et on ne retient que les fenêtres ordinaires (pas de
// menus ni de bulles) dont _NET_WM_PID est celui du programme.
//
// Imprime « pid N » dès le lancement puis « fenetre MS 0xID titre » ; reste ensuite en vie
// jusqu'à la fin du programme (qu'on arrête par son PID) et rend son code de sortie.
// Échec (code 2) si aucune fenêtre n'est posée avant le délai : le programme est alors arrêté.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double monotone() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

long pidFenetre(Display* d, Window w) {
    static const Atom atome = XInternAtom(d, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long n = 0, reste = 0;
    unsigned char* donnees = nullptr;
    long pid = -1;
    if (XGetWindowProperty(d, w, atome, 0, 1, False, XA_CARDINAL, &type, &format, &n, &reste, &donnees) ==
            Success &&
        donnees && format == 32 && n == 1)
        pid = long(*reinterpret_cast<unsigned long*>(donnees));
    if (donnees)
        XFree(donnees);
    return pid;
}

std::string titre(Display* d, Window w) {
    char* nom = nullptr;
    std::string t;
    if (XFetchName(d, w, &nom) && nom)
        t = nom;
    if (nom)
        XFree(nom);
    return t;
}

// Une fenêtre détruite entre sa pose et nos questions ne doit pas arrêter la mesure.
int ignoreErreur(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const char* dossier = nullptr;
    double delai = 20;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (!std::strcmp(argv[i], "--dossier") && i + 1 < argc)
            dossier = argv[++i];
        else if (!std::strcmp(argv[i], "--delai") && i + 1 < argc)
            delai = std::atof(argv[++i]);
    }
    if (i + 1 >= argc) {
        std::fprintf(stderr, "usage : %s [--dossier D] [--delai S] -- programme [args…]\n", argv[0]);
        return 64;
    }
    char** commande = argv + i + 1;

    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "pas d'écran (DISPLAY)\n");
        return 2;
    }
    XSetErrorHandler(ignoreErreur);
    const Window racine = DefaultRootWindow(d);
    XSelectInput(d, racine, SubstructureNotifyMask);
    XSync(d, False);

    const double t0 = monotone();
    const pid_t pid = fork();
    if (pid < 0)
        return 2;
    if (pid == 0) {
        if (dossier && chdir(dossier) != 0)
            _exit(127);
        execvp(commande[0], commande);
        _exit(127);
    }
    std::printf("pid %d\n", int(pid));
    std::fflush(stdout);

    bool trouvee = false;
    pollfd attente{ConnectionNumber(d), POLLIN, 0};
    while (!trouvee) {
        while (!trouvee && XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type != MapNotify || e.xmap.event != racine || e.xmap.override_redirect)
                continue;
            const double t1 = monotone();
            if (pidFenetre(d, e.xmap.window) != long(pid))
                continue;
            std::printf("fenetre %.2f 0x%lx %s\n", (t1 - t0) * 1e3, e.xmap.window,
                        titre(d, e.xmap.window).c_str());
            std::fflush(stdout);
            trouvee = true;
        }
        if (trouvee)
            break;
        const int reste = int((t0 + delai - monotone()) * 1000);
        int statut = 0;
        if (reste <= 0 || waitpid(pid, &statut, WNOHANG) == pid) {
            std::printf("fenetre absente\n");
            std::fflush(stdout);
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            return 2;
        }
        // Réveil au plus tard toutes les 100 ms pour voir si le programme vit encore.
        poll(&attente, 1, reste < 100 ? reste : 100);
    }
    // Plus rien à écouter : la connexion fermée ne réveille plus personne.
    XCloseDisplay(d);
    int statut = 0;
    while (waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut);
}
