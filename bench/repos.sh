#!/usr/bin/env bash
# Démarrage, empreinte et coût au repos, le programme et le témoin côte à côte :
#   CV_BUILD=build-bench bash bench/repos.sh [fois=7] [repos=60]
# Un Xvfb sans gestionnaire de fenêtres et un serveur de son (comme sur un bureau) ; à chaque
# tour, dans un dossier du programme remis aux réglages livrés et un HOME vidé :
#   - démarrage : de l'exec à la première fenêtre posée (bench_premiere_fenetre), l'un après
#     l'autre, l'ordre alterné d'un tour à l'autre ;
#   - 5 s pour finir de démarrer, puis `repos` secondes sans rien faire, les deux en même temps :
#     temps processeur (somme des /proc/PID/task/*/schedstat), réveils (changements de contexte
#     volontaires, somme sur les fils), puis RSS, PSS (smaps_rollup) et nombre de fils.
# Le rythme est mis à « chaque heure » et le tour attend qu'aucune heure pleine ne tombe dans la
# fenêtre : ni carillon ni annonce pendant la mesure.
# Écrit « mesure <clé> <programme|temoin> <valeur> » dans $BENCH_RESULTATS (sinon les artefacts).
# shellcheck source=../tests/e2e/commun.sh
source "$(dirname "$0")/../tests/e2e/commun.sh"
FOIS=${1:-7}
REPOS=${2:-60}
e2e_prepare $((FOIS * (REPOS + 40) + 120))
e2e_x
e2e_son
# Le flux de zéros qui fait tourner l'évier en temps réel ne sert qu'aux enregistrements : sans
# lui, le serveur de son se tait comme sur un bureau où rien ne joue.
e2e_arrete "$E2E_GARDIEN_PID"
# BENCH_ACCESSIBILITE=1 : comme sur le bureau d'un lecteur d'écran, bus de session, bus et registre
# AT-SPI allumés, le pont d'accessibilité de Qt actif dans les deux programmes ; les figures du
# processeur et des réveils prennent le suffixe « _atspi ».
SUFFIXE=
if [[ "${BENCH_ACCESSIBILITE:-0}" == 1 ]]; then
    # shellcheck source=../tests/e2e/accessibilite.sh
    source "$(dirname "$0")/../tests/e2e/accessibilite.sh"
    e2e_bus_session
    e2e_accessibilite
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    SUFFIXE=_atspi
fi
BENCH=$CV_BUILD/bench
for f in bench_premiere_fenetre bench_temoin; do
    [[ -x "$BENCH/$f" ]] || e2e_echec "$f absent : construire les cibles de bench/"
done
RESULTATS=${BENCH_RESULTATS:-$E2E_ARTEFACTS/resultats.txt}
e2e_copie_dossier programme
PROGRAMME=$E2E_DOSSIER

