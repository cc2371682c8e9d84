#!/usr/bin/env bash
# Installe ce qui manque, construit, puis passe toute la suite de tests.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
bash "$racine/outils/installe.sh" tests
bash "$racine/outils/construit.sh"
cd "$racine/build"
ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@"
