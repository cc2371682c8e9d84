#include "platform/linux/verrou_dossier.h"

#include "settings/cles.h"

#include <QFile>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray nomDuProcessus(const QByteArray& pid) {
    QFile f(QByteArrayLiteral("/proc/") + pid + QByteArrayLiteral("/comm"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
}

// Le PID donné par le noyau n'est appelé que s'il est bien une horloge de ce dossier : sur un
// dossier partagé par le réseau, le tenant est d'une autre machine et ce numéro en désigne un
// autre ici, qu'un signal tuerait.
bool horlogeDeCeDossier(pid_t pid) {
    const QByteArray numero = QByteArray::number(pid);
    struct stat sien {};
    struct stat notre {};
    if (::stat(("/proc/" + numero + "/cwd").constData(), &sien) != 0 || ::stat(".", &notre) != 0)
        return false;
    if (sien.st_dev != notre.st_dev || sien.st_ino != notre.st_ino)
        return false;
    const QByteArray nom = nomDuProcessus(numero);
    return !nom.isEmpty() && nom == nomDuProcessus("self");
}

} // namespace

VerrouDossier::~VerrouDossier() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<pid_t> VerrouDossier::prend() {
    // Sans réglages, l'horloge s'arrêtera au chargement : pas de fichier semé dans un autre dossier.
    if (!QFile::exists(QString::fromUtf16(cles::fichierIni)))
        return std::nullopt;
    // Verrou POSIX : propre au processus, les programmes lancés par les alarmes n'en héritent pas,
    // et le noyau dit qui le tient.
    fd_ = ::open(nomFichier, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return std::nullopt;
    for (int essai = 0; essai < 50; ++essai) {
        struct flock verrou {};
        verrou.l_type = F_WRLCK;
        verrou.l_whence = SEEK_SET;
        if (::fcntl(fd_, F_SETLK, &verrou) == 0)
            return std::nullopt;
        if (errno != EAGAIN && errno != EACCES)
            return std::nullopt;
        if (::fcntl(fd_, F_GETLK, &verrou) != 0)
            return std::nullopt;
        // Levé entre les deux appels : l'autre vient de finir, on réessaie.
        if (verrou.l_type == F_UNLCK)
            continue;
        return horlogeDeCeDossier(verrou.l_pid) ? verrou.l_pid : 0;
    }
    return std::nullopt;
}
