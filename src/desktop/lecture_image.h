#pragma once

#include <QImage>
#include <QString>
#include <optional>

// Au-delà, l'image demanderait plus de 128 Mo une fois décodée (4 octets par point) : un en-tête
// forgé ou une image sans commune mesure avec le fond d'une petite horloge.
inline constexpr qint64 PixelsMaxImage = qint64(32) * 1024 * 1024;

// Lit une image de n'importe quel format connu de Qt, d'après son contenu ; rien si le fichier
// ne se lit pas comme une image ou si sa taille annoncée dépasse la limite (jamais décodée alors).
std::optional<QImage> LitImage(const QString& chemin);
