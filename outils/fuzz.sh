#!/usr/bin/env bash
# Construit la cible libFuzzer des réglages (clang-14) dans build-fuzz/ et la fait tourner un
# temps borné (60 s par défaut) à partir des réglages livrés et des graines de fuzz/graines.
# Un plantage ou une propriété violée arrête tout : l'entrée fautive est gardée dans
# build-fuzz/ (crash-*), à rejouer avec « build-fuzz/fuzz_reglages build-fuzz/crash-… ».
# Usage : fuzz.sh [secondes]
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
duree=${1:-60}
build=$racine/build-fuzz

CXX=${CXX_FUZZ:-clang++-14} cmake -S "$racine/fuzz" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --parallel

# Le corpus grandit d'une fois à l'autre ; les graines restent intactes.
mkdir -p "$build/corpus"
journal=$build/fuzz.log
"$build/fuzz_reglages" -max_total_time="$duree" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/" "$build/corpus" "$racine/resources/defaults" "$racine/fuzz/graines" \
    >"$journal" 2>&1 || {
    tail -n 60 "$journal"
    echo "Fuzzing : échec (journal complet : $journal)" >&2
    exit 1
}
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$journal")
par_seconde=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$journal")
echo "Fuzzing des réglages : $executions exécutions en $duree s ($par_seconde/s), aucun plantage."
