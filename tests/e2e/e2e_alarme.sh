#!/usr/bin/env bash
# Une alarme sur le vrai programme : l'horloge, réduite et cachée derrière son icône, part
# quelques secondes avant 10:07 (heure fictive). À la minute, le fichier wave de l'alarme 1
# s'entend dans l'enregistrement, la fenêtre revient 1,5 s plus tard, puis le programme de
# l'alarme (un script dans un dossier au nom plein de blancs) tourne dans son dossier.
source "$(dirname "$0")/commun.sh"
e2e_prepare 180
e2e_requiert sox xdotool
e2e_x
e2e_son
e2e_zone_notification
e2e_copie_dossier

# Le son de l'alarme : une note que rien d'autre dans le programme ne joue.
mkdir -p "$E2E_TEMP/mes sons"
son="$E2E_TEMP/mes sons/cloche d'alarme.wav"
sox -n -r 22050 -c 1 -b 16 "$son" synth 0.6 sine 660 vol 0.5

dossier_prog="$E2E_TEMP/mes programmes; \$(pas un shell)"
mkdir -p "$dossier_prog"
prog="$dossier_prog/réveil du matin.sh"
marque=$E2E_TEMP/marque
printf '#!/bin/sh\npwd > "%s"\n' "$marque" >"$prog"
chmod +x "$prog"

# La valeur d'un réglage est tout ce qui suit le « = » : pas de blanc devant les chemins.
ini=$E2E_DOSSIER/CV32.ini
cr=$'\r'
regle() { sed -i -E "s|^($1) =[^$cr]*|\\1 =$2|" "$ini"; }
regle 'R.duction' 1
regle CV_visible False
regle ALH1 10
regle ALMN1 7
regle AL1 True
regle ALMSG1 False
regle ALAPP1 True
regle ALEXE1 "$prog"
regle ALSON1 "$son"
grep -qxF "ALEXE1 =$prog$cr" "$ini" || e2e_echec "ALEXE1 mal réglé dans $ini"
grep -qxF "Réduction =1$cr" "$ini" || e2e_echec "Réduction mal réglée dans $ini"

titre='^ [0-9]{2}:[0-9]{2} - '
e2e_enregistre alarme.wav
e2e_lance_programme --heure "2026-12-08 10:06:53" "$E2E_DOSSIER"

# Réduite et sans CV_visible : la fenêtre se cache dès que l'icône est en place.
e2e_attends_heure_fictive "2026-12-08 10:06:58"
e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté (voir $E2E_ARTEFACTS/programme.log)"
e2e_fenetre_visible "$titre" && e2e_echec "la fenêtre est visible avant l'alarme"
[[ -e "$marque" ]] && e2e_echec "le programme de l'alarme a tourné avant l'heure"

# L'instant où la fenêtre revient, relevé toutes les 20 ms.
e2e_attends_heure_fictive "2026-12-08 10:07:00"
fin=$(($(date -d "2026-12-08 10:07:06" +%s) - E2E_DECALAGE))
retour=
while [[ -z "$retour" ]] && ((${EPOCHREALTIME%[.,]*} < fin)); do
    e2e_fenetre_visible "$titre" && retour=${EPOCHREALTIME/,/.}
    e2e_dors 0.02
done
[[ -n "$retour" ]] || {
    e2e_capture sans_fenetre
    e2e_echec "la fenêtre n'est pas revenue à l'heure de l'alarme"
}
e2e_capture fenetre_revenue
for ((i = 0; i < 100; ++i)); do
    [[ -s "$marque" ]] && break
    e2e_dors 0.05
done
e2e_attends_heure_fictive "2026-12-08 10:07:06"
e2e_arrete_enregistrement

# Le son de l'alarme, reconnu à sa forme, une seule fois, juste après la seconde 0 et la
# seconde d'attente du tic.
sox "$son" -b 16 -r 44100 "$E2E_TEMP/ref.wav"
mapfile -t trouves < <(e2e_sons alarme.wav --correle "$E2E_TEMP/ref.wav" --score-min 0.8)
printf '%s\n' "${trouves[@]}" >"$E2E_ARTEFACTS/sons_alarme.txt"
e2e_egal 1 "${#trouves[@]}" "occurrences du son de l'alarme"
read -r position score <<<"${trouves[0]}"
minute=$(e2e_position_heure "2026-12-08 10:07:00")
apres_minute=$(e2e_calcule "$position - $minute")
e2e_info "son de l'alarme à 10:07:00 + $apres_minute s (ressemblance $score)"
awk -v d="$apres_minute" 'BEGIN { exit !(d >= 1.0 && d < 2.2) }' ||
    e2e_echec "le son de l'alarme devait venir 1 à 2,2 s après 10:07:00, il vient à $apres_minute s"

# La fenêtre revient 1,5 s après le début du son.
ecart=$(e2e_calcule "$(e2e_position "$retour") - $position")
e2e_info "fenêtre revenue $ecart s après le début du son"
e2e_proche "$ecart" 1.5 0.25 "délai entre le son et le retour de la fenêtre"

# Le programme a tourné, dans son propre dossier.
[[ -s "$marque" ]] || e2e_echec "le programme de l'alarme n'a pas tourné"
e2e_egal "$dossier_prog" "$(cat "$marque")" "dossier de travail du programme de l'alarme"
e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté après l'alarme"
exit 0
