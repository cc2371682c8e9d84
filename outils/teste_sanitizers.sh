#!/usr/bin/env bash
# Seconde passe de toute la suite, programme et tests construits avec AddressSanitizer (fuites
# comprises) et UndefinedBehaviorSanitizer, dans build-asan/. Les tests de bout en bout y lancent
# le programme instrumenté (sauf le paquet et les tests étiquetés « composants », voir
# tests/CMakeLists.txt). Tout rapport d'un sanitizer, d'un test comme d'un programme lancé
# par un test, fait échouer la passe, même si le test qui l'a provoqué a réussi.
# Arguments : ceux de ctest (par exemple -L unit).
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
build=$racine/build-asan

# -O1 : la pile reste lisible et la construction courte ; -g1 suffit aux numéros de ligne.
cmake -S "$racine" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -g1" \
    -DCV_SANITIZE=ON >/dev/null
cmake --build "$build" --parallel

rapports=$build/rapports_sanitizers
rm -rf "$rapports"
mkdir -p "$rapports"
# verify_asan_link_order=0 : les tests de bout en bout préchargent libfaketime avant libasan.
export ASAN_OPTIONS="log_path=$rapports/asan:detect_leaks=1:verify_asan_link_order=0:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$racine/outils/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="log_path=$rapports/ubsan:print_stacktrace=1:halt_on_error=1"

cd "$build"
statut=0
# Sans le test du paquet (étiquette « paquet ») : il construit et installe le paquet, qui ne
# contient pas le programme instrumenté ; la première passe l'a déjà fait.
ctest --output-on-failure --timeout 600 -j "$(nproc)" -LE "paquet|composants" "$@" || statut=$?

shopt -s nullglob
trouves=("$rapports"/*)
if ((${#trouves[@]})); then
    for f in "${trouves[@]}"; do
        echo "=== $f"
        cat "$f"
    done
    echo "Sanitizers : ${#trouves[@]} rapport(s), voir ci-dessus." >&2
    exit 1
fi
exit "$statut"
