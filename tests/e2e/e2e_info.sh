#!/usr/bin/env bash
# La barre d'outils, la fenêtre « Informations » et l'aide, sur un vrai écran et à la souris.
# 1. Un clic gauche sur l'horloge montre la barre d'outils ; le bouton Informations ouvre
#    « Informations » et sa mélodie (son 82) ; « A propos de ... » la rejoue ; « Quitte » ferme
#    la fenêtre et cache la barre.
# 2. Le bouton Aide ouvre la fenêtre d'aide sur le document, à côté de l'horloge ; redemandée,
#    c'est la même qui revient ; le bouton Fermer de l'horloge ferme aussi l'aide et le
#    programme finit en code 0.
# 3. Sans VOCALIS.html, la fenêtre d'aide s'ouvre quand même et le dit.
# Les captures d'écran restent dans les artefacts.
source "$(dirname "$0")/commun.sh"
e2e_prepare 180
e2e_requiert xdotool xwininfo import convert sox

e2e_x
e2e_son

titre='^ [0-9]{2}:[0-9]{2} - '
titre_aide='^Aide de Chrono Vocalis 95$'

# Géométrie absolue « x y l h » d'une fenêtre.
geometrie() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /^ *Width:/ { l = $2 } /^ *Height:/ { h = $2 } END { print x, y, l, h }'
}

# clique fenetre x y : clic gauche en (x, y) dans la fenêtre, en pixels.
clique() {
    local fx fy _l _h
    read -r fx fy _l _h < <(geometrie "$1")
    xdotool mousemove $((fx + $2)) $((fy + $3)) click 1
}

# couleur_pixel x y : « r,g,b » du pixel (coordonnées absolues) de la dernière capture.
couleur_pixel() {
    convert "$E2E_CAPTURE" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}

# part_couleur zone couleur : part des pixels de la zone (de la dernière capture) proches de
# la couleur, de 0 à 1. Ils passent d'abord en magenta, seul compté ensuite.
part_couleur() {
    convert "$E2E_CAPTURE" -crop "$1" +repage -fuzz 12% -fill '#ff00ff' -opaque "$2" -fuzz 0 \
        -fill black +opaque '#ff00ff' -fill white -opaque '#ff00ff' -colorspace Gray -format '%[fx:mean]' info:
}

# Barre d'outils : à 720 twips du bord gauche, en haut ; boutons de 360 twips (24 pixels) ; le
# dernier dépasse de la fenêtre livrée : on vise la gauche de chaque bouton.
BARRE_X=48
bouton_x() { echo $((BARRE_X + $1 * 24 + 6)); }
GRIS_BARRE="224,224,224"

# barre_visible nom : capture « nom » ; vrai si le gris de la barre d'outils y est.
barre_visible() {
    local hx hy _l _h
    read -r hx hy _l _h < <(geometrie "$horloge")
    e2e_capture "$1"
    [[ "$(couleur_pixel $((hx + BARRE_X + 1)) $((hy + 1)))" == "$GRIS_BARRE" ]]
}

montre_barre() {
    local i
    clique "$horloge" 20 40
    for ((i = 0; i < 40; ++i)); do
        barre_visible "$1" && return 0
        e2e_dors 0.05
    done
    e2e_echec "un clic gauche sur l'horloge ne montre pas la barre d'outils"
}

# ---------------------------------------------------------------- 1. barre et Informations

e2e_copie_dossier premier
e2e_enregistre sons.wav
e2e_lance_programme "$E2E_DOSSIER"
e2e_attends_fenetre "$titre" 15
horloge=$E2E_FENETRE
e2e_dors 0.5
barre_visible horloge && e2e_echec "la barre d'outils est visible avant tout clic"
montre_barre barre

