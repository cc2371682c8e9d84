# shellcheck shell=bash
# Bibliothèque des tests de bout en bout, lue par « source » au début de chaque e2e_*.sh.
#
# Chaque test a son dossier temporaire, son serveur X (Xvfb), son serveur de son
# (PulseAudio, évier nul « horloge ») et son HOME : plusieurs tests peuvent se suivre,
# et rien ne touche la session de la machine. Tout processus est lancé dans son propre
# groupe (setsid) et arrêté par son PID à la sortie, quelle qu'elle soit.
#
#   e2e_prepare [délai]            dossier temporaire, artefacts, nettoyage à la sortie
#   e2e_x, e2e_son [pipewire]      Xvfb ; PulseAudio (ou PipeWire) avec l'évier « horloge »
#   e2e_son_arrete, e2e_son_evier nom   serveur de son tué ; autre évier nul et son gardien
#   e2e_zone_notification          trayer, pour l'icône de notification
#   e2e_bus, e2e_gestionnaire wm   bus de session privé ; xfwm4 ou openbox
#   e2e_panneau_xfce, e2e_tint2    vrais panneaux : StatusNotifier (et XEmbed) ; XEmbed
#   e2e_weston                     compositeur Wayland sans écran (WAYLAND_DISPLAY exporté)
#   e2e_enregistre f.wav, e2e_arrete_enregistrement, e2e_sons f.wav [options]
#   e2e_position epoch, e2e_position_heure "date fictive", e2e_attends_heure_fictive "date"
#   e2e_copie_dossier [nom], e2e_lance_programme [--heure "date" [--saut]] [--env V=x] dossier [args]
#   e2e_saute_heure secondes       l'heure fictive bondit (programme lancé avec --saut)
#   e2e_attends_fenetre regex [délai], e2e_fenetre_visible regex, e2e_capture nom
#   e2e_demarre nom cmd…, e2e_arrete pid, e2e_attends_fin pid [délai], e2e_vivant pid
#   e2e_attends_que [--pid pid] [--pas s] délai "échec" cmd…, e2e_sonde (la même, sans échec)
#   e2e_attends_disparition regex [délai]
#   e2e_dors s, e2e_attends_jusqua epoch, e2e_calcule "expr"
#   e2e_echec, e2e_verifie, e2e_egal, e2e_proche, e2e_requiert, e2e_info
#   e2e_nettoie, e2e_processus_restants
#
# Variables d'entrée : CV_BUILD (dossier de construction), CV_SOURCE (racine du dépôt).
# Variables fournies :
#   E2E_NOM         nom du test (celui du script, sans .sh)
#   E2E_TEMP        dossier temporaire, effacé à la fin
#   E2E_ARTEFACTS   $CV_BUILD/artefacts_e2e/$E2E_NOM : captures, enregistrements, journaux
#                   (nom.log par processus lancé), copies des dossiers et du HOME ; gardés
#   E2E_OUTILS      $CV_BUILD/outils_e2e (debuts_sons, enregistreur)
#   E2E_PID         dernier processus lancé ; E2E_LANCES tous ceux du test
#   E2E_FENETRE, E2E_CAPTURE, E2E_DOSSIER
#   E2E_PROGRAMME_PID, E2E_DECALAGE (heure fictive = heure réelle + décalage, en s)
#   E2E_ORIGINE     heure réelle (epoch, s) du premier échantillon du dernier enregistrement
#
# Les heures sont prises avec $EPOCHREALTIME (bash, sans créer de processus). Pas de
# « set -e » : une assertion qui échoue sort d'elle-même, en nommant ce qu'elle attendait.
# Un test qui échoue après que l'heure de la machine a sauté (plus de 0,5 s d'écart avec
# /proc/uptime) le dit et repart une fois, avec E2E_REPRISE=1 ; ses premiers artefacts restent
# dans $E2E_ARTEFACTS.saut.

# shellcheck disable=SC2016,SC2034 # bash -c '…' reçoit ses arguments ; variables lues par les tests
set -u -o pipefail
E2E_TEMP=

# ---------------------------------------------------------------- messages et assertions

e2e_info() { printf '[%s] %s\n' "${E2E_NOM:-e2e}" "$*"; }

e2e_echec() {
    printf '[%s] ÉCHEC : %s\n' "${E2E_NOM:-e2e}" "$*" >&2
    exit 1
}

# e2e_verifie "message" commande [args…] : la commande doit réussir.
e2e_verifie() {
    local message=$1
    shift
    "$@" || e2e_echec "$message (commande : $*)"
}

# e2e_egal attendu obtenu "message"
e2e_egal() {
    [[ "$1" == "$2" ]] || e2e_echec "$3 : attendu « $1 », obtenu « $2 »"
}

# e2e_proche valeur attendu tolérance "message" : |valeur - attendu| <= tolérance (nombres décimaux).
e2e_proche() {
    awk -v v="$1" -v a="$2" -v t="$3" 'BEGIN { d = v - a; if (d < 0) d = -d; exit !(d <= t) }' ||
        e2e_echec "$4 : $1 au lieu de $2 ± $3"
}

# e2e_calcule "expression awk" : arithmétique décimale, résultat à 6 décimales.
e2e_calcule() { awk "BEGIN { printf \"%.6f\\n\", $1 }"; }

e2e_requiert() {
    local c
    for c in "$@"; do
        command -v "$c" >/dev/null 2>&1 || e2e_echec "commande absente : $c (paquet à installer)"
    done
}

# ---------------------------------------------------------------- processus

declare -a E2E__PIDS=() E2E_LANCES=()
declare -A E2E__NOMS=() E2E__DEPARTS=()

