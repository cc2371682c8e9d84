#!/usr/bin/env bash
# Le vrai programme face à des fichiers hostiles : le son de l'alarme 1 est un fichier WAVE de
# 1 Go, creux (une seconde de note puis des zéros jamais écrits sur le disque). À 10:07 la
# note s'entend ; le fichier est lu au fil de l'eau : la position de lecture avance et la
# mémoire du programme ne bouge pas. Pendant qu'il joue, CV32.ini, les messages et fond.bmp
# sont effacés ; SIGTERM : le programme s'arrête aussitôt et réécrit réglages et messages.
source "$(dirname "$0")/commun.sh"
e2e_prepare 120
e2e_requiert sox truncate
e2e_x
e2e_son
e2e_copie_dossier

# le32 n : quatre octets petit-boutistes, le16 n : deux. Le format est fait des octets voulus.
# shellcheck disable=SC2059
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
# shellcheck disable=SC2059
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
taille=$((1024 * 1024 * 1024))
son="$E2E_TEMP/énorme \$(son).wav"
sox -n -r 22050 -c 1 -b 16 -e signed -t raw "$E2E_TEMP/note.raw" synth 1 sine 660 vol 0.5
{
    printf RIFF
    le32 $((taille - 8))
    printf 'WAVEfmt '
    le32 16
    le16 1
    le16 1
    le32 22050
    le32 44100
    le16 2
    le16 16
    printf data
    le32 $((taille - 44))
    cat "$E2E_TEMP/note.raw"
} >"$son"
truncate -s "$taille" "$son"
e2e_info "son de l'alarme : $(du -k "$son" | cut -f1) Ko sur le disque pour $(stat -c %s "$son") octets"

ini=$E2E_DOSSIER/CV32.ini
cr=$'\r'
regle() { sed -i -E "s|^($1) =[^$cr]*|\\1 =$2|" "$ini"; }
regle ALH1 10
regle ALMN1 7
regle AL1 True
regle ALMSG1 False
regle ALAPP1 False
regle ALSON1 "$son"
grep -qxF "ALSON1 =$son$cr" "$ini" || e2e_echec "ALSON1 mal réglé dans $ini"
attendu=$(sed -E '/^;/! s/^([^=]*=) /\1/' "$ini")

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$E2E_PROGRAMME_PID/status"; }
# Position de lecture (octets) du programme dans le fichier du son, vide s'il ne l'a pas ouvert.
position_son() {
    local fd
    for fd in /proc/"$E2E_PROGRAMME_PID"/fd/*; do
        [[ "$(readlink "$fd")" == "$son" ]] || continue
        awk '/^pos:/ { print $2 }' "/proc/$E2E_PROGRAMME_PID/fdinfo/${fd##*/}"
        return 0
    done
}

e2e_enregistre alarme.wav
e2e_lance_programme --heure "2026-12-08 10:06:55" "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
e2e_attends_heure_fictive "2026-12-08 10:06:59"
avant=$(rss)

# Pendant que le son joue : mémoire et position de lecture, deux fois par seconde.
e2e_attends_heure_fictive "2026-12-08 10:07:03"
premiere=$(rss)
debut_lecture=$(position_son)
[[ -n "$debut_lecture" ]] || e2e_echec "le fichier du son n'est pas ouvert à 10:07:03"
max=$premiere
for ((i = 0; i < 20; ++i)); do
    e2e_dors 0.5
    e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté pendant l'alarme"
    r=$(rss)
    ((r > max)) && max=$r
    ((i == 8)) && rm -f "$E2E_DOSSIER"/CV32.ini "$E2E_DOSSIER"/MSG?.ASC "$E2E_DOSSIER"/fond.bmp
done
fin_lecture=$(position_son)
e2e_info "mémoire (Ko) : $avant avant l'alarme, $premiere au début du son, $max au plus haut en 10 s de son"
e2e_info "lecture du son : octet $debut_lecture à 10:07:03, octet $fin_lecture dix secondes plus tard"
((fin_lecture > debut_lecture)) || e2e_echec "la lecture du son n'avance pas"
((fin_lecture < 20 * 1024 * 1024)) || e2e_echec "le son est lu d'avance ($fin_lecture octets)"
# Un programme instrumenté (AddressSanitizer) garde la mémoire rendue en quarantaine : seule la
# construction normale dit si la mémoire reste plate.
if [[ -n "${ASAN_OPTIONS:-}${UBSAN_OPTIONS:-}" ]] || ldd "$E2E_DOSSIER/chronovocalis" | grep -q libasan; then
    e2e_info "programme instrumenté : mémoire relevée, non vérifiée"
else
    ((max - premiere < 1024)) || e2e_echec "la mémoire grandit pendant le son : $premiere Ko puis $max Ko"
    ((max - avant < 16384)) || e2e_echec "le son coûte $((max - avant)) Ko de mémoire"
fi

kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15
statut=$?
e2e_egal 0 "$statut" "code de sortie du programme"
e2e_arrete_enregistrement

# La note du son de l'alarme, une fois, juste après la minute.
sox -t raw -r 22050 -c 1 -b 16 -e signed "$E2E_TEMP/note.raw" -r 44100 "$E2E_TEMP/note.wav"
mapfile -t trouves < <(e2e_sons alarme.wav --correle "$E2E_TEMP/note.wav" --score-min 0.8)
e2e_egal 1 "${#trouves[@]}" "occurrences de la note du son de l'alarme"
apres_minute=$(e2e_calcule "${trouves[0]%% *} - $(e2e_position_heure "2026-12-08 10:07:00")")
e2e_info "note entendue à 10:07:00 + $apres_minute s"
awk -v d="$apres_minute" 'BEGIN { exit !(d >= 1.0 && d < 2.2) }' || e2e_echec "note à 10:07:00 + $apres_minute s"

# Effacés pendant la marche, réglages et messages sont réécrits ; l'image ne l'est pas.
e2e_egal "$attendu" "$(cat "$ini")" "CV32.ini réécrit"
for n in 1 2 3 4 5 6; do
    cmp -s "$CV_SOURCE/resources/defaults/MSG$n.ASC" "$E2E_DOSSIER/MSG$n.ASC" || e2e_echec "MSG$n.ASC mal réécrit"
done
[[ -e "$E2E_DOSSIER/fond.bmp" ]] && e2e_echec "fond.bmp est revenu"
exit 0
