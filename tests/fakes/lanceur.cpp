#include "fakes/lanceur.h"

#include <QFile>
#include <QProcess>

QByteArray litFichier(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

QString valide(const QString& chemin) {
    QProcess p;
    p.start(QStringLiteral("desktop-file-validate"), {chemin});
    if (!p.waitForFinished(20000))
        return QStringLiteral("desktop-file-validate ne répond pas");
    const QString sortie = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
    const bool erreur = p.exitCode() != 0 || sortie.contains(QStringLiteral("error")) ||
                        sortie.contains(QStringLiteral("warning"));
    return erreur ? QStringLiteral("code %1 : %2").arg(p.exitCode()).arg(sortie) : QString();
}