# e2e_demarre nom commande [args…] : lance en arrière-plan dans un nouveau groupe,
# sortie dans $E2E_ARTEFACTS/nom.log ; le PID est dans E2E_PID.
# Un processus d'arrière-plan d'un script n'est pas chef de groupe : setsid fait alors
# exec sans fork, et le PID obtenu est bien celui du programme et de son groupe.
e2e_demarre() {
    local nom=$1
    shift
    setsid "$@" >>"$E2E_ARTEFACTS/$nom.log" 2>&1 </dev/null &
    E2E_PID=$!
    E2E__PIDS+=("$E2E_PID")
    E2E_LANCES+=("$E2E_PID")
    E2E__NOMS[$E2E_PID]=$nom
    e2e__etat "$E2E_PID"
    E2E__DEPARTS[$E2E_PID]=$E2E__DEPART
}

# Heure réelle en µs (entier) : les délais se comptent sans créer de processus.
e2e__us() { E2E__US=${EPOCHREALTIME/[.,]/}; }

# e2e_dors secondes : attente sans créer de processus (lancer « sleep » coûte ici
# quelques ms) : read -t sur un tube nommé que personne n'écrit.
e2e_dors() {
    if [[ -z "${E2E__FD_SOMMEIL:-}" ]]; then
        local tube=${E2E_TEMP:-${TMPDIR:-/tmp}}/.sommeil.$$
        mkfifo "$tube" && exec {E2E__FD_SOMMEIL}<>"$tube" && rm -f "$tube"
    fi
    read -r -t "$1" -u "$E2E__FD_SOMMEIL" _
    return 0
}

# État d'un processus (R, S, Z…) dans E2E__ETAT, vide s'il n'existe plus, et son instant
# de création dans E2E__DEPART (ce qui distingue un PID réattribué à un autre processus).
e2e__etat() {
    local ligne
    local -a champs
    E2E__ETAT=
    E2E__DEPART=
    { read -r ligne <"/proc/$1/stat"; } 2>/dev/null || return 0
    read -r -a champs <<<"${ligne##*) }"
    E2E__ETAT=${champs[0]}
    E2E__DEPART=${champs[19]}
}

# Vrai tant qu'un processus non zombie reste dans le groupe $1.
e2e__groupe_actif() {
    local f ligne
    local -a champs
    for f in /proc/[0-9]*/stat; do
        { read -r ligne <"$f"; } 2>/dev/null || continue
        # Après la dernière « ) » du nom : état, PPID, groupe.
        read -r -a champs <<<"${ligne##*) }"
        [[ "${champs[2]}" == "$1" && "${champs[0]}" != Z ]] && return 0
    done
    return 1
}

e2e_vivant() {
    e2e__etat "$1"
    [[ -n "$E2E__ETAT" && "$E2E__ETAT" != Z ]]
}

e2e__oublie() {
    local i
    for i in "${!E2E__PIDS[@]}"; do
        [[ "${E2E__PIDS[$i]}" == "$1" ]] && unset 'E2E__PIDS[i]'
    done
}

# e2e_arrete pid [délai en s entières, 3] : SIGTERM au groupe, SIGKILL passé le délai, puis récolte.
e2e_arrete() {
    local pid=$1 delai=${2:-3} fin
    e2e__etat "$pid"
    # Numéro repris par un autre processus : le nôtre et son groupe ont déjà disparu.
    if [[ -n "$E2E__ETAT" && -n "${E2E__DEPARTS[$pid]:-}" && "$E2E__DEPART" != "${E2E__DEPARTS[$pid]}" ]]; then
        e2e__oublie "$pid"
        return 0
    fi
    kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null
    e2e__us
    fin=$((E2E__US + delai * 1000000))
    while e2e_vivant "$pid" || e2e__groupe_actif "$pid"; do
        e2e__us
        if ((E2E__US > fin)); then
            e2e_info "${E2E__NOMS[$pid]:-$pid} ne s'arrête pas : SIGKILL"
            kill -KILL -- "-$pid" 2>/dev/null
            kill -KILL "$pid" 2>/dev/null
            break
        fi
        e2e_dors 0.02
    done
    wait "$pid" 2>/dev/null
    e2e__oublie "$pid"
    return 0
}

e2e__mort() { ! e2e_vivant "$1"; }

# Ce que font les fils d'un processus qui ne finit pas (gdb, s'il est là) : la pile entière dans
# les artefacts, le haut de chacune dans le journal du test, qui est tout ce qu'on lit d'un échec
# en intégration continue.
e2e__piles() {
    command -v gdb >/dev/null 2>&1 && e2e_vivant "$1" || return 0
    local f=$E2E_ARTEFACTS/piles_$1.txt
    timeout 60 gdb -p "$1" -batch -nx -ex "thread apply all bt 15" >"$f" 2>&1
    e2e_info "fils de $1 ($f) :"
    grep -E '^(Thread |#[0-5] )' "$f" | cut -c1-160 | head -80
}

# e2e_attends_fin pid [délai en s entières, 30] : attend la fin d'un processus lancé ici ; rend son code de sortie.
e2e_attends_fin() {
    local pid=$1 delai=${2:-30} statut=0
    e2e_sonde "$delai" e2e__mort "$pid" || {
        e2e__piles "$pid"
        e2e_echec "${E2E__NOMS[$pid]:-$pid} ne s'est pas terminé (en $delai s)"
    }
    wait "$pid" 2>/dev/null || statut=$?
    e2e__oublie "$pid"
    return "$statut"
}

