#!/usr/bin/env bash
# Construit le programme et ses tests dans build/ ; le dossier du programme est build/ChronoVocalis.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$racine/build" --parallel
