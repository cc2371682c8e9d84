#!/usr/bin/env bash
# Le vrai programme et une vraie zone de notification (trayer, sans gestionnaire de fenêtres).
# 1. Démarré réduit avec CV_visible faux : la fenêtre n'est pas affichée, l'icône est dans la
#    zone ; un clic gauche sur l'icône ramène la fenêtre ; un clic droit ouvre le menu sous le
#    pointeur et « Ferme Chrono Vocalis » termine le programme, réglages écrits, code 0.
# 2. Sans zone de notification, la fenêtre réduite reste affichée ; la zone arrive : la fenêtre
#    se range derrière l'icône ; la zone s'en va : elle revient ; fermeture demandée (SIGTERM)
#    pendant que la fenêtre « Informations » est ouverte : fin propre, réglages écrits.
#
# Sans gestionnaire de fenêtres, rien ne réduit vraiment une fenêtre : pour Qt elle est réduite
# (état demandé), mais une fenêtre réduite affichée est simplement visible à l'écran. Une fenêtre
# cachée, elle, n'est pas affichée du tout (IsUnMapped) : c'est ce que l'on vérifie.
source "$(dirname "$0")/commun.sh"
e2e_prepare 180
e2e_requiert xdotool xwininfo import convert

e2e_x
e2e_zone_notification
e2e_son

titre='^ [0-9]{2}:[0-9]{2} - '

# Identifiant de la fenêtre de l'horloge, affichée ou non (vide si absente).
fenetre_horloge() { xdotool search --pid "$E2E_PROGRAMME_PID" --name "$titre" 2>/dev/null | head -n 1; }

# « IsViewable » ou « IsUnMapped » (ou « IsUnviewable »).
etat_carte() { xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ { print $3 }'; }

# Géométrie absolue « x y l h » d'une fenêtre.
geometrie() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /^ *Width:/ { l = $2 } /^ *Height:/ { h = $2 } END { print x, y, l, h }'
}

# Fenêtres affichées du programme, « id x y l h » par ligne.
fenetres_affichees() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$E2E_PROGRAMME_PID" 2>/dev/null); do
        echo "$w $(geometrie "$w")"
    done
}

# attends_etat fenetre etat [délai s] : attend l'état d'affichage voulu.
attends_etat() {
    local w=$1 voulu=$2 delai=${3:-10} i
    for ((i = 0; i < delai * 20; ++i)); do
        [[ "$(etat_carte "$w")" == "$voulu" ]] && return 0
        e2e_dors 0.05
    done
    e2e_capture "etat_$voulu"
    e2e_echec "la fenêtre $w n'est pas $voulu après $delai s (elle est $(etat_carte "$w"))"
}

# Cherche l'icône du programme affichée dans le panneau de trayer : E2E_ICONE, ICONE_X, ICONE_Y (centre).
attends_icone() {
    local panneau px py pl ph i w x y l h
    panneau=$(xdotool search --onlyvisible --pid "$E2E_TRAYER_PID" 2>/dev/null | head -n 1)
    read -r px py pl ph < <(geometrie "$panneau")
    for ((i = 0; i < 200; ++i)); do
        while read -r w x y l h; do
            [[ -n "$w" ]] || continue
            if ((x >= px && y >= py && x + l <= px + pl && y + h <= py + ph)); then
                E2E_ICONE=$w
                ICONE_X=$((x + l / 2))
                ICONE_Y=$((y + h / 2))
                ICONE_GEO="${l}x${h}+${x}+${y}"
                return 0
            fi
        done < <(fenetres_affichees)
        e2e_dors 0.05
    done
    e2e_capture icone_absente
    e2e_echec "pas d'icône du programme dans la zone de notification"
}

# L'icône dessinée : ses pixels varient (le fond du panneau est uni).
verifie_icone_dessinee() {
    local ecart
    ecart=$(convert "$1" -crop "$ICONE_GEO" -colorspace Gray -format '%[fx:standard_deviation]' info:)
    awk -v e="$ecart" 'BEGIN { exit !(e > 0.1) }' || e2e_echec "l'icône n'est pas dessinée (écart type $ecart)"
}

# ---------------------------------------------------------------- 1. démarrage caché, clics, menu

e2e_copie_dossier premier
sed -i -E 's/^Réduction = .*/Réduction = 1\r/; s/^CV_visible = .*/CV_visible = False\r/' "$E2E_DOSSIER/CV32.ini"
livre=$(cat "$E2E_DOSSIER/CV32.ini")
e2e_lance_programme "$E2E_DOSSIER"
attends_icone
e2e_info "icône $E2E_ICONE dans la zone ($ICONE_GEO)"
horloge=$(fenetre_horloge)
[[ -n "$horloge" ]] || e2e_echec "la fenêtre de l'horloge n'existe pas"
e2e_egal IsUnMapped "$(etat_carte "$horloge")" "fenêtre au démarrage réduit, CV_visible faux"
mapfile -t affichees < <(fenetres_affichees)
e2e_egal 1 "${#affichees[@]}" "fenêtres affichées du programme (l'icône seule) : ${affichees[*]}"
e2e_capture icone_seule
verifie_icone_dessinee "$E2E_CAPTURE"

