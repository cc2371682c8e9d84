// Temps de démarrage : de l'exec d'un programme à la première de ses fenêtres posée à l'écran,
// puis à son premier dessin.
//
//   bench_premiere_fenetre [--dossier D] [--delai S] [--image F.ppm] -- programme [args…]
//
// Sans gestionnaire de fenêtres, une fenêtre de premier niveau est une fille de la racine : on
// écoute les CreateNotify et MapNotify de la racine (SubstructureNotifyMask) avant de lancer le
// programme, ce qui ne laisse échapper aucune pose, et on ne retient que les fenêtres ordinaires
// (pas de menus ni de bulles) dont _NET_WM_PID est celui du programme. Chaque fenêtre créée est
// suivie par l'extension DAMAGE dès sa création : le premier dommage de la fenêtre posée est son
// premier dessin (Qt crée ses fenêtres sans fond, le serveur n'y peint rien lui-même).
//
// Avec --image, ce premier dessin est relu aussitôt dans F (PPM) : de quoi comparer, pixel à
// pixel, la première image de deux versions du programme.
//
// Imprime « pid N » dès le lancement, « fenetre MS 0xID titre » à la pose, puis « dessin MS » et
// « processeur MS » : le temps processeur du programme (tous ses fils) à la pose, que la charge
// de la machine allonge bien moins que le temps écoulé ;
// reste ensuite en vie jusqu'à la fin du programme (qu'on arrête par son PID) et rend son code
// de sortie. Échec (code 2) si la fenêtre n'est pas posée et dessinée avant le délai : le
// programme est alors arrêté.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <map>
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

// La fenêtre telle qu'elle est à l'écran, en PPM binaire.
bool ecritImage(Display* d, Window w, const char* fichier) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, w, &a))
        return false;
    XImage* image = XGetImage(d, w, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    FILE* f = std::fopen(fichier, "wb");
    if (f) {
        std::fprintf(f, "P6\n%d %d\n255\n", a.width, a.height);
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                const unsigned char rvb[3] = {static_cast<unsigned char>((p & image->red_mask) >> 16),
                                              static_cast<unsigned char>((p & image->green_mask) >> 8),
                                              static_cast<unsigned char>(p & image->blue_mask)};
                std::fwrite(rvb, 1, 3, f);
            }
        std::fclose(f);
    }
    XDestroyImage(image);
    return f != nullptr;
}

// Temps processeur d'un processus, somme de ses fils (/proc/PID/task/*/schedstat), en ms.
double processeur(pid_t pid) {
    const std::string dossier = "/proc/" + std::to_string(pid) + "/task";
    DIR* taches = opendir(dossier.c_str());
    if (!taches)
        return -1;
    double ns = 0;
    while (const dirent* t = readdir(taches)) {
        if (t->d_name[0] == '.')
            continue;
        if (FILE* f = std::fopen((dossier + "/" + t->d_name + "/schedstat").c_str(), "r")) {
            unsigned long long n = 0;
            if (std::fscanf(f, "%llu", &n) == 1)
                ns += double(n);
            std::fclose(f);
        }
    }
    closedir(taches);
    return ns / 1e6;
}

// Une fenêtre détruite entre sa pose et nos questions (ou une fenêtre d'entrée seule, sans
// dommage possible) ne doit pas arrêter la mesure.
int ignoreErreur(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const char* dossier = nullptr;
    const char* fichierImage = nullptr;
    double delai = 20;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (!std::strcmp(argv[i], "--dossier") && i + 1 < argc)
            dossier = argv[++i];
        else if (!std::strcmp(argv[i], "--delai") && i + 1 < argc)
            delai = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--image") && i + 1 < argc)
            fichierImage = argv[++i];
    }
    if (i + 1 >= argc) {
        std::fprintf(stderr, "usage : %s [--dossier D] [--delai S] [--image F.ppm] -- programme [args…]\n",
                     argv[0]);
        return 64;
    }
    char** commande = argv + i + 1;

    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "pas d'écran (DISPLAY)\n");
        return 2;
    }
    int evenementDommage = 0, erreurDommage = 0;
    if (!XDamageQueryExtension(d, &evenementDommage, &erreurDommage)) {
        std::fprintf(stderr, "extension DAMAGE absente\n");
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

    // Les fenêtres suivies depuis leur création, et leur premier dommage (instant, 0 sinon).
    std::map<Window, double> premierDommage;
    double tempsProcesseur = -1;
    Window posee = None;
    bool dessinee = false;
    pollfd attente{ConnectionNumber(d), POLLIN, 0};
    while (!dessinee) {
        while (!dessinee && XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            const double t1 = monotone();
            if (e.type == evenementDommage + XDamageNotify) {
                const auto* dommage = reinterpret_cast<XDamageNotifyEvent*>(&e);
                auto f = premierDommage.find(dommage->drawable);
                if (f != premierDommage.end() && f->second == 0)
                    f->second = t1;
                dessinee = posee != None && premierDommage[posee] != 0;
                continue;
            }
            if (e.type == CreateNotify && e.xcreatewindow.parent == racine &&
                !e.xcreatewindow.override_redirect) {
                XDamageCreate(d, e.xcreatewindow.window, XDamageReportNonEmpty);
                premierDommage.emplace(e.xcreatewindow.window, 0);
                continue;
            }
            if (posee != None || e.type != MapNotify || e.xmap.event != racine || e.xmap.override_redirect)
                continue;
            if (pidFenetre(d, e.xmap.window) != long(pid))
                continue;
            posee = e.xmap.window;
            tempsProcesseur = processeur(pid);
            std::printf("fenetre %.2f 0x%lx %s\n", (t1 - t0) * 1e3, posee, titre(d, posee).c_str());
            std::fflush(stdout);
            // Créée avant qu'on l'écoute (impossible d'ordinaire) : suivie dès maintenant.
            if (premierDommage.emplace(posee, 0).second)
                XDamageCreate(d, posee, XDamageReportNonEmpty);
            dessinee = premierDommage[posee] != 0;
        }
        if (dessinee) {
            if (fichierImage && !ecritImage(d, posee, fichierImage))
                std::fprintf(stderr, "image illisible\n");
            break;
        }
        const int reste = int((t0 + delai - monotone()) * 1000);
        int statut = 0;
        if (reste <= 0 || waitpid(pid, &statut, WNOHANG) == pid) {
            std::printf(posee == None ? "fenetre absente\n" : "dessin absent\n");
            std::fflush(stdout);
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            return 2;
        }
        // Réveil au plus tard toutes les 100 ms pour voir si le programme vit encore.
        poll(&attente, 1, reste < 100 ? reste : 100);
    }
    std::printf("dessin %.2f\nprocesseur %.2f\n", (premierDommage[posee] - t0) * 1e3, tempsProcesseur);
    std::fflush(stdout);
    // Plus rien à écouter : la connexion fermée ne réveille plus personne.
    XCloseDisplay(d);
    int statut = 0;
    while (waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut);
}