# Compteurs d'un processus : « ns_processeur réveils ».
compteurs() {
    local t ns=0 vol=0 ligne
    local -a champs
    for t in /proc/"$1"/task/*; do
        { read -r -a champs <"$t/schedstat"; } 2>/dev/null || continue
        ns=$((ns + champs[0]))
        while read -r ligne; do
            [[ "$ligne" == voluntary_ctxt_switches:* ]] && vol=$((vol + ${ligne##*:}))
        done <"$t/status"
    done
    echo "$ns $vol"
}

champ_kb() { awk -v c="$1:" '$1 == c { print $2 }' "/proc/$2/smaps_rollup"; }

# lance qui : démarre sous bench_premiere_fenetre ; PID du programme dans PID[qui], de l'outil dans OUTIL[qui].
declare -A PID=() OUTIL=()
lance() {
    local qui=$1 journal i ligne
    local -a cmd
    if [[ $qui == programme ]]; then cmd=("$PROGRAMME/chronovocalis"); else cmd=("$BENCH/bench_temoin"); fi
    journal=$E2E_ARTEFACTS/$qui.log
    : >"$journal"
    e2e_demarre "$qui" "$BENCH/bench_premiere_fenetre" --dossier "$PROGRAMME" -- "${cmd[@]}"
    OUTIL[$qui]=$E2E_PID
    for ((i = 0; i < 400; ++i)); do
        ligne=$(grep -a '^fenetre' "$journal") && break
        e2e_dors 0.05
    done
    [[ "$ligne" == "fenetre "[0-9]* ]] || e2e_echec "$qui : pas de fenêtre (voir $journal)"
    PID[$qui]=$(sed -n 's/^pid //p' "$journal")
    read -r _ ms _ <<<"$ligne"
    echo "mesure demarrage_ms $qui $ms" >>"$RESULTATS"
    printf '  %-9s démarrage %7.1f ms\n' "$qui" "$ms"
}

# Attend, s'il le faut, qu'aucune heure pleine ne tombe dans les `duree` secondes à venir.
evite_heure_pleine() {
    local duree=$1 maintenant dans
    maintenant=${EPOCHREALTIME%[.,]*}
    dans=$((3600 - maintenant % 3600))
    if ((dans < duree + 5)); then
        e2e_info "heure pleine dans $dans s : attente"
        e2e_dors $((dans + 5))
    fi
}

for ((tour = 1; tour <= FOIS; ++tour)); do
    evite_heure_pleine $((REPOS + 20))
    cp "$CV_SOURCE"/resources/defaults/* "$PROGRAMME/"
    sed -i 's/^déclenche_annonce = .*/déclenche_annonce = 0/' "$PROGRAMME/CV32.ini"
    rm -rf "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    e2e_info "tour $tour/$FOIS"
    if ((tour % 2)); then ordre=(programme temoin); else ordre=(temoin programme); fi
    for qui in "${ordre[@]}"; do
        lance "$qui"
        e2e_dors 0.5
    done
    e2e_dors 5
    declare -A ns0=() vol0=()
    for qui in programme temoin; do
        read -r "ns0[$qui]" "vol0[$qui]" <<<"$(compteurs "${PID[$qui]}")"
    done
    debut=$EPOCHREALTIME
    e2e_dors "$REPOS"
    declare -A ns1=() vol1=()
    for qui in programme temoin; do
        read -r "ns1[$qui]" "vol1[$qui]" <<<"$(compteurs "${PID[$qui]}")"
    done
    duree=$(e2e_calcule "${EPOCHREALTIME/,/.} - ${debut/,/.}")
    for qui in programme temoin; do
        pid=${PID[$qui]}
        e2e_vivant "$pid" || e2e_echec "$qui s'est arrêté pendant la mesure"
        ns=$((ns1[$qui] - ns0[$qui]))
        vol=$((vol1[$qui] - vol0[$qui]))
        rss=$(champ_kb Rss "$pid")
        pss=$(champ_kb Pss "$pid")
        fils=$(find "/proc/$pid/task" -mindepth 1 -maxdepth 1 | wc -l)
        cpu=$(e2e_calcule "$ns / 1e9 / $duree * 100")
        reveils=$(e2e_calcule "$vol / $duree")
        {
            echo "mesure rss_kb $qui $rss"
            echo "mesure pss_kb $qui $pss"
            echo "mesure fils $qui $fils"
            echo "mesure cpu_repos_pct$SUFFIXE $qui $cpu"
            echo "mesure reveils_s$SUFFIXE $qui $reveils"
        } >>"$RESULTATS"
        printf '  %-9s RSS %6d kB  PSS %6d kB  fils %d  processeur %.4f %%  réveils %.2f /s\n' \
            "$qui" "$rss" "$pss" "$fils" "$cpu" "$reveils"
    done
    e2e_arrete "${OUTIL[programme]}" 5
    e2e_arrete "${OUTIL[temoin]}" 5
done
