// Lancement du programme d'une alarme : le chemin est le programme lui-même, exécuté sans
// interpréteur de commandes, sans découpage ni lecture des guillemets, « $ », « ; » ou « ` ».
#include "platform/linux/bureau_linux.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Les textes du système sont souvent en anglais (locale C) : les cas courants en français.
QString descriptionErreur(int numero) {
    switch (numero) {
    case ENOENT:
        return QStringLiteral("Fichier introuvable");
    case EACCES:
        return QStringLiteral("Permission refusée");
    case ENOEXEC:
        return QStringLiteral("Format de fichier exécutable non reconnu");
    case ENOTDIR:
        return QStringLiteral("Un élément du chemin n'est pas un dossier");
    case ELOOP:
        return QStringLiteral("Trop de niveaux de liens symboliques");
    case ENAMETOOLONG:
        return QStringLiteral("Nom de fichier trop long");
    case ETXTBSY:
        return QStringLiteral("Fichier exécutable en cours d'écriture");
    case ENOMEM:
        return QStringLiteral("Mémoire insuffisante");
    case EAGAIN:
        return QStringLiteral("Ressource temporairement indisponible");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Trop de fichiers ouverts");
    case EPERM:
        return QStringLiteral("Opération non permise");
    case EIO:
        return QStringLiteral("Erreur d'entrée-sortie");
    case ELIBBAD:
        return QStringLiteral("Bibliothèque partagée endommagée");
    default:
        return QString::fromLocal8Bit(std::strerror(numero));
    }
}

void ecritNumero(int tube, int numero) {
    // Rien d'autre à faire si l'écriture échoue : le parent verra alors un succès.
    [[maybe_unused]] const ssize_t n = write(tube, &numero, sizeof numero);
}

// Double fork : le programme lancé est adopté par init et ne reste jamais zombie chez nous.
// Un tube fermé à l'exec rapporte l'errno exact de chdir ou d'execve, sans course entre un
// test préalable et le lancement. Entre fork et exec, seuls des appels sûrs après fork.
int demarreDetache(const QByteArray& programme, const QByteArray& dossier) {
    char* const arguments[] = {const_cast<char*>(programme.constData()), nullptr};
    int tube[2];
    if (pipe2(tube, O_CLOEXEC) != 0)
        return errno;
    const pid_t intermediaire = fork();
    if (intermediaire < 0) {
        const int e = errno;
        close(tube[0]);
        close(tube[1]);
        return e;
    }
    if (intermediaire == 0) {
        setsid();
        const pid_t lance = fork();
        if (lance < 0)
            ecritNumero(tube[1], errno);
        if (lance == 0) {
            // Signaux remis à zéro : SIGXFSZ ignoré ici ne doit pas l'être là-bas.
            struct sigaction defaut {};
            defaut.sa_handler = SIG_DFL;
            for (int s = 1; s < NSIG; ++s)
                sigaction(s, &defaut, nullptr);
            sigset_t aucun;
            sigemptyset(&aucun);
            sigprocmask(SIG_SETMASK, &aucun, nullptr);
            if (chdir(dossier.constData()) == 0)
                execve(programme.constData(), arguments, environ);
            ecritNumero(tube[1], errno);
            _exit(127);
        }
        _exit(0);
    }
    close(tube[1]);
    while (waitpid(intermediaire, nullptr, 0) < 0 && errno == EINTR) {
    }
    int numero = 0;
    ssize_t lu;
    do
        lu = read(tube[0], &numero, sizeof numero);
    while (lu < 0 && errno == EINTR);
    close(tube[0]);
    return lu == ssize_t(sizeof numero) ? numero : 0;
}

} // namespace

IssueSysteme BureauLinux::lance(const QString& chemin) {
    int numero = ENOENT;
    if (!chemin.isEmpty() && !chemin.contains(QChar(0))) {
        // Un chemin relatif part du dossier courant ; un nom seul, absent de ce dossier, se cherche
        // dans PATH, comme Windows le fait. Le programme tourne dans son propre dossier.
        QString absolu = chemin.startsWith(u'/') ? chemin : QDir::current().absoluteFilePath(chemin);
        if (!chemin.contains(u'/') && !QFileInfo::exists(absolu)) {
            const QString trouve = QStandardPaths::findExecutable(chemin);
            if (!trouve.isEmpty())
                absolu = trouve;
        }
        const qsizetype barre = absolu.lastIndexOf(u'/');
        const QString dossier = barre > 0 ? absolu.left(barre) : QStringLiteral("/");
        numero = demarreDetache(QFile::encodeName(absolu), QFile::encodeName(dossier));
    }
    if (numero == 0)
        return IssueSysteme::reussite();
    return IssueSysteme::echec(
        ErreurSysteme{numero, QStringLiteral("Chrono Vocalis 95"), descriptionErreur(numero)});
}
