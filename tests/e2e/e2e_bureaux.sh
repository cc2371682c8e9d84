#!/usr/bin/env bash
# Le vrai programme sur deux vrais bureaux, chacun sur son écran et son bus de session :
# xfwm4 + xfce4-panel (icône par StatusNotifier, menu montré par le panneau) et openbox + tint2
# (icône XEmbed, menu ouvert par le programme). Sur chacun :
# 1. l'icône est là avec sa bulle ; réduite par le gestionnaire (CV_visible faux), la fenêtre
#    quitte la barre des tâches ; un clic gauche sur l'icône la ramène à sa place ;
# 2. un clic droit ouvre le menu, « Il est hh:mm » ; « Ferme Chrono Vocalis » termine le
#    programme, réglages écrits, place inchangée (pas de glissement de la taille du cadre) ;
# 3. déplacée, fermée, relancée trois fois : toujours à la même place ;
# 4. le panneau lancé 5 s après l'horloge : l'icône y paraît, la fenêtre réduite s'y range et en
#    revient par un clic gauche.
# shellcheck source=tests/e2e/commun.sh disable=SC2317 # fonctions appelées par « attends »
source "$(dirname "$0")/commun.sh"
e2e_prepare 240
e2e_requiert xdotool xwininfo xprop import convert gdbus

titre='^ [0-9]{2}:[0-9]{2} - '
bande="1024x40+0+728" # bas de l'écran, où sont les deux panneaux

fenetre_horloge() { xdotool search --pid "$E2E_PROGRAMME_PID" --name "$titre" 2>/dev/null | head -n 1; }
etat_carte() { xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ { print $3 }'; }
geometrie() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /^ *Width:/ { l = $2 } /^ *Height:/ { h = $2 } END { print x, y, l, h }'
}
# État de la fenêtre pour le gestionnaire : Normal, Iconic (dans la barre des tâches), Withdrawn ou
# rien (retirée : cachée par le programme).
etat_wm() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state:/ { print $3 }'; }
valeur_ini() { tr -d '\r' <"$E2E_DOSSIER/CV32.ini" | sed -n "s/^$1 *= *//p"; }

attends() {
    local message=$1 i
    shift
    for ((i = 0; i < 200; ++i)); do
        "$@" && return 0
        e2e_dors 0.05
    done
    e2e_capture "echec_$E2E_BUREAU"
    e2e_echec "$message"
}
est_carte() { [[ "$(etat_carte "$1")" == "$2" ]]; }
est_retiree() { [[ "$(etat_wm "$1")" == @(|Withdrawn) ]]; }

# L'icône : une fenêtre du programme dans la bande (XEmbed), sinon ce que le panneau a dessiné
# de neuf dans la bande depuis la capture $1 (StatusNotifier). ICONE_X, ICONE_Y : son centre.
cherche_icone() {
    local avant=$1 w x y l h boite
    for w in $(xdotool search --onlyvisible --pid "$E2E_PROGRAMME_PID" 2>/dev/null); do
        read -r x y l h < <(geometrie "$w")
        if ((y >= 728 && l <= 64)); then
            ICONE_X=$((x + l / 2)) ICONE_Y=$((y + h / 2)) ICONE_GEO="${l}x${h}+${x}+${y}" ICONE_XEMBED=$w
            return 0
        fi
    done
    [[ -n "$avant" ]] || return 1
    e2e_capture icone_cherchee
    boite=$(convert "$avant" "$E2E_CAPTURE" -compose difference -composite -crop "$bande" +repage \
        -colorspace Gray -threshold 10% -trim -format '%w %h %X %Y' info: 2>/dev/null)
    read -r l h x y <<<"$boite"
    x=${x#+} y=${y#+}
    ((l >= 8 && h >= 8)) || return 1
    ICONE_X=$((x + l / 2)) ICONE_Y=$((y + 728 + h / 2)) ICONE_GEO="${l}x${h}+${x}+$((y + 728))" ICONE_XEMBED=
}

# Nouvelles fenêtres affichées depuis la liste $1 (identifiants triés) : la plus grande.
nouvelle_fenetre() {
    local avant=$1 w x y l h meilleure=0
    MENU=
    for w in $(comm -13 <(echo "$avant") <(xdotool search --onlyvisible --name '' 2>/dev/null | sort)); do
        read -r x y l h < <(geometrie "$w")
        ((l * h > meilleure)) && meilleure=$((l * h)) MENU=$w MENU_GEO="$x $y $l $h"
    done
    [[ -n "$MENU" ]]
}

# Service D-Bus de l'icône inscrite auprès du veilleur (vide s'il n'y en a pas).
item_dbus() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems 2>/dev/null | grep -o "':[0-9.]*" | tr -d "'" | head -n 1
}

