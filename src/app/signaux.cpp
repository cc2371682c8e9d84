#include "app/signaux.h"

#include <QSocketNotifier>
#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int tube[2] = {-1, -1};

extern "C" void surSignal(int numero) {
    const char octet = char(numero);
    // write est sûr dans un gestionnaire de signal ; le reste se fait dans la boucle d'événements.
    [[maybe_unused]] const auto n = ::write(tube[0], &octet, 1);
}

} // namespace

Signaux::Signaux(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, tube) != 0)
        return;
    notificateur_ = new QSocketNotifier(tube[1], QSocketNotifier::Read, this);
    QObject::connect(notificateur_, &QSocketNotifier::activated, this, [this] {
        char octet = 0;
        [[maybe_unused]] const auto n = ::read(tube[1], &octet, 1);
        if (octet == char(SIGUSR1))
            Q_EMIT rappelDemande();
        else
            Q_EMIT fermetureDemandee();
    });
    struct sigaction action = {};
    action.sa_handler = surSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGINT, SIGHUP, SIGUSR1})
        ::sigaction(s, &action, nullptr);
}

Signaux::~Signaux() {
    for (const int s : {SIGTERM, SIGINT, SIGHUP})
        std::signal(s, SIG_DFL);
    // Un rappel tardif ne doit pas tuer le programme qui finit.
    std::signal(SIGUSR1, SIG_IGN);
}

void Signaux::retientRappels() {
    sigset_t rappel;
    sigemptyset(&rappel);
    sigaddset(&rappel, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &rappel, nullptr);
}

void Signaux::laisseVenirRappels() {
    sigset_t rappel;
    sigemptyset(&rappel);
    sigaddset(&rappel, SIGUSR1);
    pthread_sigmask(SIG_UNBLOCK, &rappel, nullptr);
}
