#!/usr/bin/env bash
# Fabrique les images de Chrono Vocalis : fond de l'horloge, boutons de la
# barre d'outils, icônes du programme, de la zone de notification, du tic,
# de la fenêtre d'informations et de l'éditeur d'alarmes.
# Usage : resources/images/fabrique.sh   (réécrit les fichiers à côté du script)
# Demande ImageMagick 6 (convert). La construction ne lance pas ce script :
# les fichiers produits sont versionnés avec lui.
set -euo pipefail

cd "$(dirname "$0")"
command -v convert >/dev/null || { echo "convert (ImageMagick) introuvable" >&2; exit 1; }

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Même résultat d'une machine et d'une exécution à l'autre : un seul fil de
# calcul, pas de date ni de métadonnées dans les fichiers.
export MAGICK_THREAD_LIMIT=1 LC_ALL=C
# shellcheck disable=SC2054  # virgules de la valeur, pas séparateurs
PROPRE=(-strip -define png:exclude-chunks=date,time)

# On dessine huit fois plus grand puis on réduit par moyenne de blocs : les
# bords sont lissés sans le flou d'un filtre, et les traits droits tombent
# pile sur les pixels.
S=8
REPERE="affine $S,0,0,$S,-0.5,-0.5"

# Palette de l'interface : encre sombre à fort contraste, couleurs vives
# réservées à ce qui doit sauter aux yeux.
GRIS=#e0e0e0      # fond de la barre d'outils
ENCRE=#14284f     # bleu nuit presque noir
BLEU=#1a4fa8
ROUGE=#c8102e
JAUNE=#ffc61a
ORANGE=#f07800    # proche du trait sous l'heure
CADRAN=#fffdf2

# Point sur un cercle ; angle en degrés, 0 à midi, sens des aiguilles.
pt() {
  awk -v cx="$1" -v cy="$2" -v r="$3" -v a="$4" \
    'BEGIN { t = a * atan2(0, -1) / 180; printf "%.3f,%.3f", cx + r * sin(t), cy - r * cos(t) }'
}

# Points d'un arc de cercle, de l'angle a1 à a2 ; les arcs « A » des chemins
# ne suivent pas le changement d'échelle de « affine », on les trace point à point.
arc() {
  awk -v cx="$1" -v cy="$2" -v r="$3" -v a1="$4" -v a2="$5" 'BEGIN {
    pi = atan2(0, -1); n = int((a2 > a1 ? a2 - a1 : a1 - a2) / 4) + 2
    for (i = 0; i <= n; i++) {
      t = (a1 + (a2 - a1) * i / n) * pi / 180
      printf "%s%.3f,%.3f", (i ? " " : ""), cx + r * sin(t), cy - r * cos(t)
    }
  }'
}

