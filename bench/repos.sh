#!/usr/bin/env bash
# Démarrage, empreinte et coût au repos, le programme et les deux témoins côte à côte :
#   CV_BUILD=build-bench bash bench/repos.sh [fois=7] [repos=60]
# Témoin nu (bench_temoin) : une étiquette et sa minuterie, le démarrage le plus court de Qt.
# Témoin fidèle (bench_temoin_fidele) : ce que l'horloge montre et redessine au repos.
# Un Xvfb sans gestionnaire de fenêtres et un serveur de son (comme sur un bureau) ; chacun est
# lancé sans bus de session et avec le sien (privé), ce qui fait six processus par tour, chacun
# dans son dossier du programme remis aux réglages livrés :
#   - démarrage : de l'exec à la première fenêtre posée, puis à son premier dessin, et le temps
#     processeur dépensé jusqu'à la pose (bench_premiere_fenetre), l'un après l'autre, l'ordre
#     renversé d'un tour à l'autre ;
#     puis, après le repos, BENCH_DEMARRAGES (3) autres démarrages de chacun, arrêté aussitôt ;
#   - 5 s pour finir de démarrer, puis `repos` secondes sans rien faire, tous en même temps :
#     temps processeur (somme des /proc/PID/task/*/schedstat), réveils (changements de contexte
#     volontaires, somme sur les fils), puis RSS, PSS (smaps_rollup) et nombre de fils.
# Chaque dossier a son HOME, qui garde d'un tour à l'autre le lanceur du menu des applications,
# comme chez l'utilisateur après son premier démarrage : seul le premier tour l'écrit (et le
# synchronise sur le disque).
# Le rythme est mis à « chaque heure » et le tour attend qu'aucune heure pleine ne tombe dans la
# fenêtre : ni carillon ni annonce pendant la mesure.
# BENCH_ACCESSIBILITE=1 : comme sur le bureau d'un lecteur d'écran, un seul bus, AT-SPI allumé,
# le pont d'accessibilité de Qt actif partout ; trois processus par tour.
# Écrit « mesure <clé>[_bus|_atspi] <programme|temoin|fidele> <valeur> » dans $BENCH_RESULTATS
# (sinon les artefacts).
# shellcheck source=../tests/e2e/commun.sh
source "$(dirname "$0")/../tests/e2e/commun.sh"
FOIS=${1:-7}
REPOS=${2:-60}
# Lancements de plus par tour, pour le démarrage seul (BENCH_DEMARRAGES, 3 par défaut).
DEMARRAGES=${BENCH_DEMARRAGES:-3}
e2e_prepare $((FOIS * (REPOS + 50 + DEMARRAGES * 15) + 120))
e2e_x
e2e_son
# Le flux de zéros qui fait tourner l'évier en temps réel ne sert qu'aux enregistrements : sans
# lui, le serveur de son se tait comme sur un bureau où rien ne joue.
e2e_arrete "$E2E_GARDIEN_PID"
SANS_BUS=$DBUS_SESSION_BUS_ADDRESS
e2e_bus
# BENCH_TEMPS_REEL=1 : sur une machine partagée, l'écran, le bus et les programmes mesurés passent
# en priorité temps réel (chrt -f) devant les autres travaux, comme sur une machine au repos.
PRIORITE=()
if [[ "${BENCH_TEMPS_REEL:-0}" == 1 ]]; then
    e2e_requiert chrt
    if ! chrt -f -p 50 "$E2E_X_PID" || ! chrt -f -p 50 "$E2E_BUS_PID"; then
        e2e_echec "priorité temps réel refusée"
    fi
    PRIORITE=(chrt -f 50)
fi
declare -A BUS=([sans]=$SANS_BUS [bus]=$DBUS_SESSION_BUS_ADDRESS [atspi]=$DBUS_SESSION_BUS_ADDRESS)
declare -A SUFFIXE=([sans]="" [bus]=_bus [atspi]=_atspi)
VARIANTES=(sans bus)
if [[ "${BENCH_ACCESSIBILITE:-0}" == 1 ]]; then
    # shellcheck source=../tests/e2e/accessibilite.sh
    source "$(dirname "$0")/../tests/e2e/accessibilite.sh"
    e2e_accessibilite
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    VARIANTES=(atspi)
fi
BENCH=$CV_BUILD/bench
for f in bench_premiere_fenetre bench_temoin bench_temoin_fidele; do
    [[ -x "$BENCH/$f" ]] || e2e_echec "$f absent : construire les cibles de bench/"
done
RESULTATS=${BENCH_RESULTATS:-$E2E_ARTEFACTS/resultats.txt}
declare -A DOSSIER=()
for v in "${VARIANTES[@]}"; do
    e2e_copie_dossier "programme_$v"
    DOSSIER[$v]=$E2E_DOSSIER
    mkdir -p "$E2E_TEMP/home_$v/donnees" "$E2E_TEMP/home_$v/config" "$E2E_TEMP/home_$v/cache"
done
INSTANCES=()
for v in "${VARIANTES[@]}"; do
    for qui in programme temoin fidele; do INSTANCES+=("$qui:$v"); done
done

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

