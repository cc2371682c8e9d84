#!/usr/bin/env bash
# Les habitudes de la maison, vérifiées avant les tests : mise en forme (clang-format), remarques
# de clang-tidy (.clang-tidy de la racine, sur les unités de build/compile_commands.json :
# construire d'abord) et shellcheck sur chaque script. Chaque vérification dit son temps.
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
# Une unité par fichier du dépôt (pas les fichiers produits par moc), en parallèle sur chaque cœur.
python3 -c '
import json, sys
racine = sys.argv[1] + "/"
with open(racine + "build/compile_commands.json") as f:
    fichiers = {e["file"] for e in json.load(f)}
for f in sorted(fichiers):
    if f.startswith(racine) and f[len(racine):].split("/")[0] in ("src", "tests", "bench"):
        print(f)
' "$racine" >"$racine/build/unites_tidy.txt"
remarques=$racine/build/remarques_tidy.txt
xargs -P "$(nproc)" -n 1 clang-tidy-14 -p "$racine/build" --quiet <"$racine/build/unites_tidy.txt" \
    >"$remarques" 2>/dev/null || true
if grep -q ': warning:\|: error:' "$remarques"; then
    grep -A3 ': warning:\|: error:' "$remarques"
    statut=1
fi
chrono "clang-tidy ($(wc -l <"$racine/build/unites_tidy.txt") unités)"
exit "$statut"
