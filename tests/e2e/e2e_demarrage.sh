#!/usr/bin/env bash
# Démarrage automatique, de bout en bout, dans un dossier au nom difficile (blancs, guillemets,
# « $ », accent grave, « % », « ; », lettre accentuée) :
# 1. Le programme, lancé avec « Démarre = True », paraît sans avoir chargé de module d'images,
#    écrit son lanceur dans le menu des applications et le recopie dans son dossier ; fermé par
#    SIGTERM, il met ce lanceur dans le dossier autostart (la fermeture relit la case « Image
#    active » dans une fenêtre des réglages jamais montrée, dont le chargement recopie le
#    lanceur). Les lanceurs sont validés ; leur StartupWMClass est la classe de la fenêtre.
# 2. La ligne Exec du lanceur autostart, relue selon les règles des Desktop Entry et lancée
#    depuis un autre dossier dans le dossier de travail donné par Path, démarre l'horloge dans
#    son propre dossier : c'est là qu'elle relit puis réécrit CV32.ini.
source "$(dirname "$0")/commun.sh"
e2e_prepare 180
e2e_requiert desktop-file-validate xdotool xprop realpath

e2e_x
e2e_son

titre='^ [0-9]{2}:[0-9]{2} - '

# valeur cle fichier : la valeur brute d'une clé du lanceur.
valeur() { sed -n "s/^$1=//p" "$2" | head -n 1; }