# e2e_sonde [--pid pid] [--pas s, 0.05] délai cmd… : relance la commande (sortie jetée) jusqu'à
# ce qu'elle réussisse ; faux passé le délai (s entières). Compté en heure réelle, pas en tours :
# une commande lente sous charge ne rallonge pas l'attente. Avec --pid, échec dès que ce processus
# lancé ici s'arrête : son journal dit pourquoi, inutile d'attendre la fin du délai.
e2e_sonde() {
    local pid='' pas=0.05 delai fin nom
    while [[ "${1:-}" == --* ]]; do
        case $1 in
        --pid) pid=$2 ;;
        --pas) pas=$2 ;;
        *) e2e_echec "e2e_sonde : option inconnue $1" ;;
        esac
        shift 2
    done
    delai=$1
    shift
    e2e__us
    fin=$((E2E__US + delai * 1000000))
    while :; do
        "$@" >/dev/null 2>&1 && return 0
        if [[ -n "$pid" ]] && ! e2e_vivant "$pid"; then
            nom=${E2E__NOMS[$pid]:-$pid}
            e2e_echec "$nom s'est arrêté (voir $E2E_ARTEFACTS/$nom.log)"
        fi
        e2e__us
        ((E2E__US <= fin)) || return 1
        e2e_dors "$pas"
    done
}

# e2e_attends_que [--pid pid] [--pas s] délai "échec" cmd… : e2e_sonde, et le test échoue passé
# le délai en disant ce qui manque.
e2e_attends_que() {
    local -a options=()
    while [[ "${1:-}" == --* ]]; do
        options+=("$1" "$2")
        shift 2
    done
    local delai=$1 echec=$2
    shift 2
    e2e_sonde "${options[@]}" "$delai" "$@" || e2e_echec "$echec (en $delai s)"
}

