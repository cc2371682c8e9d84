#include "app/chrono.h"
#include "app/demarrage.h"
#include "app/signaux.h"
#include "platform/plateforme.h"

#include <QApplication>
#include <QSessionManager>
#include <csignal>

int main(int argc, char* argv[]) {
    // Un disque plein ou une limite de taille doit donner une erreur d'écriture, pas tuer.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chrono Vocalis 95"));
    // La fenêtre cachée derrière son icône ne doit pas arrêter le programme.
    QApplication::setQuitOnLastWindowClosed(false);

    auto plateforme = Plateforme::systeme();
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
    chrono = ProcedureDemarrage(*plateforme);
    if (chrono->fermee())
        return 0;
    return QApplication::exec();
}
