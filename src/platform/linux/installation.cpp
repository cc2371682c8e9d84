#include "platform/installation.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Liens symboliques résolus quand le chemin existe (/lib vers /usr/lib, par exemple).
QString normalise(const QString& dossier) {
    const QString canonique = QFileInfo(dossier).canonicalFilePath();
    return canonique.isEmpty() ? QDir::cleanPath(dossier) : canonique;
}

} // namespace

std::optional<Installation> Installation::prevue() {
#ifdef CV_INSTALLATION_BIBLIOTHEQUE
    return Installation{QStringLiteral(CV_INSTALLATION_BIBLIOTHEQUE), QStringLiteral(CV_INSTALLATION_PARTAGE),
                        QStringLiteral(CV_INSTALLATION_LANCEUR), QStringLiteral(CV_INSTALLATION_IDENTIFIANT),
                        QStringLiteral(CV_INSTALLATION_APPLICATIONS)};
#else
    return std::nullopt;
#endif
}

std::optional<Installation> Installation::pour(const QString& dossierExecutable,
                                               const std::optional<Installation>& prevue) {
    if (!prevue || dossierExecutable.isEmpty() || prevue->bibliotheque.isEmpty())
        return std::nullopt;
    if (normalise(dossierExecutable) != normalise(prevue->bibliotheque))
        return std::nullopt;
    return prevue;
}
