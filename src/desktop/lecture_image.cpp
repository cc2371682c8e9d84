#include "desktop/lecture_image.h"

#include <QFile>
#include <QImageReader>
#include <array>

namespace {

// Les formats que Qt lit lui-même, reconnus à leur contenu sans charger aucun module d'images :
// l'image livrée (BMP) se lit au démarrage, avant que la fenêtre paraisse. Aucun des modules
// (gif, ico, jpeg…) ne reconnaît leurs en-têtes : essayés d'abord, ils ne changent pas le choix.
constexpr std::array formatsInternes{"png", "bmp", "ppm", "xpm", "xbm"};

bool tailleRaisonnable(const QSize& taille) {
    return taille.width() > 0 && taille.height() > 0 &&
           qint64(taille.width()) * qint64(taille.height()) <= PixelsMaxImage;
}

std::optional<QImage> lis(QImageReader& lecteur) {
    // La taille se lit dans l'en-tête, avant toute allocation.
    const QSize annoncee = lecteur.size();
    if (annoncee.isValid() && !tailleRaisonnable(annoncee))
        return std::nullopt;
    QImage image;
    if (!lecteur.read(&image) || image.isNull() || !tailleRaisonnable(image.size()))
        return std::nullopt;
    return image;
}

} // namespace

std::optional<QImage> LitImage(const QString& chemin) {
    if (chemin.isEmpty())
        return std::nullopt;
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const char* format : formatsInternes) {
        QImageReader lecteur(&fichier, format);
        lecteur.setAutoDetectImageFormat(false);
        if (lecteur.canRead())
            return lis(lecteur);
    }
    QImageReader lecteur(&fichier);
    lecteur.setDecideFormatFromContent(true);
    if (!lecteur.canRead())
        return std::nullopt;
    return lis(lecteur);
}
