#!/usr/bin/env bash
# Seconde passe de toute la suite, programme et tests construits avec AddressSanitizer (fuites
# comprises) et UndefinedBehaviorSanitizer, dans build-asan/. Les tests de bout en bout y lancent
# le programme instrumenté (sauf le paquet et les tests étiquetés « composants », voir
# tests/CMakeLists.txt). Tout rapport d'un sanitizer, d'un test comme d'un programme lancé
# par un test, fait échouer la passe, même si le test qui l'a provoqué a réussi (sauf la fuite
# de Qt décrite plus bas, montrée sans compter).
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

# Une fuite de Qt 6.4.2 (Debian 12) à la sortie, vue dans 3 passes entières sur une dizaine, au
# programme de e2e_annonce ou de e2e_tray, jamais en les relançant seuls (plus de 50 fois) : les
# données d'un fil de Qt (QThreadData, 152 octets, que le constructeur de QThreadPrivate alloue à
# +0x1f3481 de libQt6Core) et une chaîne qu'elles tiennent, sans aucune trame du programme. Sans
# symboles de Qt, LeakSanitizer ne peut ni la nommer ni la taire par lsan.supp sans taire tout
# libQt6Core. Montrée, elle ne compte pas ; une autre version de Qt la ferait compter de nouveau.
fuite_de_qt() {
    grep -q "SUMMARY: AddressSanitizer: 186 byte(s) leaked in 2 allocation(s)" "$1" &&
        grep -q "Direct leak of 152 byte(s) in 1 object(s)" "$1" &&
        grep -q "(/lib/x86_64-linux-gnu/libQt6Core.so.6+0x1f3481)" "$1" &&
        ! grep -E '^ +#[0-9]+ ' "$1" | grep -qvE 'libsanitizer/|/libQt6Core\.so\.6[+)]|<unknown module>'
}

shopt -s nullglob
trouves=("$rapports"/*)
comptes=0
for f in "${trouves[@]}"; do
    if fuite_de_qt "$f"; then
        echo "=== $f : fuite connue de Qt à la sortie, montrée sans compter"
    else
        echo "=== $f"
        comptes=$((comptes + 1))
    fi
    cat "$f"
done
if ((comptes)); then
    echo "Sanitizers : $comptes rapport(s), voir ci-dessus." >&2
    exit 1
fi
exit "$statut"
