#!/usr/bin/env bash
# Les habitudes de la maison, vérifiées avant les tests : mise en forme (clang-format), remarques
# de clang-tidy (outils/tidy.py) et shellcheck sur chaque script. Chaque vérification dit son temps.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
cd "$racine"
statut=0
chrono() { echo "--- $1 : $((SECONDS - debut)) s"; }

debut=$SECONDS
git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' |
    xargs -0 clang-format-14 --dry-run -Werror || statut=1
chrono clang-format

debut=$SECONDS
mapfile -t scripts < <(git ls-files '*.sh' .ci/run)
shellcheck -x "${scripts[@]}" || statut=1
chrono shellcheck

debut=$SECONDS
# Chaque unité de src/, tests/ et bench/ (build/compile_commands.json : construire d'abord) ; celles
# que rien n'a changé depuis leur dernière analyse propre sont reconnues et passées.
python3 "$racine/outils/tidy.py" "$racine" || statut=1
chrono clang-tidy
exit "$statut"
