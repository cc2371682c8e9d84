#!/usr/bin/env bash
# Construit le programme et ses tests dans build/ ; le dossier du programme est build/ChronoVocalis.
# Avec des cibles en arguments (« chronovocalis » : le programme et son module de son), seulement
# celles-là et ce dont elles dépendent.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
if (($#)); then
    cmake --build "$racine/build" --parallel --target "$@"
else
    cmake --build "$racine/build" --parallel
fi
