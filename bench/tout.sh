#!/usr/bin/env bash
# Toutes les mesures puis le tableau (make bench) :
#   bash bench/tout.sh [fois=7] [repos=60]
#   bash bench/tout.sh --tableau      réimprime le tableau des dernières mesures
# Construit au besoin (Release) dans $CV_BUILD, par défaut build-bench/ ; lance repos.sh
# (démarrage, empreinte, coût au repos, le programme et les deux témoins côte à côte, chacun sans
# et avec bus de session, `fois` tours de `repos` s), annonce.sh (son sur PulseAudio puis sur
# PipeWire : latence, places des mots, son coupé ; temps processeur) et bench_reglages (lecture et
# écriture de CV32.ini de 1 Ko à 10 Mo). Compter une vingtaine de
# minutes avec les valeurs par défaut. Les figures s'impriment ; rien n'est vérifié.
# BENCH_TEMPS_REEL=1 (machine partagée) : démarrages et repos mesurés en priorité temps réel.
set -uo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
export CV_SOURCE=$racine
export CV_BUILD=${CV_BUILD:-$racine/build-bench}
# Les figures brutes (« mesure clé qui valeur ») et l'en-tête du tableau restent à côté de la construction.
resultats=$CV_BUILD/bench_resultats.txt
entete=$CV_BUILD/bench_machine.txt

# Le tableau des figures (bench/tableau.awk).
tableau() {
    cat "$entete"
    echo
    awk -f "$racine/bench/tableau.awk" "$resultats"
}

if [[ "${1:-}" == --tableau ]]; then
    [[ -s "$resultats" ]] || {
        echo "pas encore de mesures dans $resultats" >&2
        exit 1
    }
    tableau
    exit 0
fi
FOIS=${1:-7}
REPOS=${2:-60}

for c in Xvfb xdpyinfo pulseaudio pipewire wireplumber pipewire-pulse pactl pacat parec sox cmake ninja; do
    command -v "$c" >/dev/null 2>&1 || {
        echo "commande absente : $c (bash outils/installe.sh tests)" >&2
        exit 1
    }
done
[[ -f /usr/include/X11/Xlib.h && -f /usr/include/X11/extensions/Xdamage.h ]] || {
    echo "Xlib ou Xdamage absente : apt-get install libx11-dev libxdamage-dev (pour bench_premiere_fenetre)" >&2
    exit 1
}

echo "Construction (Release) dans $CV_BUILD"
cmake -S "$racine" -B "$CV_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null || exit 1
cmake --build "$CV_BUILD" --target chronovocalis dossier_programme bench_temoin bench_temoin_fidele \
    bench_premiere_fenetre bench_annonce bench_reglages debuts_sons enregistreur >/dev/null || exit 1

mkdir -p "$CV_BUILD"
: >"$resultats"
export BENCH_RESULTATS=$resultats
charge_debut=$(cut -d' ' -f1-3 /proc/loadavg)

echo
echo "== Démarrage, empreinte et repos ($FOIS tours de $REPOS s)"
bash "$racine/bench/repos.sh" "$FOIS" "$REPOS" || exit 1
echo
echo "== Repos avec l'accessibilité allumée (3 tours de $REPOS s)"
BENCH_ACCESSIBILITE=1 BENCH_DEMARRAGES=0 bash "$racine/bench/repos.sh" 3 "$REPOS" || exit 1
echo
echo "== Son sur PulseAudio"
bash "$racine/bench/annonce.sh" 3 3 pulseaudio || exit 1
echo
echo "== Son sur PipeWire"
bash "$racine/bench/annonce.sh" 3 3 pipewire || exit 1
echo
echo "== Réglages"
(cd "${TMPDIR:-/tmp}" && QT_QPA_PLATFORM=offscreen "$CV_BUILD/bench/bench_reglages" --fois "$FOIS") \
    >"$CV_BUILD/bench_reglages.txt" 2>/dev/null || exit 1
grep -v '^mesure ' "$CV_BUILD/bench_reglages.txt"
grep '^mesure ' "$CV_BUILD/bench_reglages.txt" >>"$resultats"
charge_fin=$(cut -d' ' -f1-3 /proc/loadavg)

qt=$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo "?")
processeur=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
priorite=
[[ "${BENCH_TEMPS_REEL:-0}" == 1 ]] && priorite=" ; démarrages et repos en priorité temps réel (chrt -f 50)"
memoire=$(awk '/^MemTotal/ { printf "%.0f Go", $2 / 1048576 }' /proc/meminfo)
echo "Mesures du $(LC_ALL=C date '+%Y-%m-%d %H:%M') : $processeur, $(nproc) cœurs, $memoire de mémoire," \
    "Debian $(cat /etc/debian_version), Qt $qt ; charge (1, 5, 15 min) $charge_debut au début, $charge_fin à la fin$priorite" \
    >"$entete"
echo
tableau
