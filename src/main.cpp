#include "app/chrono.h"
#include "app/demarrage.h"
#include "app/service_dbus.h"
#include "app/signaux.h"
#include "desktop/raccourci.h"
#include "platform/linux/veille_logind.h"
#include "platform/linux/verrou_dossier.h"
#include "platform/plateforme.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QTimer>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <thread>

namespace {
constexpr int DelaiPreparationSons = 300; // ms
}

int main(int argc, char* argv[]) {
    // Un disque plein ou une limite de taille doit donner une erreur d'écriture, pas tuer.
    std::signal(SIGXFSZ, SIG_IGN);
    // Une seule horloge par dossier de réglages : la seconde ramène la fenêtre de la première et
    // s'en va sans rien écrire. Avant tout fil, qui hériterait du rappel non retenu.
    Signaux::retientRappels();
    VerrouDossier verrou;
    if (const std::optional<pid_t> autre = verrou.prend()) {
        if (*autre > 0 && ::kill(*autre, SIGUSR1) == 0)
            return 0;
        std::fputs("Une autre horloge tient les réglages de ce dossier : celle-ci ne démarre pas.\n", stderr);
        return 0;
    }
    // fontconfig lit sa configuration (quelques ms de XML) pendant que Qt se connecte à l'écran et
    // que la fenêtre se charge : l'heure ne demande sa police qu'à l'affichage, et tout est prêt
    // d'ici là (sur deux cœurs, la fenêtre paraît 9 ms plus tôt). Demandée avant la fin de ce fil,
    // la police ferait tout refaire au fil principal : fontconfig ne partage pas un chargement en
    // cours. La bibliothèque est déjà chargée par Qt ; sans elle, rien à faire.
    std::thread polices([] {
        using Init = int (*)();
        if (const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit")))
            init();
    });
    // Sans la mémoire partagée de X : pour une fenêtre si petite l'image passe aussi vite par la
    // prise, et la mémoire partagée coûte un aller-retour au serveur avant chaque dessin, deux
    // réveils de plus à chaque tic. Les programmes lancés par les alarmes n'en héritent pas.
    const bool mitShmLibre = !qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (mitShmLibre)
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication application(argc, argv);
    if (mitShmLibre)
        qunsetenv("QT_XCB_NO_MITSHM");
    QApplication::setApplicationName(QStringLiteral("Chrono Vocalis 95"));
    // Le programme parle français : les sélecteurs de Qt et les raisons des erreurs de fichier aussi.
    QTranslator traductionQt;
    if (traductionQt.load(QLocale(QLocale::French), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traductionQt);
    // La fenêtre cachée derrière son icône ne doit pas arrêter le programme.
    QApplication::setQuitOnLastWindowClosed(false);

    auto plateforme = Plateforme::systeme();
    // Avant la première fenêtre : sous Wayland, c'est son identifiant d'application ; le bureau y
    // trouve le nom et l'icône de l'entrée du menu.
    QGuiApplication::setDesktopFileName(NomEntreeMenu(plateforme->bureau()));
    Signaux signaux;
    std::unique_ptr<CHRONO> chrono;
    QObject::connect(&signaux, &Signaux::fermetureDemandee, [&chrono] {
        if (chrono)
            chrono->close();
    });
    QObject::connect(&application, &QGuiApplication::commitDataRequest, [&chrono](QSessionManager&) {
        if (chrono)
            chrono->close();
    });
    QObject::connect(&signaux, &Signaux::rappelDemande, [&chrono] {
        if (chrono)
            chrono->Rappelle();
    });
    chrono = ProcedureDemarrage(*plateforme);
    polices.join();
    if (chrono->fermee())
        return 0;
    Signaux::laisseVenirRappels();
    // Sans bus de session : l'horloge tourne sans ce service.
    (new ServiceHeure(*chrono))->enregistre(QDBusConnection::sessionBus());
    // La veille annoncée par logind ; sans bus du système, le tic la voit au temps de veille.
    auto* veille = new VeilleLogind(chrono.get());
    QObject::connect(veille, &VeilleLogind::veille, chrono.get(),
                     [&chrono](bool avant) { chrono->PrepareVeille(avant); });
    QTimer::singleShot(DelaiPreparationSons, veille,
                       [veille] { veille->ecoute(QDBusConnection::systemBus()); });
    // Les sons se chargent une fois la fenêtre dessinée, bien avant la première annonce.
    QTimer::singleShot(DelaiPreparationSons, [&plateforme] { plateforme->prepareSons(); });
    // Le « Ne pas déranger » du bureau non plus n'est lu qu'après le premier dessin.
    QTimer::singleShot(DelaiPreparationSons, chrono.get(), [&chrono] { chrono->apresPremierAffichage(); });
    return QApplication::exec();
}
