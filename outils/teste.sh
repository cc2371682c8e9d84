#!/usr/bin/env bash
# Installe ce qui manque, construit, vérifie les habitudes (outils/verifie.sh : clang-format,
# clang-tidy, shellcheck), puis passe toute la suite de tests trois fois :
# 1. le programme et ses tests tels qu'ils sont livrés (build/) ;
# 2. la même suite avec AddressSanitizer et UndefinedBehaviorSanitizer (build-asan/) ;
# 3. le fuzzing du texte des réglages, 60 s (build-fuzz/).
# Les arguments vont à ctest, dans les deux premières passes (par exemple -L unit).
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
passe() { echo "--- $1 : $((SECONDS - depart)) s"; }
depart=$SECONDS
bash "$racine/outils/installe.sh" tests
passe installation
bash "$racine/outils/construit.sh"
passe construction
bash "$racine/outils/verifie.sh"
passe "vérifications"
(cd "$racine/build" && ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@")
passe tests
bash "$racine/outils/teste_sanitizers.sh" "$@"
passe "construction et tests sous sanitizers"
bash "$racine/outils/fuzz.sh" 60
passe fuzzing