# desechappe valeur : échappements communs des valeurs (\s \n \t \r \\) ; résultat dans DESECHAPPE.
desechappe() {
    local v=$1 r='' c i
    for ((i = 0; i < ${#v}; ++i)); do
        c=${v:i:1}
        if [[ "$c" == "\\" ]] && ((i + 1 < ${#v})); then
            i=$((i + 1))
            c=${v:i:1}
            case $c in
            s) c=' ' ;;
            n) c=$'\n' ;;
            t) c=$'\t' ;;
            r) c=$'\r' ;;
            esac
        fi
        r+=$c
    done
    DESECHAPPE=$r
}

# analyse_exec ligne : arguments d'une ligne Exec désechappée dans EXEC_ARGS. Guillemets
# doubles où « " ` $ \ » prennent une barre inverse, caractères réservés refusés hors
# guillemets, « %% » pour « % » et aucun autre code de champ. Échoue si la ligne est mal formée.
analyse_exec() {
    local v=$1 n=${#1} i=0 c a b k
    EXEC_ARGS=()
    while ((i < n)); do
        c=${v:i:1}
        if [[ "$c" == ' ' ]]; then
            i=$((i + 1))
            continue
        fi
        a=
        if [[ "$c" == '"' ]]; then
            i=$((i + 1))
            while :; do
                ((i < n)) || return 1
                c=${v:i:1}
                [[ "$c" == '"' ]] && break
                [[ "$c" == '`' || "$c" == '$' ]] && return 1
                if [[ "$c" == "\\" ]]; then
                    i=$((i + 1))
                    c=${v:i:1}
                    [[ "$c" == '"' || "$c" == '`' || "$c" == '$' || "$c" == "\\" ]] || return 1
                fi
                a+=$c
                i=$((i + 1))
            done
            i=$((i + 1))
            ((i >= n)) || [[ "${v:i:1}" == ' ' ]] || return 1
        else
            while ((i < n)); do
                c=${v:i:1}
                [[ "$c" == ' ' ]] && break
                case $c in
                [\"\'\\\>\<\~\|\&\;\$\*\?\#\(\)\`]) return 1 ;;
                esac
                a+=$c
                i=$((i + 1))
            done
        fi
        b=
        for ((k = 0; k < ${#a}; ++k)); do
            c=${a:k:1}
            if [[ "$c" == % ]]; then
                k=$((k + 1))
                [[ "${a:k:1}" == % ]] || return 1
            fi
            b+=$c
        done
        EXEC_ARGS+=("$b")
    done
}

valide() {
    local sortie
    sortie=$(desktop-file-validate "$1" 2>&1) || e2e_echec "desktop-file-validate refuse $1 : $sortie"
    [[ "$sortie" != *error* && "$sortie" != *warning* ]] || e2e_echec "desktop-file-validate sur $1 : $sortie"
}

# ------------------------------------------------------------ 1. premier lancement

e2e_copie_dossier "Chrono d'essai \"95\" \$HOME \`x\` 100% ; été"
programme=$E2E_DOSSIER
reel=$(realpath "$programme")
sed -i 's/^Démarre = False\r$/Démarre = True\r/' "$programme/CV32.ini"
grep -q $'^Démarre = True\r$' "$programme/CV32.ini" || e2e_echec "CV32.ini livré sans la ligne « Démarre = False »"

applications=$XDG_DATA_HOME/applications/chronovocalis.desktop
autostart=$XDG_CONFIG_HOME/autostart/chronovocalis.desktop
[[ -e "$XDG_CONFIG_HOME/autostart" ]] && e2e_echec "le dossier autostart existe avant le test"

e2e_lance_programme "$programme"
premier=$E2E_PROGRAMME_PID
e2e_attends_fenetre "$titre" 15
e2e_info "horloge à l'écran (fenêtre $E2E_FENETRE)"
# Les images livrées se lisent sans les modules d'images de Qt (gif, ico, jpeg), que chercher
# leur format chargerait tous avant que la fenêtre paraisse.
modules=$(grep -o '/[^ ]*/imageformats/[^ ]*' "/proc/$premier/maps" | sort -u)
[[ -z "$modules" ]] || e2e_echec "modules d'images chargés au démarrage : ${modules//$'\n'/ }"

[[ -f "$applications" ]] || e2e_echec "pas de lanceur dans $XDG_DATA_HOME/applications"
[[ -f "$programme/chronovocalis.desktop" ]] || e2e_echec "pas de lanceur dans le dossier du programme"
cmp -s "$applications" "$programme/chronovocalis.desktop" || e2e_echec "le lanceur du programme n'est pas celui du menu"
valide "$applications"
# La classe de la fenêtre (second texte de WM_CLASS) est celle que nomme le lanceur.
classe=$(xprop -id "$E2E_FENETRE" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\(.*\)"$/\1/p')
e2e_egal "$(sed -n 's/^StartupWMClass=//p' "$applications")" "$classe" "classe de la fenêtre et StartupWMClass du lanceur"
# Seule la fenêtre des réglages touche au dossier de démarrage.
[[ -e "$autostart" ]] && e2e_echec "lanceur autostart écrit dès le démarrage"

kill -TERM "$premier"
statut=0
e2e_attends_fin "$premier" 15 || statut=$?
e2e_egal 0 "$statut" "code de sortie après SIGTERM"

[[ -f "$autostart" ]] || e2e_echec "pas de lanceur dans $XDG_CONFIG_HOME/autostart après la fermeture"
valide "$autostart"
cmp -s "$autostart" "$programme/chronovocalis.desktop" || e2e_echec "le lanceur autostart n'est pas celui du programme"
[[ -f "$applications" ]] || e2e_echec "le lanceur du menu a disparu"
grep -qE $'^Démarre *= *True\r$' "$programme/CV32.ini" || e2e_echec "Démarre n'est plus True dans CV32.ini"
cp "$autostart" "$E2E_ARTEFACTS/autostart.desktop"

# ------------------------------------------------------------ 2. lancement par le lanceur

desechappe "$(valeur Exec "$autostart")"
analyse_exec "$DESECHAPPE" || e2e_echec "ligne Exec mal formée : $(valeur Exec "$autostart")"
e2e_egal 1 "${#EXEC_ARGS[@]}" "nombre d'arguments de la ligne Exec"
e2e_egal "$reel/chronovocalis" "${EXEC_ARGS[0]}" "programme de la ligne Exec"
desechappe "$(valeur Path "$autostart")"
dossier_travail=$DESECHAPPE
e2e_egal "$reel" "$dossier_travail" "dossier de travail (Path)"
desechappe "$(valeur Icon "$autostart")"
e2e_egal "$reel/chronovocalis.png" "$DESECHAPPE" "icône (Icon)"
[[ -f "$DESECHAPPE" ]] || e2e_echec "l'icône $DESECHAPPE n'existe pas"

# Un autre dossier garni des mêmes réglages : s'ils y étaient relus, c'est là qu'ils seraient
# réécrits. Les deux CV32.ini sont datés d'avant, pour voir lequel change.
ailleurs=$E2E_TEMP/ailleurs
mkdir -p "$ailleurs"
cp "$programme"/CV32.ini "$programme"/MSG*.ASC "$programme"/fond.bmp "$ailleurs/"
touch -d '2001-01-01 12:00' "$programme/CV32.ini" "$ailleurs/CV32.ini"

# Comme un lanceur de session : depuis son propre dossier courant, il se place dans Path puis
# exécute les arguments de Exec, sans interpréteur de commandes.
# shellcheck disable=SC2016 # les « $ » sont ceux du bash -c
e2e_demarre programme-lanceur bash -c 'cd "$1" && cd "$2" && shift 2 && exec env QT_QPA_PLATFORM=xcb "$@"' \
    _ "$ailleurs" "$dossier_travail" "${EXEC_ARGS[@]}"
second=$E2E_PID
e2e_attends_fenetre "$titre" 15
e2e_info "horloge relancée par son lanceur (fenêtre $E2E_FENETRE)"
e2e_vivant "$second" || e2e_echec "le programme lancé par son lanceur s'est arrêté"
e2e_egal "$reel" "$(realpath "/proc/$second/cwd")" "dossier courant du programme lancé"
e2e_capture relance

kill -TERM "$second"
statut=0
e2e_attends_fin "$second" 15 || statut=$?
e2e_egal 0 "$statut" "code de sortie du programme relancé"

e2e_egal 2001 "$(date -r "$ailleurs/CV32.ini" +%Y)" "CV32.ini de l'autre dossier laissé tel quel"
[[ "$(date -r "$programme/CV32.ini" +%Y)" != 2001 ]] || e2e_echec "CV32.ini du dossier du programme non réécrit"
grep -qE $'^Démarre *= *True\r$' "$programme/CV32.ini" || e2e_echec "Démarre n'est plus True après la relance"
[[ -f "$autostart" ]] || e2e_echec "le lanceur autostart a disparu après la relance"
exit 0
