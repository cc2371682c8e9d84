#include "platform/bureau_linux.h"

std::optional<ErreurSysteme> BureauLinux::lance(const QString&) {
    return ErreurSysteme{53, QStringLiteral("Chrono Vocalis 95"), QStringLiteral("Fichier introuvable")};
}