# Trait passant par les points donnés, fait de segments à bouts ronds : le
# tracé des chemins ouverts à trait large est défectueux dans ImageMagick 6
# (pointes parasites à la fin, « polyline » refusé).
chemin() {
  local -a p
  local m="" i
  read -ra p <<<"$*"
  for ((i = 1; i < ${#p[@]}; i++)); do m+="line ${p[i - 1]} ${p[i]} "; done
  echo "$m"
}

# Trait radial de r1 à r2.
rayon() { echo "line $(pt "$1" "$2" "$3" "$5") $(pt "$1" "$2" "$4" "$5")"; }

# Mélange de deux couleurs #rrggbb, part n/4 de la seconde.
melange() {
  local a=$1 b=$2 n=$3 i out="#"
  for i in 1 3 5; do
    out+=$(printf '%02x' $(((16#${a:i:2} * (4 - n) + 16#${b:i:2} * n + 2) / 4)))
  done
  echo "$out"
}

# Palette fermée : les couleurs données et trois mélanges par paire, pour que
# les bords lissés restent propres et que le gris du fond reste exact.
palette() {
  local sortie=$1 i j n
  shift
  local c=("$@") args=()
  for ((i = 0; i < ${#c[@]}; i++)); do
    args+=("xc:${c[i]}")
    for ((j = i + 1; j < ${#c[@]}; j++)); do
      for n in 1 2 3; do args+=("xc:$(melange "${c[i]}" "${c[j]}" $n)"); done
    done
  done
  convert -size 1x1 "${args[@]}" +append "$sortie"
}

# Dessin suréchantillonné puis réduit : dessine largeur hauteur fond mvg sortie
dessine() {
  convert -size $(($1 * S))x$(($2 * S)) "xc:$3" -draw "$REPERE $4" \
    -filter Box -resize "$1x$2!" "PNG32:$5"
}

# Bouton de la barre d'outils : 24 × 22, 16 couleurs, sur le gris de la barre.
bouton() {
  local nom=$1 mvg=$2
  shift 2
  palette "$TMP/$nom-pal.png" "$GRIS" "$@"
  dessine 24 22 "$GRIS" "$mvg" "$TMP/$nom.png"
  convert "$TMP/$nom.png" -alpha off +dither -remap "$TMP/$nom-pal.png" \
    -colors 16 -type Palette "${PROPRE[@]}" "BMP3:$nom.bmp"
}

# --- Fond de l'horloge : 174 × 58, dégradé nuit et cadran discret à droite ---
# L'heure jaune occupe la gauche ; le motif reste dans des tons proches du
# fond pour ne jamais gêner sa lecture.
fond_motif="fill none stroke rgba(150,175,225,0.16) stroke-width 1 circle 146,29 146,5"
for ((h = 0; h < 60; h += 5)); do
  if ((h % 15 == 0)); then
    fond_motif+=" stroke rgba(170,195,240,0.30) stroke-width 1.6 $(rayon 146 29 15 21 $((h * 6)))"
  else
    fond_motif+=" stroke rgba(170,195,240,0.20) stroke-width 1 $(rayon 146 29 18 21 $((h * 6)))"
  fi
done
fond_motif+=" stroke rgba(170,195,240,0.18) stroke-width 1.4 stroke-linecap round"
fond_motif+=" $(rayon 146 29 0 9 300) $(rayon 146 29 0 13 60)"
convert -size $((174 * S))x$((58 * S)) xc:black \
  -sparse-color Bilinear "0,0 #0c1a36 $((174 * S)),0 #28334a 0,$((58 * S)) #08132b $((174 * S)),$((58 * S)) #1f2839" \
  -draw "$REPERE $fond_motif" \
  -filter Box -resize '174x58!' -alpha off -type TrueColor "${PROPRE[@]}" BMP3:fond.bmp

# --- Boutons de la barre d'outils ---

# Réglages : roue dentée pleine, huit dents, moyeu clair.
roue=$(awk 'BEGIN {
  pi = atan2(0, -1); cx = 12; cy = 11; re = 9.6; ri = 7.2
  for (k = 0; k < 8; k++) {
    c = k * 45
    n = split((c - 17) " " (c - 10) " " (c + 10) " " (c + 17) " " (c + 22.5) " " (c + 28), a, " ")
    split(ri " " re " " re " " ri " " ri " " ri, r, " ")
    for (i = 1; i <= n; i++) {
      t = a[i] * pi / 180
      printf "%.3f,%.3f ", cx + r[i] * sin(t), cy - r[i] * cos(t)
    }
  }
}')
bouton outil_parametres \
  "fill $ENCRE stroke none polygon $roue fill $GRIS circle 12,11 12,14" "$ENCRE"

# Alarmes : cloche jaune cernée de bleu nuit, avec son battant.
bouton outil_alarmes \
  "stroke $ENCRE stroke-width 2 stroke-linejoin round fill $JAUNE
   path 'M 3.5,16.5 C 6,14.5 6.5,12.5 6.5,10 C 6.5,6.5 9,4.5 12,4.5 C 15,4.5 17.5,6.5 17.5,10 C 17.5,12.5 18,14.5 20.5,16.5 Z'
   stroke none fill $ENCRE circle 12,3 12,4.7 circle 12,18.6 12,20.6" "$ENCRE" "$JAUNE"

# Informations : « i » blanc sur disque bleu.
bouton outil_info \
  "stroke none fill $BLEU circle 12,11 12,1.2
   fill white circle 12,6.4 12,8.2 polygon 10.5,9.3 13.5,9.3 13.5,16.8 10.5,16.8" "$BLEU" "#ffffff"

# Aide : point d'interrogation épais.
bouton outil_aide \
  "fill none stroke $ENCRE stroke-width 3 stroke-linecap round stroke-linejoin round
   $(chemin "$(arc 12 7.6 4.2 -90 128) 12,12.6 12,14.2")
   stroke none fill $ENCRE circle 12,18.2 12,20" "$ENCRE"

# Fermer : croix rouge épaisse.
bouton outil_fermer \
  "fill none stroke $ROUGE stroke-width 3.2 stroke-linecap round
   line 6.5,5.5 17.5,16.5 line 17.5,5.5 6.5,16.5" "$ROUGE"

# Calcul en virgule flottante.
calc() { awk "BEGIN { print $* }"; }

# --- Cadran d'horloge : cadran cx cy r bord graduations-fines liseré ---
# Aiguilles sur 10 h 10, l'heure que tout le monde reconnaît comme « horloge ».
# Le liseré blanc détache le bord bleu nuit d'un tableau de bord sombre.
cadran() {
  local cx=$1 cy=$2 r=$3 bord=$4 fines=$5 lisere=$6 m="" bout h
  bout=$(calc "$r - $bord / 2 - $r * 0.08")
  if ((lisere)); then
    m+="fill none stroke rgba(255,255,255,0.9) stroke-width 1.2 circle $cx,$cy $cx,$(calc "$cy - $r - $bord / 2 - 0.5") "
  fi
  m+="stroke $ENCRE stroke-width $bord fill $CADRAN circle $cx,$cy $cx,$(calc "$cy - $r") "
  for ((h = 0; h < 12; h++)); do
    if ((h % 3 == 0)); then
      m+="stroke-width $(calc "$r / 6.5") $(rayon "$cx" "$cy" "$(calc "$r * 0.6")" "$bout" $((h * 30))) "
    elif ((fines)); then
      m+="stroke-width $(calc "$r / 11") $(rayon "$cx" "$cy" "$(calc "$r * 0.72")" "$bout" $((h * 30))) "
    fi
  done
  m+="stroke-linecap round "
  m+="stroke-width $(calc "$r / 4.6") $(rayon "$cx" "$cy" 0 "$(calc "$r * 0.5")" 305) "
  m+="stroke-width $(calc "$r / 6") $(rayon "$cx" "$cy" 0 "$(calc "$r * 0.74")" 60) "
  m+="stroke none fill $ORANGE circle $cx,$cy $cx,$(calc "$cy - $r / 7.5")"
  echo "$m"
}

# Ondes sonores issues du cadran : ondes cx cy épaisseur r1 r2 ...
ondes() {
  local cx=$1 cy=$2 ep=$3 r m
  shift 3
  m="fill none stroke $ORANGE stroke-width $ep stroke-linecap round"
  for r in "$@"; do
    m+=" $(chemin "$(arc "$cx" "$cy" "$r" 50 130)")"
  done
  echo "$m"
}

# Icône du programme : 64 × 64, cadran qui parle.
dessine 64 64 none "$(cadran 25 32 22 4 1 1) $(ondes 25 32 3.6 30.5 37.5)" "$TMP/prog.png"
convert "$TMP/prog.png" "${PROPRE[@]}" PNG32:chronovocalis.png

# Zone de notification : 32 × 32, cadran seul, traits forts pour rester
# lisible réduit à 16 pixels.
dessine 32 32 none "$(cadran 16 16 13.3 3 0 1)" "$TMP/tray.png"
convert "$TMP/tray.png" "${PROPRE[@]}" PNG32:tray.png

# Tic : point jaune doux au centre, halo léger, le reste transparent.
convert -size 32x32 xc:black \
  -fx 'd = hypot(i - 15.5, j - 15.5); ecart = max(0, min(1, (d - 1) / 5)); 1 - 0.05 * ecart' \
  "$TMP/tic-r.png"
convert -size 32x32 xc:black \
  -fx 'd = hypot(i - 15.5, j - 15.5); ecart = max(0, min(1, (d - 1) / 5)); 0.98 - 0.22 * ecart' \
  "$TMP/tic-v.png"
convert -size 32x32 xc:black \
  -fx 'd = hypot(i - 15.5, j - 15.5); ecart = max(0, min(1, (d - 1) / 5)); 0.85 - 0.85 * ecart' \
  "$TMP/tic-b.png"
convert -size 32x32 xc:black \
  -fx 'd = hypot(i - 15.5, j - 15.5);
       coeur = max(0, min(1, (6.5 - d) / 2)); lueur = max(0, min(1, (11 - d) / 5));
       max(coeur * coeur * (3 - 2 * coeur), 0.28 * lueur * lueur)' \
  "$TMP/tic-a.png"
convert "$TMP/tic-r.png" "$TMP/tic-v.png" "$TMP/tic-b.png" -combine \
  "$TMP/tic-a.png" -alpha off -compose CopyOpacity -composite \
  "${PROPRE[@]}" PNG32:flash.png

# Icône « à propos » : 32 × 32 en 256 couleurs, transparence tout ou rien.
# Les bords lissés sont posés sur le gris clair des fenêtres avant le seuil,
# sinon ils paraîtraient crénelés.
dessine 32 32 none "$(cadran 13 16 10.8 2.4 0 0) $(ondes 13 16 2.2 15 19)" "$TMP/apropos.png"
convert "$TMP/apropos.png" \( +clone -background '#efefef' -flatten \) \
  \( -clone 0 -alpha extract -threshold 50% \) -delete 0 \
  -alpha off -compose CopyOpacity -composite \
  +dither -colors 255 -type PaletteAlpha "${PROPRE[@]}" ICO:apropos.ico

# Icône d'alarme : 32 × 32 en couleurs vraies, cloche qui sonne.
dessine 32 32 none \
  "stroke $ENCRE stroke-width 2.2 stroke-linejoin round fill $JAUNE
   path 'M 4.5,24 C 8,21 9,18 9,14 C 9,9.3 12,6.6 16,6.6 C 20,6.6 23,9.3 23,14 C 23,18 24,21 27.5,24 Z'
   stroke none fill $ENCRE circle 16,4.6 16,6.9 circle 16,27 16,29.8
   fill none stroke $ENCRE stroke-width 2 stroke-linecap round
   $(chemin "$(arc 16 15 12.5 -75 -45)") $(chemin "$(arc 16 15 12.5 45 75)")" \
  "$TMP/alarme.png"
convert "$TMP/alarme.png" -type TrueColorAlpha "${PROPRE[@]}" ICO:alarme.ico
