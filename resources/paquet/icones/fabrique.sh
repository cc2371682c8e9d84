#!/usr/bin/env bash
# Fabrique les icônes du thème hicolor à partir de l'icône vectorielle : N.png, N × N pixels.
# Les PNG sont versionnés : ce script se lance à la main après un changement du dessin, la
# construction n'en a pas besoin. Demande rsvg-convert (paquet librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert (librsvg2-bin) introuvable" >&2; exit 1; }
for taille in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$taille" -h "$taille" fr.chronovocalis.ChronoVocalis.svg -o "$taille.png"
done
