#include "fakes/essai.h"

#include <QFile>
#include <QRegularExpression>

DossierEssai::DossierEssai() : ancien_(QDir::currentPath()) {
    const QString defauts = QStringLiteral(CV_SOURCE_DIR "/resources/defaults/");
    for (const QString& nom : QDir(defauts).entryList(QDir::Files))
        QFile::copy(defauts + nom, chemin(nom));
    QFile::copy(QStringLiteral(CV_SOURCE_DIR "/resources/images/fond.bmp"),
                chemin(QStringLiteral("fond.bmp")));
    for (const QString& nom : QDir(dossier_.path()).entryList(QDir::Files))
        QFile(chemin(nom)).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QDir::setCurrent(dossier_.path());
}

DossierEssai::~DossierEssai() {
    QDir::setCurrent(ancien_);
}

QString DossierEssai::chemin(const QString& nom) const {
    return nom.isEmpty() ? dossier_.path() : dossier_.path() + QLatin1Char('/') + nom;
}

QByteArray DossierEssai::lit(const QString& nom) const {
    QFile f(chemin(nom));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void DossierEssai::ecrit(const QString& nom, const QByteArray& octets) const {
    QFile f(chemin(nom));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(octets);
}

void DossierEssai::regle(const QString& cle, const QString& valeur) const {
    QString texte = QString::fromUtf8(lit(QStringLiteral("CV32.ini")));
    const QRegularExpression ligne(
        QStringLiteral("(?m)^%1 =[^\\r\\n]*").arg(QRegularExpression::escape(cle)));
    texte.replace(ligne, cle + QStringLiteral(" = ") + valeur);
    ecrit(QStringLiteral("CV32.ini"), texte.toUtf8());
}