# lance qui:variante : démarre sous bench_premiere_fenetre ; PID du programme dans PID[instance],
# de l'outil dans OUTIL[instance].
declare -A PID=() OUTIL=()
lance() {
    local instance=$1 qui=${1%%:*} v=${1#*:} journal i ligne dessin processeur
    local -a cmd
    case $qui in
    programme) cmd=("${DOSSIER[$v]}/chronovocalis") ;;
    temoin) cmd=("$BENCH/bench_temoin") ;;
    fidele) cmd=("$BENCH/bench_temoin_fidele") ;;
    esac
    journal=$E2E_ARTEFACTS/$qui-$v.log
    : >"$journal"
    DBUS_SESSION_BUS_ADDRESS=${BUS[$v]} HOME=$E2E_TEMP/home_$v XDG_DATA_HOME=$E2E_TEMP/home_$v/donnees \
        XDG_CONFIG_HOME=$E2E_TEMP/home_$v/config XDG_CACHE_HOME=$E2E_TEMP/home_$v/cache \
        e2e_demarre "$qui-$v" "${PRIORITE[@]}" "$BENCH/bench_premiere_fenetre" --dossier "${DOSSIER[$v]}" -- "${cmd[@]}"
    OUTIL[$instance]=$E2E_PID
    for ((i = 0; i < 400; ++i)); do
        dessin=$(grep -a '^dessin' "$journal") && break
        grep -aq 'absente\|absent$' "$journal" && break
        e2e_dors 0.05
    done
    [[ "$dessin" == "dessin "[0-9]* ]] || e2e_echec "$instance : pas de fenêtre dessinée (voir $journal)"
    ligne=$(grep -a '^fenetre' "$journal")
    PID[$instance]=$(sed -n 's/^pid //p' "$journal")
    read -r _ ms _ <<<"$ligne"
    read -r _ dessin <<<"$dessin"
    processeur=$(sed -n 's/^processeur //p' "$journal")
    {
        echo "mesure demarrage_ms${SUFFIXE[$v]} $qui $ms"
        echo "mesure dessin_ms${SUFFIXE[$v]} $qui $dessin"
        echo "mesure processeur_pose_ms${SUFFIXE[$v]} $qui $processeur"
    } >>"$RESULTATS"
    printf '  %-9s %-5s posée %7.1f ms, dessinée %7.1f ms, processeur à la pose %6.1f ms\n' \
        "$qui" "$v" "$ms" "$dessin" "$processeur"
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
    evite_heure_pleine $((REPOS + 30))
    for v in "${VARIANTES[@]}"; do
        cp "$CV_SOURCE"/resources/defaults/* "${DOSSIER[$v]}/"
        sed -i 's/^déclenche_annonce = .*/déclenche_annonce = 0/' "${DOSSIER[$v]}/CV32.ini"
    done
    read -r charge _ </proc/loadavg
    e2e_info "tour $tour/$FOIS, charge $charge"
    echo "mesure charge_1min machine $charge" >>"$RESULTATS"
    ordre=("${INSTANCES[@]}")
    if ((tour % 2 == 0)); then
        ordre=()
        for ((i = ${#INSTANCES[@]} - 1; i >= 0; --i)); do ordre+=("${INSTANCES[$i]}"); done
    fi
    for instance in "${ordre[@]}"; do
        lance "$instance"
        e2e_dors 0.5
    done
    e2e_dors 5
    declare -A ns0=() vol0=()
    for instance in "${INSTANCES[@]}"; do
        read -r "ns0[$instance]" "vol0[$instance]" <<<"$(compteurs "${PID[$instance]}")"
    done
    debut=$EPOCHREALTIME
    e2e_dors "$REPOS"
    declare -A ns1=() vol1=()
    for instance in "${INSTANCES[@]}"; do
        read -r "ns1[$instance]" "vol1[$instance]" <<<"$(compteurs "${PID[$instance]}")"
    done
    duree=$(e2e_calcule "${EPOCHREALTIME/,/.} - ${debut/,/.}")
    for instance in "${INSTANCES[@]}"; do
        qui=${instance%%:*}
        v=${instance#*:}
        pid=${PID[$instance]}
        e2e_vivant "$pid" || e2e_echec "$instance s'est arrêté pendant la mesure"
        ns=$((ns1[$instance] - ns0[$instance]))
        vol=$((vol1[$instance] - vol0[$instance]))
        rss=$(champ_kb Rss "$pid")
        pss=$(champ_kb Pss "$pid")
        fils=$(find "/proc/$pid/task" -mindepth 1 -maxdepth 1 | wc -l)
        cpu=$(e2e_calcule "$ns / 1e9 / $duree * 100")
        reveils=$(e2e_calcule "$vol / $duree")
        s=${SUFFIXE[$v]}
        {
            echo "mesure rss_kb$s $qui $rss"
            echo "mesure pss_kb$s $qui $pss"
            echo "mesure fils$s $qui $fils"
            echo "mesure cpu_repos_pct$s $qui $cpu"
            echo "mesure reveils_s$s $qui $reveils"
        } >>"$RESULTATS"
        printf '  %-9s %-5s RSS %6d kB  PSS %6d kB  fils %d  processeur %.4f %%  réveils %.2f /s\n' \
            "$qui" "$v" "$rss" "$pss" "$fils" "$cpu" "$reveils"
    done
    for instance in "${INSTANCES[@]}"; do
        e2e_arrete "${OUTIL[$instance]}" 5
    done
    # Un démarrage varie de ±25 % d'un lancement à l'autre sur une machine au repos : d'autres
    # lancements, seuls et dans l'ordre inverse du précédent, resserrent les médianes.
    for ((k = 0; k < DEMARRAGES; ++k)); do
        ordre=("${INSTANCES[@]}")
        if (((tour + k) % 2 == 1)); then
            ordre=()
            for ((i = ${#INSTANCES[@]} - 1; i >= 0; --i)); do ordre+=("${INSTANCES[$i]}"); done
        fi
        for instance in "${ordre[@]}"; do
            lance "$instance"
            e2e_arrete "${OUTIL[$instance]}" 5
            e2e_dors 0.5
        done
    done
done
