#include "desktop/lecture_image.h"

#include <QImageReader>

namespace {

bool tailleRaisonnable(const QSize& taille) {
    return taille.width() > 0 && taille.height() > 0 &&
           qint64(taille.width()) * qint64(taille.height()) <= PixelsMaxImage;
}

} // namespace

std::optional<QImage> LitImage(const QString& chemin) {
    if (chemin.isEmpty())
        return std::nullopt;
    QImageReader lecteur(chemin);
    lecteur.setDecideFormatFromContent(true);
    if (!lecteur.canRead())
        return std::nullopt;
    // La taille se lit dans l'en-tête, avant toute allocation.
    const QSize annoncee = lecteur.size();
    if (annoncee.isValid() && !tailleRaisonnable(annoncee))
        return std::nullopt;
    QImage image;
    if (!lecteur.read(&image) || image.isNull() || !tailleRaisonnable(image.size()))
        return std::nullopt;
    return image;
}
