#include "settings/fichier_texte.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

LectureFichier litFichierTexte(const QString& chemin) {
    LectureFichier resultat;
    QFile fichier(chemin);
    if (!fichier.exists()) {
        resultat.erreur = QStringLiteral("fichier introuvable");
        return resultat;
    }
    if (!fichier.open(QIODevice::ReadOnly)) {
        resultat.erreur = fichier.errorString();
        return resultat;
    }
    const QByteArray octets = fichier.readAll();
    if (fichier.error() != QFileDevice::NoError) {
        resultat.erreur = fichier.errorString();
        return resultat;
    }
    resultat.contenu = decode(octets);
    if (!resultat.contenu.reconnu) {
        resultat.erreur = resultat.contenu.raison;
        return resultat;
    }
    resultat.lu = true;
    return resultat;
}

std::optional<QString> ecritFichierTexte(const QString& chemin, const QString& texte, Codage& codage) {
    // Le renommage passerait outre : un fichier mis en lecture seule doit le rester, même pour
    // root, que les droits n'arrêtent pas (d'où le regard sur les bits eux-mêmes).
    const QFileInfo info(chemin);
    const auto ecriture = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & ecriture)))
        return QStringLiteral("le fichier est en lecture seule");
    const QByteArray octets = encode(texte, codage);
    // Sans tampon : avec le tampon, une écriture partielle (disque plein) ne se voyait qu'au
    // vidage dans commit(), qui remplaçait quand même l'ancien fichier par un texte tronqué.
    // Une écriture partielle est reprise ; la suivante donne la raison de l'échec.
    QSaveFile fichier(chemin);
    if (!fichier.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fichier.errorString();
    for (qint64 ecrits = 0; ecrits < octets.size();) {
        const qint64 n = fichier.write(octets.constData() + ecrits, octets.size() - ecrits);
        if (n <= 0) {
            const QString raison = fichier.errorString();
            fichier.cancelWriting();
            return raison;
        }
        ecrits += n;
    }
    if (!fichier.commit())
        return fichier.errorString();
    return std::nullopt;
}
