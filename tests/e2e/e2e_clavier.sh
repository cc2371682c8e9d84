#!/usr/bin/env bash
# Le vrai programme au clavier seul (xdotool key), sous Xvfb, sans gestionnaire de fenêtres :
# 1. Ctrl+P ouvre les réglages, Entrée (« Terminé ») les ferme ; Ctrl+A ouvre les alarmes, Échap
#    les ferme ; F10 montre la barre d'outils, Échap la cache.
# 2. Espace dit l'heure : à 14:37 fictives, « quatorze », « heures », « trente », « sept »,
#    « minutes » entendus dans l'ordre, à leur place ; aucun clic.
# 3. Alt+F4 ferme le programme (code 0) sans gestionnaire de fenêtres pour s'en charger.
# 4. Démarré derrière l'icône de notification (trayer), rappelé d'un clic sur elle : le clavier
#    est à l'horloge, Ctrl+I ouvre « Informations » sans autre clic.
# shellcheck source=commun.sh
source "$(dirname "$0")/commun.sh"
e2e_prepare 240
e2e_requiert xdotool xwininfo import convert sox

e2e_x
e2e_zone_notification
e2e_son

titre='^ [0-9]{2}:[0-9]{2} - '
JOUR=2027-03-15

# touche combinaison : comme un utilisateur, vers la fenêtre qui a le clavier.
touche() {
    xdotool key --clearmodifiers "$1"
    e2e_dors 0.3
}

# Le gris de la barre d'outils en haut de l'horloge (720 twips du bord gauche : 48 pixels),
# pris sur son dernier bouton : le premier, qui a le clavier, est en surbrillance.
barre_visible() {
    local x y
    read -r x y < <(xwininfo -id "$horloge" | awk '/Absolute upper-left X/ { x = $4 }
        /Absolute upper-left Y/ { y = $4 } END { print x, y }')
    e2e_capture "$1"
    [[ "$(convert "$E2E_CAPTURE" -format "%[fx:int(255*p{$((x + 48 + 4 * 24 + 1)),$((y + 1))}.r)]" info:)" == 224 ]]
}

# ---------------------------------------------------------------- 1. et 2. fenêtres et heure dite

for n in 14 70 30 7 71 84; do
    sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"
done

e2e_copie_dossier premier
# Aucune annonce ne tombe pendant le test : chaque heure juste seulement.
sed -i -E 's/^(déclenche_annonce =)[^\r]*/\1 0/' "$E2E_DOSSIER/CV32.ini"
e2e_lance_programme --heure "$JOUR 14:37:02" "$E2E_DOSSIER"
e2e_attends_fenetre "$titre" 20
horloge=$E2E_FENETRE
# Sans gestionnaire de fenêtres, personne ne donne le clavier à la fenêtre qui s'affiche.
xdotool windowfocus --sync "$horloge"
e2e_dors 0.5

touche ctrl+p
e2e_attends_fenetre '^CHRONO VOCALIS 95$' 10
e2e_capture reglages
touche Return
e2e_attends_disparition '^CHRONO VOCALIS 95$'

touche ctrl+a
e2e_attends_fenetre '^Réglages des alarmes$' 10
e2e_capture alarmes
touche Escape
e2e_attends_disparition '^Réglages des alarmes$'

barre_visible sans_barre && e2e_echec "la barre d'outils est visible avant F10"
touche F10
barre_visible barre_f10 || e2e_echec "F10 ne montre pas la barre d'outils"
touche Escape
barre_visible barre_echap && e2e_echec "Échap ne cache pas la barre d'outils"

e2e_enregistre heure.wav
touche space
e2e_dors 5
e2e_arrete_enregistrement
e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté (voir $E2E_ARTEFACTS/programme.log)"

# Les mots dans l'ordre, chacun une fois, chacun après la pause qui le précède dans la phrase
# (1,2 ; 0,8 ; 0,8 ; 1,2 s). Hors d'un tic, les tics qui tombent dans ces pauses y font leur
# propre pause de 0,25 s : un mot peut partir jusqu'à 0,25 s plus tard.
avant=
for l in 14:0 70:1.2 30:0.8 7:0.8 71:1.2; do
    n=${l%%:*}
    mapfile -t trouves < <(e2e_sons heure.wav --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9)
    printf '%s\n' "${trouves[@]}" >"$E2E_ARTEFACTS/heure.son$n.txt"
    e2e_egal 1 "${#trouves[@]}" "sons $n entendus après Espace"
    read -r position score <<<"${trouves[0]}"
    if [[ -n "$avant" ]]; then
        e2e_info "son $n $(e2e_calcule "$position - $avant") s après le mot d'avant (pause ${l#*:}), ressemblance $score"
        e2e_verifie "place du son $n : $position s, mot d'avant à $avant s" \
            awk "BEGIN { d = $position - $avant - ${l#*:}; exit !(d >= -0.05 && d <= 0.30) }"
    fi
    avant=$position
done
mapfile -t trouves < <(e2e_sons heure.wav --correle "$E2E_TEMP/ref84.wav" --score-min 0.9)
e2e_egal 0 "${#trouves[@]}" "clics entendus après Espace"

# ---------------------------------------------------------------- 3. Alt+F4

touche alt+F4
e2e_attends_fin "$E2E_PROGRAMME_PID" 15
e2e_egal 0 "$?" "code de sortie après Alt+F4"

# ---------------------------------------------------------------- 4. retour par l'icône

e2e_copie_dossier icone
sed -i -E 's/^Réduction = .*/Réduction = 1\r/; s/^CV_visible = .*/CV_visible = False\r/' "$E2E_DOSSIER/CV32.ini"
e2e_lance_programme "$E2E_DOSSIER"
# Cachée, l'horloge n'a que son icône d'affichée.
icone=
for ((i = 0; i < 200; ++i)); do
    icone=$(xdotool search --onlyvisible --pid "$E2E_PROGRAMME_PID" 2>/dev/null | head -n 1)
    [[ -n "$icone" ]] && break
    e2e_dors 0.05
done
[[ -n "$icone" ]] || e2e_echec "pas d'icône du programme dans la zone de notification"
e2e_fenetre_visible "$titre" && e2e_echec "l'horloge est affichée au démarrage caché"
xdotool mousemove --window "$icone" 4 4 click 1
e2e_attends_fenetre "$titre" 10
e2e_dors 0.5
touche ctrl+i
e2e_attends_fenetre '^Informations$' 10
e2e_capture informations_par_icone
touche Return
e2e_attends_disparition '^Informations$'
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur ($?)"
exit 0
