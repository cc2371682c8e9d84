#include "platform/images_internes.h"

#include <QImageReader>

QPixmap pixmapInterne(const QString& nom) {
    QImageReader lecteur(QStringLiteral(":/images/") + nom, nom.section(u'.', -1).toLatin1());
    lecteur.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(lecteur.read());
}

QIcon iconeInterne(const QString& nom) {
    return QIcon(pixmapInterne(nom));
}