copie_reglee() {
    e2e_copie_dossier "$1"
    sed -i -E "s/^Réduction = .*/Réduction = $2\r/; s/^CV_visible = .*/CV_visible = False\r/" "$E2E_DOSSIER/CV32.ini"
}

bureau() {
    local wm=$1 panneau=$2
    E2E_BUREAU=$wm
    e2e_info "================ $wm + $panneau"
    e2e_x
    e2e_bus
    e2e_gestionnaire "$wm"
    "e2e_$panneau"
    e2e_dors 1
    e2e_capture "${wm}_panneau_seul"
    local vide=$E2E_CAPTURE

    # ---- 1. icône, bulle, réduction par le gestionnaire, clic gauche
    copie_reglee "${wm}_menu" 0
    local livre
    livre=$(cat "$E2E_DOSSIER/CV32.ini")
    e2e_lance_programme "$E2E_DOSSIER"
    e2e_attends_fenetre "$titre" 20
    local horloge=$E2E_FENETRE place
    attends "pas d'icône sur $panneau" cherche_icone "$vide"
    e2e_info "icône ${ICONE_GEO}${ICONE_XEMBED:+ (XEmbed, fenêtre $ICONE_XEMBED)}"
    local item
    item=$(item_dbus)
    if [[ "$panneau" == panneau_xfce ]]; then
        [[ -n "$item" && -z "$ICONE_XEMBED" ]] || e2e_echec "xfce4-panel : l'icône n'est pas passée par StatusNotifier"
        local bulle
        bulle=$(gdbus call --session --dest "$item" --object-path /StatusNotifierItem --method \
            org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem ToolTip)
        [[ "$bulle" == *"Icône dans le system tray"* ]] || e2e_echec "bulle de l'icône : $bulle"
    else
        [[ -n "$ICONE_XEMBED" ]] || e2e_echec "tint2 : l'icône n'est pas une fenêtre XEmbed"
    fi
    # La bulle à l'écran, sous le pointeur posé sur l'icône.
    local avant
    avant=$(xdotool search --onlyvisible --name '' 2>/dev/null | sort)
    xdotool mousemove "$ICONE_X" "$ICONE_Y"
    attends "$panneau : pas de bulle sur l'icône" nouvelle_fenetre "$avant"
    e2e_dors 0.3
    e2e_capture "${wm}_bulle"
    xdotool mousemove 500 400
    place=$(geometrie "$horloge")
    xdotool windowminimize "$horloge"
    attends "réduite par $wm, la fenêtre n'est pas retirée de la barre des tâches" est_carte "$horloge" IsUnMapped
    attends "réduite par $wm : état $(etat_wm "$horloge")" est_retiree "$horloge"
    e2e_capture "${wm}_reduite"
    xdotool mousemove "$ICONE_X" "$ICONE_Y" click 1
    attends "le clic gauche ne ramène pas la fenêtre" est_carte "$horloge" IsViewable
    e2e_egal "$place" "$(geometrie "$horloge")" "$wm : place de la fenêtre revenue"
    e2e_capture "${wm}_revenue"

    # ---- 2. menu au clic droit, fermeture par le menu
    avant=$(xdotool search --onlyvisible --name '' 2>/dev/null | sort)
    local heure_avant heure_apres
    heure_avant=$(date +%H:%M)
    xdotool mousemove "$ICONE_X" "$ICONE_Y" click 3
    attends "$panneau : le clic droit n'ouvre pas de menu" nouvelle_fenetre "$avant"
    heure_apres=$(date +%H:%M)
    e2e_dors 0.3
    e2e_capture "${wm}_menu"
    local mx my ml mh
    read -r mx my ml mh <<<"$MENU_GEO"
    e2e_info "menu ${ml}x${mh}+${mx}+${my}"
    if [[ -n "$item" ]]; then
        # Le menu montré par le panneau est celui du programme, ses légendes refaites à l'ouverture.
        local legendes
        legendes=$(gdbus call --session --dest "$item" --object-path /MenuBar \
            --method com.canonical.dbusmenu.GetLayout -- 0 -1 '@as []')
        [[ "$legendes" == *"'Il est $heure_avant'"* || "$legendes" == *"'Il est $heure_apres'"* ]] ||
            e2e_echec "légendes du menu : $legendes"
        [[ "$legendes" == *"'Agrandir'"*"'Ferme Chrono Vocalis'"* ]] || e2e_echec "entrées du menu : $legendes"
    else
        xdotool search --pid "$E2E_PROGRAMME_PID" 2>/dev/null | grep -qx "$MENU" ||
            e2e_echec "tint2 : le menu n'est pas celui du programme"
    fi
    # Trois entrées de même hauteur : « Ferme Chrono Vocalis » est la dernière.
    xdotool mousemove $((mx + ml / 2)) $((my + mh * 5 / 6))
    e2e_dors 0.3
    xdotool click 1
    e2e_attends_fin "$E2E_PROGRAMME_PID" 15
    e2e_egal 0 "$?" "$wm : code de sortie après « Ferme Chrono Vocalis »"
    local attendu
    attendu=$(sed -E '/^;/! s/^([^=]*=) /\1/' <<<"$livre")
    e2e_egal "$attendu" "$(cat "$E2E_DOSSIER/CV32.ini")" "$wm : CV32.ini écrit à la fermeture par le menu"

    # ---- 3. place gardée d'un lancement à l'autre
    e2e_copie_dossier "${wm}_place"
    local n voulue="" haut gauche
    for n in 1 2 3 4; do
        e2e_lance_programme "$E2E_DOSSIER"
        e2e_attends_fenetre "$titre" 20
        horloge=$E2E_FENETRE
        if ((n == 1)); then
            xdotool windowmove "$horloge" 300 200
            e2e_dors 0.5
            voulue=$(geometrie "$horloge")
        else
            attends "$wm, lancement $n : fenêtre à $(geometrie "$horloge") au lieu de $voulue" \
                test "$(geometrie "$horloge")" == "$voulue"
        fi
        kill -TERM "$E2E_PROGRAMME_PID"
        e2e_attends_fin "$E2E_PROGRAMME_PID" 15
        haut=$(valeur_ini CV_top) gauche=$(valeur_ini CV_left)
        e2e_info "lancement $n : fenêtre $voulue, rangée CV_left=$gauche CV_top=$haut"
        ((n == 1)) && local haut1=$haut gauche1=$gauche
        e2e_egal "$gauche1 $haut1" "$gauche $haut" "$wm, lancement $n : place rangée"
    done

    # ---- 4. panneau lancé 5 s après l'horloge
    e2e_arrete "$E2E_PANNEAU_PID"
    copie_reglee "${wm}_panneau_tardif" 1
    e2e_lance_programme "$E2E_DOSSIER"
    for ((n = 0; n < 200; ++n)); do
        horloge=$(fenetre_horloge)
        [[ -n "$horloge" && "$(etat_wm "$horloge")" == Iconic ]] && break
        e2e_dors 0.05
    done
    e2e_egal Iconic "$(etat_wm "$horloge")" "$wm sans panneau : la fenêtre réduite reste dans la barre des tâches"
    e2e_dors 5
    "e2e_$panneau"
    attends "panneau tardif : pas d'icône" cherche_icone ""
    attends "panneau tardif : la fenêtre réduite ne se range pas derrière l'icône" est_retiree "$horloge"
    e2e_capture "${wm}_panneau_tardif"
    xdotool mousemove "$ICONE_X" "$ICONE_Y" click 1
    for ((n = 0; n < 100; ++n)); do
        est_carte "$horloge" IsViewable && break
        e2e_dors 0.05
    done
    e2e_capture "${wm}_panneau_tardif_clic"
    e2e_egal IsViewable "$(etat_carte "$horloge")" "panneau tardif, clic gauche (état pour $wm : $(etat_wm "$horloge"))"
    kill -TERM "$E2E_PROGRAMME_PID"
    e2e_attends_fin "$E2E_PROGRAMME_PID" 15
    e2e_egal 0 "$?" "$wm : code de sortie après SIGTERM"

    e2e_arrete "$E2E_PANNEAU_PID"
    e2e_arrete "$E2E_WM_PID"
    e2e_arrete "$E2E_BUS_PID"
    e2e_arrete "$E2E_X_PID"
}

bureau xfwm4 panneau_xfce
bureau openbox tint2
exit 0