clique "$horloge" "$(bouton_x 2)" 11
e2e_attends_fenetre '^Informations$' 10
info=$E2E_FENETRE
read -r ix iy il ih < <(geometrie "$info")
e2e_egal "375 300" "$il $ih" "taille de la fenêtre Informations"
e2e_dors 1
e2e_capture informations
# Le texte bleu de la page est dessiné dans son cadre.
bleu=$(part_couleur "340x240+$((ix + 15))+$((iy + 24))" "#0000c0")
awk -v p="$bleu" 'BEGIN { exit !(p > 0.005) }' || e2e_echec "pas de texte bleu dans la page « A propos » ($bleu)"
e2e_info "texte bleu : $bleu de la zone"

# « A propos de ... » (135, 4140 twips) : la page et sa mélodie encore une fois.
clique "$info" 30 286
e2e_dors 1.5
# « Quitte » (4455, 4140 twips) ferme la fenêtre et cache la barre.
clique "$info" 332 286
e2e_attends_disparition '^Informations$' 10
e2e_dors 0.3
barre_visible apres_quitte && e2e_echec "la barre d'outils reste visible après « Quitte »"

# ---------------------------------------------------------------- 2. l'aide

montre_barre barre_2
clique "$horloge" "$(bouton_x 3)" 11
e2e_attends_fenetre "$titre_aide" 10
aide=$E2E_FENETRE
e2e_dors 1
e2e_capture aide
read -r ax ay al ah < <(geometrie "$aide")
read -r hx hy hl hh < <(geometrie "$horloge")
((ax >= hx + hl || ax + al <= hx)) || e2e_echec "l'aide couvre l'horloge ($ax $ay $al $ah / $hx $hy $hl $hh)"
# Le document est affiché : les liens bleus du sommaire se voient.
liens=$(part_couleur "${al}x${ah}+${ax}+${ay}" "#0033aa")
awk -v p="$liens" 'BEGIN { exit !(p > 0.003) }' || e2e_echec "la fenêtre d'aide ne montre pas le sommaire ($liens)"
e2e_info "liens du sommaire : $liens de la fenêtre"

# Redemandée, l'aide revient : toujours une seule fenêtre.
montre_barre barre_3
clique "$horloge" "$(bouton_x 3)" 11
e2e_dors 0.5
e2e_egal 1 "$(xdotool search --onlyvisible --name "$titre_aide" | wc -l)" "fenêtres d'aide"
e2e_capture aide_redemandee

# Le bouton Fermer de la barre ferme l'horloge, et l'aide avec elle.
montre_barre barre_4
clique "$horloge" "$(bouton_x 4)" 11
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur ($?)"
e2e_fenetre_visible "$titre_aide" && e2e_echec "l'aide reste ouverte après la fermeture"
e2e_dors 0.3
e2e_arrete_enregistrement

# La mélodie de la page « A propos » : une fois à l'ouverture, une fois sur le bouton.
sox "$CV_SOURCE/resources/sons/82.wav" -b 16 "$E2E_TEMP/82.wav"
mapfile -t melodies < <(e2e_sons sons.wav --correle "$E2E_TEMP/82.wav" --score-min 0.8)
printf '%s\n' "${melodies[@]}" >"$E2E_ARTEFACTS/sons_82.txt"
e2e_egal 2 "${#melodies[@]}" "mélodies « A propos » entendues"

# ---------------------------------------------------------------- 3. aide absente

e2e_copie_dossier sans_aide
rm "$E2E_DOSSIER/VOCALIS.html"
e2e_lance_programme "$E2E_DOSSIER"
e2e_attends_fenetre "$titre" 15
horloge=$E2E_FENETRE
e2e_dors 0.5
montre_barre barre_sans_aide
clique "$horloge" "$(bouton_x 3)" 11
e2e_attends_fenetre "$titre_aide" 10
aide=$E2E_FENETRE
e2e_dors 1
e2e_capture aide_absente
read -r ax ay al ah < <(geometrie "$aide")
liens=$(part_couleur "${al}x${ah}+${ax}+${ay}" "#0033aa")
awk -v p="$liens" 'BEGIN { exit !(p < 0.0005) }' || e2e_echec "un document s'affiche alors que VOCALIS.html manque ($liens)"
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur ($?)"
exit 0