# Processus vivants portant le jeton de ce test dans leur environnement, hors ce script :
# ceux qui auraient quitté leur groupe, un programme lancé par le programme par exemple.
# Résultat dans le tableau E2E_RESTANTS (sans sous-shell, qui serait lui-même compté).
e2e_processus_restants() {
    local f pid
    local -a env
    E2E_RESTANTS=()
    for f in /proc/[0-9]*/environ; do
        pid=${f#/proc/}
        pid=${pid%/environ}
        [[ "$pid" == "$$" || "$pid" == "$BASHPID" ]] && continue
        { mapfile -d '' -t env <"$f"; } 2>/dev/null || continue
        [[ " ${env[*]} " == *" E2E_JETON=$E2E_JETON "* ]] || continue
        e2e_vivant "$pid" && E2E_RESTANTS+=("$pid")
    done
    return 0
}

# ---------------------------------------------------------------- préparation et nettoyage

# e2e_prepare [délai max du test en s, 300 par défaut]
e2e_prepare() {
    local delai=${1:-300}
    : "${CV_BUILD:?CV_BUILD doit désigner le dossier de construction}"
    : "${CV_SOURCE:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
    E2E_NOM=$(basename "$0" .sh)
    E2E_OUTILS=$CV_BUILD/outils_e2e
    E2E_ARTEFACTS=$CV_BUILD/artefacts_e2e/$E2E_NOM
    rm -rf "$E2E_ARTEFACTS"
    [[ -n "${E2E_REPRISE:-}" ]] || rm -rf "$E2E_ARTEFACTS.saut"
    mkdir -p "$E2E_ARTEFACTS"
    E2E_TEMP=$(mktemp -d "${TMPDIR:-/tmp}/e2e_$E2E_NOM.XXXXXX")
    E2E_JETON=$(basename "$E2E_TEMP")
    export E2E_JETON E2E_TEMP E2E_ARTEFACTS E2E_OUTILS E2E_NOM CV_BUILD CV_SOURCE
    # La ligne de commande, pour reprendre le test si l'horloge de la machine saute.
    mapfile -d '' E2E__LIGNE </proc/$$/cmdline
    e2e__ecart_horloges
    E2E__ECART0=$E2E__ECART
    trap e2e__sortie EXIT
    trap 'e2e_echec "interrompu (SIGINT)"' INT
    trap 'e2e_echec "arrêté par un signal : délai de '"$delai"' s dépassé ou test tué"' TERM HUP

    # Un HOME à soi : le programme y écrit raccourcis et démarrage automatique.
    export HOME=$E2E_TEMP/home
    export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
    export XDG_RUNTIME_DIR=$E2E_TEMP/run
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    export LC_ALL=C.UTF-8
    # Pas de bus de session : ni celui de la machine, ni un dbus-daemon lancé d'office. Pas de
    # bus du système non plus : logind et sa veille n'existent que dans les tests qui les font.
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$E2E_TEMP/pas-de-bus
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$E2E_TEMP/pas-de-bus-systeme
    export QT_ACCESSIBILITY=0 NO_AT_BRIDGE=1
    unset DISPLAY WAYLAND_DISPLAY PULSE_SERVER
    # Un client (le programme aussi) qui ne trouve pas de serveur de son ne doit pas en lancer un.
    printf 'autospawn = no\n' >"$E2E_TEMP/client.conf"
    export PULSE_CLIENTCONFIG=$E2E_TEMP/client.conf

    # Garde-fou : ctest tue d'un SIGKILL qui empêcherait le nettoyage ; on s'arrête avant.
    e2e_demarre garde-fou bash -c "sleep $delai; kill -TERM $$"
    e2e_info "dossier temporaire $E2E_TEMP, artefacts dans $E2E_ARTEFACTS"
}

# Arrête tout ce qui a été lancé, du plus récent au plus ancien, garde les artefacts et
# efface le dossier temporaire. Appelable avant la fin par le test (pour vérifier qu'il ne
# reste rien) ; sans effet la deuxième fois.
e2e_nettoie() {
    [[ -n "${E2E__NETTOYE:-}" ]] && return 0
    E2E__NETTOYE=1
    trap - INT TERM HUP
    local i pid
    # Du plus récent au plus ancien : parec avant l'enregistreur, qui ferme alors son WAV.
    local -a pids=("${E2E__PIDS[@]}")
    for ((i = ${#pids[@]} - 1; i >= 0; --i)); do
        e2e_arrete "${pids[$i]}"
    done
    E2E__ENR_PAREC=
    e2e_processus_restants
    for pid in "${E2E_RESTANTS[@]}"; do
        e2e_info "processus resté en place, tué : $pid $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
        kill -KILL "$pid" 2>/dev/null
    done
    # Ce que le programme a écrit dans ses copies de dossier, pour l'inspection.
    local d
    for d in "${E2E__COPIES[@]}"; do
        [[ -d "$d" ]] || continue
        mkdir -p "$E2E_ARTEFACTS/dossiers/$(basename "$d")"
        find "$d" -maxdepth 1 -type f ! -name chronovocalis -exec cp -p {} "$E2E_ARTEFACTS/dossiers/$(basename "$d")/" \;
    done
    [[ -d "${HOME:-}" && "$HOME" == "$E2E_TEMP"/* ]] && cp -a "$HOME" "$E2E_ARTEFACTS/home" 2>/dev/null
    [[ -n "${E2E_TEMP:-}" && -d "$E2E_TEMP" ]] && rm -rf "$E2E_TEMP"
    return 0
}

# Heure murale moins temps écoulé depuis le démarrage (/proc/uptime, qui ne s'arrête pas
# quand la machine est figée), en s : constant tant que personne ne remet l'heure.
# E2E__UPTIME : un autre fichier, pour l'essai du harnais (bash ne passe pas par libfaketime).
e2e__ecart_horloges() {
    local depuis _
    read -r depuis _ <"${E2E__UPTIME:-/proc/uptime}"
    E2E__ECART=$(e2e_calcule "${EPOCHREALTIME/,/.} - $depuis")
}

e2e__sortie() {
    local statut=$?
    local saut=0
    if ((statut != 0)) && [[ -n "${E2E__ECART0:-}" ]]; then
        e2e__ecart_horloges
        saut=$(e2e_calcule "$E2E__ECART - $E2E__ECART0")
    fi
    e2e_nettoie
    if ((statut == 0)); then
        e2e_info "réussi"
    else
        e2e_info "échoué (code $statut), artefacts : $E2E_ARTEFACTS"
    fi
    # L'heure de la machine remise pendant le test (synchronisation réseau, machine virtuelle
    # reprise) : les délais mesurés n'ont plus de sens. Une reprise, une seule, en le disant.
    if awk -v s="$saut" 'BEGIN { exit !(s > 0.5 || s < -0.5) }' && [[ -z "${E2E_REPRISE:-}" ]]; then
        e2e_info "l'heure de la machine a sauté de $saut s pendant le test : il reprend une fois"
        mv "$E2E_ARTEFACTS" "$E2E_ARTEFACTS.saut" 2>/dev/null
        trap - EXIT
        E2E_REPRISE=1 exec "${E2E__LIGNE[@]}"
    fi
    return "$statut"
}

# ---------------------------------------------------------------- serveur X

# e2e_x : Xvfb 1024x768x24 sur le premier numéro libre (choisi par Xvfb lui-même avec
# -displayfd, sans course entre deux tests), DISPLAY exporté, prêt quand xdpyinfo répond.
e2e_x() {
    e2e_requiert Xvfb xdpyinfo
    local numero=$E2E_TEMP/x.numero
    : >"$numero"
    e2e_demarre xvfb bash -c 'exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$1"' _ "$numero"
    E2E_X_PID=$E2E_PID
    e2e_attends_que --pid "$E2E_X_PID" 10 "Xvfb n'a pas donné de numéro d'écran" test -s "$numero"
    DISPLAY=:$(head -n 1 "$numero")
    export DISPLAY
    e2e_attends_que 10 "l'écran $DISPLAY ne répond pas" xdpyinfo
    e2e_info "Xvfb prêt sur $DISPLAY (PID $E2E_X_PID)"
}

# e2e_zone_notification : trayer, hôte autonome des icônes de notification (XEmbed).
e2e_zone_notification() {
    e2e_requiert trayer xdotool
    e2e_demarre trayer trayer --edge bottom --align right --widthtype pixel --width 200 \
        --heighttype pixel --height 32 --SetDockType true
    E2E_TRAYER_PID=$E2E_PID
    e2e_attends_que --pid "$E2E_TRAYER_PID" 10 "trayer ne montre pas de fenêtre" \
        xdotool search --onlyvisible --pid "$E2E_TRAYER_PID"
    e2e_info "zone de notification prête (trayer, PID $E2E_TRAYER_PID)"
}

# ---------------------------------------------------------------- bureaux réels

# e2e_bus : dbus-daemon de session privé (prise dans le dossier temporaire), arrêté par son PID ;
# les services qu'il active (xfconfd) sont dans son groupe et s'arrêtent avec lui.
e2e_bus() {
    e2e_requiert dbus-daemon gdbus
    local prise=$E2E_TEMP/bus
    e2e_demarre dbus dbus-daemon --session --nofork --nopidfile --address="unix:path=$prise"
    E2E_BUS_PID=$E2E_PID
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$prise
    e2e_attends_que --pid "$E2E_BUS_PID" 10 "le bus de session ne répond pas" e2e_nom_sur_bus org.freedesktop.DBus
    e2e_info "bus de session prêt ($DBUS_SESSION_BUS_ADDRESS, PID $E2E_BUS_PID)"
}

# Vrai quand un gestionnaire de fenêtres s'annonce sur la racine.
e2e__gestionnaire_annonce() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# e2e_nom_sur_bus nom : vrai si le nom a un propriétaire sur le bus de session.
e2e_nom_sur_bus() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}

# e2e_gestionnaire xfwm4|openbox : gestionnaire de fenêtres, prêt quand il s'annonce sur la racine.
e2e_gestionnaire() {
    local wm=$1
    e2e_requiert "$wm" xprop
    case $wm in
    xfwm4) e2e_demarre xfwm4 xfwm4 --compositor=off --sm-client-disable ;;
    openbox)
        mkdir -p "$XDG_CONFIG_HOME/openbox"
        e2e_demarre openbox openbox --sm-disable
        ;;
    *) e2e_echec "gestionnaire inconnu : $wm" ;;
    esac
    E2E_WM_PID=$E2E_PID
    e2e_attends_que --pid "$E2E_WM_PID" 10 "$wm ne s'annonce pas" e2e__gestionnaire_annonce
    e2e_info "gestionnaire de fenêtres $wm prêt (PID $E2E_WM_PID)"
}

# e2e_panneau_xfce : xfce4-panel avec le seul greffon « systray » (hôte StatusNotifier et zone
# XEmbed), en bas de l'écran ; sa configuration dans le XDG_CONFIG_HOME du test (lue par xfconfd,
# activé sur le bus privé). Prêt quand le veilleur StatusNotifier a un hôte.
e2e_panneau_xfce() {
    e2e_requiert xfce4-panel
    [[ "$DBUS_SESSION_BUS_ADDRESS" == "unix:path=$E2E_TEMP/"* ]] || e2e_echec "e2e_bus doit précéder e2e_panneau_xfce"
    e2e_config_panneau_xfce "$XDG_CONFIG_HOME"
    e2e_demarre xfce4-panel xfce4-panel --disable-wm-check
    E2E_PANNEAU_PID=$E2E_PID
    e2e_attends_que --pid "$E2E_PANNEAU_PID" 20 "xfce4-panel n'inscrit pas d'hôte StatusNotifier" e2e__hote_statusnotifier
    e2e_info "xfce4-panel prêt (PID $E2E_PANNEAU_PID)"
}

# e2e_config_panneau_xfce dossier : la configuration de ce panneau dans ce XDG_CONFIG_HOME.
e2e_config_panneau_xfce() {
    local d=$1/xfce4/xfconf/xfce-perchannel-xml
    mkdir -p "$d"
    cat >"$d/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=10;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
XML
}

e2e__hote_statusnotifier() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        IsStatusNotifierHostRegistered 2>/dev/null | grep -q true
}

# e2e_tint2 : tint2 avec sa seule zone de notification (XEmbed), en bas à droite.
e2e_tint2() {
    e2e_requiert tint2 xdotool
    local conf=$E2E_TEMP/tint2rc
    cat >"$conf" <<'RC'
panel_items = S
panel_position = bottom right horizontal
panel_size = 240 32
panel_background_id = 0
systray_padding = 4 2 4
systray_icon_size = 24
RC
    e2e_demarre tint2 tint2 -c "$conf"
    E2E_PANNEAU_PID=$E2E_PID
    e2e_attends_que --pid "$E2E_PANNEAU_PID" 10 "tint2 ne montre pas de fenêtre" \
        xdotool search --onlyvisible --pid "$E2E_PANNEAU_PID"
    e2e_info "tint2 prêt (PID $E2E_PANNEAU_PID)"
}

# e2e_weston : weston sans écran (headless), sa prise dans le XDG_RUNTIME_DIR du test.
e2e_weston() {
    e2e_requiert weston
    local prise=wayland-e2e-$$
    e2e_demarre weston weston --backend=headless-backend.so --socket="$prise" --idle-time=0 \
        --width=1024 --height=768
    E2E_WESTON_PID=$E2E_PID
    e2e_attends_que --pid "$E2E_WESTON_PID" 10 "weston n'ouvre pas sa prise" test -S "$XDG_RUNTIME_DIR/$prise"
    export WAYLAND_DISPLAY=$prise
    e2e_info "weston prêt ($WAYLAND_DISPLAY, PID $E2E_WESTON_PID)"
}

# ---------------------------------------------------------------- serveur de son

# e2e_son [pulseaudio|pipewire] : serveur de son privé, évier nul « horloge » par défaut, sa prise
# où les clients la cherchent d'eux-mêmes ($XDG_RUNTIME_DIR/pulse/native, celui du test) : un
# programme lancé avant lui la trouve ; rappelé après e2e_son_arrete, il y revient.
# PulseAudio : norewinds=1, sinon le serveur réécrit le passé et l'enregistrement perd des
# centaines de ms. PipeWire (le GNOME de Debian) : pipewire, wireplumber, pipewire-pulse.
# Le flux gardien (des zéros) fait tourner l'évier en temps réel ; sa petite latence impose des
# blocs de ~2,5 ms, donc une horloge fine.
e2e_son() {
    E2E_SON_SERVEUR=${1:-${E2E_SON_SERVEUR:-pulseaudio}}
    e2e_requiert pactl pacat parec
    local d=$E2E_TEMP/pulse
    mkdir -p "$d/etat" "$d/conf" "$XDG_RUNTIME_DIR/pulse"
    chmod 700 "$XDG_RUNTIME_DIR/pulse"
    export PULSE_STATE_PATH=$d/etat PULSE_CONFIG_PATH=$d/conf PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    E2E_SON_PIDS=()
    case $E2E_SON_SERVEUR in
    pulseaudio)
        e2e_requiert pulseaudio
        e2e_demarre pulseaudio pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no \
            --disallow-exit --log-target=stderr \
            --load="module-null-sink sink_name=horloge norewinds=1" \
            --load="module-native-protocol-unix socket=$XDG_RUNTIME_DIR/pulse/native auth-anonymous=1"
        E2E_SON_PIDS+=("$E2E_PID")
        ;;
    pipewire)
        e2e_requiert pipewire wireplumber pipewire-pulse
        # wireplumber s'arrête sans bus de session.
        [[ "$DBUS_SESSION_BUS_ADDRESS" == "unix:path=$E2E_TEMP/"* ]] || e2e_echec "e2e_bus doit précéder e2e_son pipewire"
        local p
        # Celle d'un pipewire tué reste là : on n'attendrait pas le nouveau.
        rm -f "$XDG_RUNTIME_DIR/pipewire-0" "$XDG_RUNTIME_DIR/pipewire-0.lock"
        for p in pipewire wireplumber pipewire-pulse; do
            e2e_demarre "$p" "$p"
            E2E_SON_PIDS+=("$E2E_PID")
            # Les deux autres se connectent à pipewire, et s'arrêtent s'il n'est pas encore là.
            [[ $p == pipewire ]] && e2e_attends_que --pid "$E2E_PID" 10 "pipewire n'ouvre pas sa prise" \
                test -S "$XDG_RUNTIME_DIR/pipewire-0"
        done
        ;;
    *) e2e_echec "serveur de son inconnu : $E2E_SON_SERVEUR" ;;
    esac
    E2E_PULSE_PID=${E2E_SON_PIDS[-1]}
    e2e_attends_que --pid "$E2E_PULSE_PID" 10 "le serveur de son ne répond pas" pactl info
    [[ $E2E_SON_SERVEUR == pipewire ]] && pactl load-module module-null-sink sink_name=horloge >/dev/null
    pactl set-default-sink horloge >/dev/null
    e2e__gardien horloge
    E2E_GARDIEN_PID=$E2E_PID
    e2e_info "serveur de son $E2E_SON_SERVEUR prêt ($PULSE_SERVER, PID $E2E_PULSE_PID)"
}

# e2e_son_evier nom : un évier nul de plus, tournant ; la sortie par défaut ne change pas.
e2e_son_evier() {
    pactl load-module module-null-sink sink_name="$1" >/dev/null || e2e_echec "évier $1 refusé"
    e2e__gardien "$1"
}

# Le flux gardien de l'évier $1 (PID dans E2E_PID), jusqu'à ce que l'évier tourne.
e2e__gardien() {
    e2e_demarre "gardien-$1" pacat --playback --raw --format=s16le --rate=44100 --channels=2 \
        --latency-msec=10 -d "$1" /dev/zero
    e2e_attends_que --pid "$E2E_PID" 5 "l'évier $1 ne tourne pas" e2e__evier_tourne "$1"
}

# e2e_son_arrete : le serveur de son tué (SIGKILL, comme un serveur qui plante) ; les gardiens
# s'arrêtent avec lui.
e2e_son_arrete() {
    local pid
    for pid in "${E2E_SON_PIDS[@]}"; do
        kill -KILL -- "-$pid" 2>/dev/null
    done
    for pid in "${E2E_SON_PIDS[@]}"; do
        e2e_arrete "$pid"
    done
    e2e_arrete "$E2E_GARDIEN_PID"
    e2e_info "serveur de son $E2E_SON_SERVEUR arrêté"
}

e2e__evier_tourne() { pactl list short sinks 2>/dev/null | grep -q "^[0-9]*[[:space:]]$1[[:space:]].*RUNNING"; }

# e2e_enregistre fichier.wav [évier=horloge] : enregistre le moniteur de l'évier en continu (mono,
# 44100 Hz, 16 bits) jusqu'à e2e_arrete_enregistrement. Un chemin relatif va dans les
# artefacts. Rend la main quand le premier bloc est écrit : tout son joué ensuite y est.
#
# Origine des temps : l'enregistreur date chaque bloc reçu de parec ; le minimum de
# (heure d'arrivée - fin du bloc / taux) est l'heure réelle où l'échantillon 0 a été
# mixé, à la latence de transport près (blocs de ~2,5 ms, retard médian mesuré < 1 ms).
# Elle ne dépend ni du lancement de parec (qui coûte ici 5 à 10 ms, variables) ni d'un
# retard passager de la machine. Un bip de référence joué par paplay hériterait de ce même
# coût de lancement ; la fin de l'enregistrement, de la mise en tampon de parec.
# Contrôle : un son paraît 1 à 3 ms avant que « pactl subscribe » n'annonce son flux.
e2e_enregistre() {
    local f=$1 evier=${2:-horloge}
    [[ "$f" == /* ]] || f=$E2E_ARTEFACTS/$f
    [[ -n "${E2E__ENR_PAREC:-}" ]] && e2e_echec "un enregistrement est déjà en cours"
    local tube=$E2E_TEMP/enregistrement.$RANDOM
    mkfifo "$tube"
    E2E_ENREGISTREMENT=$f
    E2E__ENR_ORIGINE=${f%.wav}.origine
    rm -f "$E2E__ENR_ORIGINE"
    e2e_demarre enregistreur bash -c 'exec "$1" --taux 44100 --canaux 1 "$2" "$3" <"$4"' _ \
        "$E2E_OUTILS/enregistreur" "$f" "$E2E__ENR_ORIGINE" "$tube"
    E2E__ENR_PID=$E2E_PID
    # Le canal gauche, tel qu'un haut-parleur le reçoit : PipeWire mêle les deux canaux d'un
    # moniteur en les additionnant (un son mono y monte de 3 dB), PulseAudio en les moyennant.
    e2e_demarre parec bash -c 'exec parec -d "$2.monitor" --raw --format=s16le --rate=44100 --channels=1 --channel-map=front-left --latency-msec=10 >"$1"' _ "$tube" "$evier"
    E2E__ENR_PAREC=$E2E_PID
    e2e_attends_que --pid "$E2E__ENR_PID" --pas 0.01 5 "l'enregistrement ne démarre pas" test -s "$E2E__ENR_ORIGINE"
}

# e2e_arrete_enregistrement : fin de parec, l'enregistreur voit la fin du flux, ferme le
# WAV et écrit l'origine définitive ; E2E_ORIGINE la reprend.
e2e_arrete_enregistrement() {
    [[ -n "${E2E__ENR_PAREC:-}" ]] || e2e_echec "aucun enregistrement en cours"
    e2e_arrete "$E2E__ENR_PAREC"
    E2E__ENR_PAREC=
    e2e_attends_fin "$E2E__ENR_PID" 5 || e2e_echec "l'enregistreur a échoué (voir $E2E_ARTEFACTS/enregistreur.log)"
    E2E_ORIGINE=$(sed -n 's/^origine=//p' "$E2E__ENR_ORIGINE")
    [[ -n "$E2E_ORIGINE" ]] || e2e_echec "origine de l'enregistrement introuvable"
    e2e_info "enregistrement $(basename "$E2E_ENREGISTREMENT") : $(sed -n 's/^duree=//p' "$E2E__ENR_ORIGINE") s," \
        "retard médian des blocs $(sed -n 's/^retard_median_ms=//p' "$E2E__ENR_ORIGINE") ms"
}

# e2e_attends_jusqua epoch : dort jusqu'à cette heure réelle (retard mesuré ~1 ms).
e2e_attends_jusqua() {
    local s=${1%%.*} f=${1#*.} reste
    [[ "$1" == *.* ]] || f=0
    f=${f}000000
    e2e__us
    reste=$((s * 1000000 + 10#${f:0:6} - E2E__US))
    ((reste > 0)) || return 0
    printf -v reste '%d.%06d' $((reste / 1000000)) $((reste % 1000000))
    e2e_dors "$reste"
    return 0
}

# e2e_attends_heure_fictive "AAAA-MM-JJ hh:mm:ss[.fff]" : dort jusqu'à ce que l'horloge
# fictive du programme (lancé avec --heure) affiche cette heure.
e2e_attends_heure_fictive() {
    local fictif
    fictif=$(date -d "$1" +%s.%N) || e2e_echec "heure illisible : $1"
    e2e_attends_jusqua "$(e2e_calcule "$fictif - ${E2E_DECALAGE:?programme lancé sans --heure}")"
}

# e2e_position epoch : position (s) dans le dernier enregistrement d'une heure réelle.
e2e_position() { e2e_calcule "$1 - ${E2E_ORIGINE:?aucun enregistrement arrêté}"; }

# e2e_position_heure "AAAA-MM-JJ hh:mm:ss[.fff]" : position où l'horloge fictive du
# programme (lancé avec --heure) affichait cette heure.
e2e_position_heure() {
    local fictif
    fictif=$(date -d "$1" +%s.%N) || e2e_echec "heure illisible : $1"
    e2e_calcule "$fictif - ${E2E_DECALAGE:?programme lancé sans --heure} - ${E2E_ORIGINE:?aucun enregistrement arrêté}"
}

# e2e_sons fichier.wav [options de debuts_sons] : « début fin pic » par son.
e2e_sons() {
    local f=$1
    shift
    [[ "$f" == /* ]] || f=$E2E_ARTEFACTS/$f
    "$E2E_OUTILS/debuts_sons" "$@" "$f"
}

# ---------------------------------------------------------------- le programme

declare -a E2E__COPIES=()

# e2e_copie_dossier [nom=programme] : copie du dossier du programme dans le dossier temporaire,
# avec les réglages livrés ; son chemin est dans E2E_DOSSIER.
e2e_copie_dossier() {
    local source=$CV_BUILD/ChronoVocalis
    [[ -x "$source/chronovocalis" ]] || e2e_echec "programme absent : $source/chronovocalis"
    E2E_DOSSIER=$E2E_TEMP/${1:-programme}
    rm -rf "$E2E_DOSSIER"
    cp -a "$source" "$E2E_DOSSIER"
    # Les réglages livrés, même si l'horloge construite a déjà tourné et les a changés.
    cp "$CV_SOURCE"/resources/defaults/* "$E2E_DOSSIER/"
    E2E__COPIES+=("$E2E_DOSSIER")
}

# Bibliothèque de libfaketime, variante multi-fils (Qt et libpulse ont leurs fils).
e2e__libfaketime() {
    local l
    for l in /usr/lib/*/faketime/libfaketimeMT.so.1 /usr/lib/faketime/libfaketimeMT.so.1; do
        [[ -f "$l" ]] && {
            echo "$l"
            return 0
        }
    done
    return 1
}

# e2e_lance_programme [--heure "AAAA-MM-JJ hh:mm:ss"] [--env VAR=valeur]… dossier [args…]
# Lance chronovocalis depuis « dossier » (il y lit ses réglages) sur l'écran et le serveur
# de son du test ; PID dans E2E_PROGRAMME_PID, sortie dans programme.log. Le programme
# hérite de LC_ALL=C.UTF-8 : --env LC_ALL=fr_FR.UTF-8 lui donne des dates en français
# (Qt a ses propres données de locale ; glibc, sans cette locale, reste en C).
#
# --heure : horloge fictive par libfaketime, en décalage fixe (FAKETIME="+N") et non en
# date de départ (« @… ») : le départ « @ » compte depuis le chargement de la bibliothèque
# dans chaque processus (un programme relancé repart de la même heure), instant connu à
# quelques dizaines de ms près ; un décalage donne exactement
# heure fictive = heure réelle + E2E_DECALAGE. Le décalage est entier (un décimal se lit
# selon la locale du programme) : on attend le début d'une seconde pour que l'heure
# fictive de départ tombe à quelques ms de celle demandée. LD_PRELOAD direct et non la
# commande faketime, qui reste parente du programme : le PID serait le sien.
# CLOCK_MONOTONIC n'est pas truqué (QTimer, QDeadlineTimer et libpulse s'y fient ;
# truqué, il est décalé du même nombre et marche aussi, mais rien n'y gagne).
# --saut : le décalage est lu dans un fichier à chaque lecture de l'heure (FAKETIME_NO_CACHE),
# et e2e_saute_heure le change pendant que le programme tourne : l'heure bondit, comme réglée
# à la main ou au sortir d'une veille.
e2e_lance_programme() {
    local heure='' saut=''
    local -a env=(QT_QPA_PLATFORM=xcb)
    while [[ "${1:-}" == --* ]]; do
        case $1 in
        --heure) heure=$2 ;;
        --saut) saut=1 && shift && continue ;;
        --env) env+=("$2") ;;
        *) e2e_echec "e2e_lance_programme : option inconnue $1" ;;
        esac
        shift 2
    done
    local dossier=$1
    shift
    local exe=$dossier/chronovocalis
    [[ -x "$exe" ]] || e2e_echec "pas d'exécutable dans $dossier"
    [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]] || e2e_echec "e2e_x ou e2e_weston doit précéder e2e_lance_programme"
    E2E_DECALAGE=
    if [[ -n "$heure" ]]; then
        local lib cible maintenant
        lib=$(e2e__libfaketime) || e2e_echec "libfaketime absente (paquet faketime)"
        cible=$(date -d "$heure" +%s) || e2e_echec "heure illisible : $heure"
        maintenant=${EPOCHREALTIME/,/.}
        e2e_dors "$(e2e_calcule "1 - ($maintenant - int($maintenant))")"
        maintenant=${EPOCHREALTIME%[.,]*}
        E2E_DECALAGE=$((cible - maintenant))
        env+=("LD_PRELOAD=$lib" FAKETIME_DONT_FAKE_MONOTONIC=1)
        if [[ -n "$saut" ]]; then
            E2E__FICHIER_HEURE=$E2E_TEMP/faketime
            printf '%+d\n' "$E2E_DECALAGE" >"$E2E__FICHIER_HEURE"
            env+=("FAKETIME_TIMESTAMP_FILE=$E2E__FICHIER_HEURE" FAKETIME_NO_CACHE=1)
        else
            env+=("FAKETIME=$(printf '%+d' "$E2E_DECALAGE")")
        fi
    fi
    e2e_demarre programme bash -c 'cd "$1" && shift && exec env "$@"' _ "$dossier" "${env[@]}" "$exe" "$@"
    E2E_PROGRAMME_PID=$E2E_PID
    e2e_info "programme lancé (PID $E2E_PROGRAMME_PID)${heure:+, horloge fictive à $heure}"
}

# e2e_saute_heure secondes : l'heure fictive du programme (lancé avec --saut) bondit d'autant ;
# le fichier est remplacé d'un coup, jamais lu à moitié écrit.
e2e_saute_heure() {
    [[ -n "${E2E__FICHIER_HEURE:-}" ]] || e2e_echec "programme lancé sans --saut"
    E2E_DECALAGE=$((E2E_DECALAGE + $1))
    printf '%+d\n' "$E2E_DECALAGE" >"$E2E__FICHIER_HEURE.nouveau"
    mv -f "$E2E__FICHIER_HEURE.nouveau" "$E2E__FICHIER_HEURE"
}

# ---------------------------------------------------------------- écran

# e2e_fenetre_visible regex : vrai si une fenêtre visible porte un titre qui y répond.
e2e_fenetre_visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# e2e_attends_fenetre regex [délai en s entières, 10] : attend une fenêtre visible de ce
# titre ; son identifiant (la première) est dans E2E_FENETRE. Échec du test sinon.
# xdotool lit le motif octet par octet : « . » ne couvre pas une lettre accentuée.
e2e_attends_fenetre() {
    local motif=$1 delai=${2:-10}
    e2e_sonde "$delai" e2e__cherche_fenetre "$motif" || {
        e2e_capture "fenetre_absente"
        e2e_echec "pas de fenêtre visible « $motif » en $delai s"
    }
    E2E_FENETRE=$(head -n 1 <<<"$E2E__IDS")
}
# Les fenêtres trouvées d'un coup dans E2E__IDS : celle qu'on rend est celle qu'on a vue.
e2e__cherche_fenetre() { E2E__IDS=$(xdotool search --onlyvisible --name "$1" 2>/dev/null) && [[ -n "$E2E__IDS" ]]; }

# e2e_attends_disparition regex [délai en s entières, 10] : plus aucune fenêtre visible de ce
# titre ; sinon capture et échec.
e2e_attends_disparition() {
    e2e_sonde "${2:-10}" e2e__fenetre_absente "$1" || {
        e2e_capture reste_affichee
        e2e_echec "la fenêtre « $1 » est toujours là"
    }
}
e2e__fenetre_absente() { ! e2e_fenetre_visible "$1"; }

# e2e_capture nom : capture de tout l'écran dans les artefacts (nom.png), chemin dans E2E_CAPTURE.
e2e_capture() {
    E2E_CAPTURE=$E2E_ARTEFACTS/$1.png
    import -window root "$E2E_CAPTURE" 2>>"$E2E_ARTEFACTS/import.log" ||
        e2e_echec "capture d'écran impossible (voir $E2E_ARTEFACTS/import.log)"
}
