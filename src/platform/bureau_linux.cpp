#include "platform/bureau_linux.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

QString BureauLinux::dossierSpecial(int) {
    return {};
}

void BureauLinux::ajouteDocumentRecent(const QString&) {}

std::optional<QString> BureauLinux::dossierDemarrage() {
    return std::nullopt;
}

bool BureauLinux::fichierExiste(const QString& chemin) {
    return QFileInfo(chemin).isFile();
}

std::optional<QString> BureauLinux::copie(const QString& source, const QString& destination) {
    QFile::remove(destination);
    QFile f(source);
    if (!f.copy(destination))
        return f.errorString();
    return std::nullopt;
}

std::optional<QString> BureauLinux::supprime(const QString& chemin) {
    QFile f(chemin);
    if (!f.remove())
        return f.errorString();
    return std::nullopt;
}

QString BureauLinux::dossierProgramme() {
    return QCoreApplication::applicationDirPath();
}

QString BureauLinux::cheminProgramme() {
    return QCoreApplication::applicationFilePath();
}