# Clic gauche : la fenêtre revient, à sa place (CV_left = CV_top = 1200 twips, 80 pixels).
xdotool mousemove "$ICONE_X" "$ICONE_Y" click 1
attends_etat "$horloge" IsViewable
e2e_egal "80 80 171 53" "$(geometrie "$horloge")" "position et taille de la fenêtre revenue"
e2e_capture fenetre_revenue

# Clic droit : le menu s'ouvre sous le pointeur, même fenêtre affichée.
xdotool mousemove "$ICONE_X" "$ICONE_Y" click 3
menu=
for ((i = 0; i < 200; ++i)); do
    while read -r w x y l h; do
        [[ -n "$w" && "$w" != "$E2E_ICONE" && "$w" != "$horloge" ]] || continue
        menu=$w
        read -r mx my ml mh <<<"$x $y $l $h"
    done < <(fenetres_affichees)
    [[ -n "$menu" ]] && break
    e2e_dors 0.05
done
[[ -n "$menu" ]] || {
    e2e_capture menu_absent
    e2e_echec "le clic droit n'ouvre pas de menu"
}
e2e_dors 0.2
e2e_capture menu
e2e_info "menu ${ml}x${mh}+${mx}+${my}, pointeur $ICONE_X,$ICONE_Y"
# Posé au pointeur ; près du coin de l'écran, Qt le retourne pour qu'il tienne : le pointeur
# est alors sur son bord.
((ICONE_X >= mx - 1 && ICONE_X <= mx + ml && ICONE_Y >= my - 1 && ICONE_Y <= my + mh)) ||
    e2e_echec "le menu (${ml}x${mh}+${mx}+${my}) n'est pas au pointeur ($ICONE_X,$ICONE_Y)"

# Trois entrées de même hauteur : « Ferme Chrono Vocalis » est la dernière.
xdotool mousemove $((mx + ml / 2)) $((my + mh * 5 / 6))
e2e_dors 0.2
xdotool click 1
e2e_attends_fin "$E2E_PROGRAMME_PID" 15
statut=$?
e2e_egal 0 "$statut" "code de sortie après « Ferme Chrono Vocalis »"
# Fermée à l'état normal, à la place d'où elle est partie ; chaque valeur collée au « = ».
attendu=$(sed -E '/^;/! s/^([^=]*=) /\1/; s/^Réduction =1/Réduction =0/' <<<"$livre")
e2e_egal "$attendu" "$(cat "$E2E_DOSSIER/CV32.ini")" "CV32.ini écrit à la fermeture par le menu"

# ---------------------------------------------------------------- 2. zone absente, puis présente, puis partie

e2e_arrete "$E2E_TRAYER_PID"
e2e_copie_dossier second
sed -i -E 's/^Réduction = .*/Réduction = 1\r/; s/^CV_visible = .*/CV_visible = False\r/' "$E2E_DOSSIER/CV32.ini"
livre=$(cat "$E2E_DOSSIER/CV32.ini")
e2e_lance_programme "$E2E_DOSSIER"
# Sans zone, l'icône ne pourrait pas la rendre : la fenêtre réduite reste affichée.
e2e_attends_fenetre "$titre" 20
horloge=$E2E_FENETRE
e2e_capture sans_zone

e2e_zone_notification
attends_icone
attends_etat "$horloge" IsUnMapped
e2e_info "zone arrivée : icône $E2E_ICONE, fenêtre rangée derrière elle"

e2e_arrete "$E2E_TRAYER_PID"
attends_etat "$horloge" IsViewable
e2e_info "zone partie : fenêtre revenue"

e2e_zone_notification
attends_icone
attends_etat "$horloge" IsUnMapped
xdotool mousemove "$ICONE_X" "$ICONE_Y" click 1
attends_etat "$horloge" IsViewable

# Barre d'outils (clic gauche sur l'horloge), puis le bouton Informations (Image3, 4e bouton).
read -r hx hy _ _ < <(geometrie "$horloge")
xdotool mousemove $((hx + 20)) $((hy + 40)) click 1
e2e_dors 0.3
xdotool mousemove $((hx + 48 + 48 + 12)) $((hy + 11)) click 1
e2e_attends_fenetre '^Informations$' 10
e2e_capture informations_ouverte
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15
statut=$?
e2e_egal 0 "$statut" "code de sortie après SIGTERM, « Informations » ouverte"
attendu=$(sed -E '/^;/! s/^([^=]*=) /\1/; s/^Réduction =1/Réduction =0/' <<<"$livre")
e2e_egal "$attendu" "$(cat "$E2E_DOSSIER/CV32.ini")" "CV32.ini écrit à la fermeture, « Informations » ouverte"
exit 0
