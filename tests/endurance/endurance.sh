#!/usr/bin/env bash
# Endurance : le vrai programme dix minutes sous Xvfb et PulseAudio, au rythme « chaque 5 mn »,
# l'horloge fictive partant à 10:59:30 (11:00 et 11:05 dans la fenêtre). Mémoire (VmRSS)
# relevée toutes les 10 s : passé la première annonce, elle doit grandir de moins de 1 Mo ;
# chaque annonce due s'entend une fois, à sa place, et rien d'autre ne s'entend.
# Trop long pour la suite de tests : lancé à la main ou par « make endurance ».
#   CV_BUILD=build bash tests/endurance/endurance.sh [durée en s, 600]
source "$(dirname "$0")/../e2e/commun.sh"
duree=${1:-600}
e2e_prepare $((duree + 300))
e2e_requiert sox
e2e_x
e2e_son
e2e_copie_dossier
sed -i -E 's/^(déclenche_annonce =)[^\r]*/\1 3/' "$E2E_DOSSIER/CV32.ini"
grep -q $'^déclenche_annonce = 3\r' "$E2E_DOSSIER/CV32.ini" || e2e_echec "rythme non réglé"
for n in 5 11 70 71 85; do
    sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"
done

JOUR=2027-03-15
depart=$(date -d "$JOUR 10:59:30" +%s)
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$E2E_PROGRAMME_PID/status"; }

e2e_enregistre endurance.wav
e2e_lance_programme --heure "$JOUR 10:59:30" "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
releves=$E2E_ARTEFACTS/memoire.txt
: >"$releves"
for ((t = 5; t < duree; t += 10)); do
    e2e_attends_heure_fictive "@$((depart + t))"
    e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté à $t s (voir $E2E_ARTEFACTS/programme.log)"
    printf '%d %s %d\n' "$t" "$(date -d "@$((depart + t))" +%H:%M:%S)" "$(rss)" >>"$releves"
done
e2e_arrete_enregistrement
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15
e2e_egal 0 "$?" "code de sortie du programme"

# Mémoire : première et dernière mesure, et la plus haute.
read -r _ _ premiere < <(head -n 1 "$releves")
read -r _ _ derniere < <(tail -n 1 "$releves")
haute=$(awk 'BEGIN { m = 0 } $3 > m { m = $3 } END { print m }' "$releves")
apres_onze=$(awk '$1 >= 45 { print $3; exit }' "$releves")
e2e_info "mémoire (Ko) : $premiere au départ, $apres_onze après l'annonce de 11:00, $derniere à la fin, $haute au plus haut" \
    "($(wc -l <"$releves") relevés, $releves)"
e2e_info "croissance : $((derniere - premiere)) Ko depuis le départ, $((derniere - apres_onze)) Ko depuis 11:00:15"

# Les annonces : 11:00 carillon, « onze », « heures » ; 11:05 « onze heures cinq minutes ».
attendus="11:00:00 85:0 11:0.5 70:1.7|11:05:00 11:0 70:1.2 5:2.0 71:3.2"
declare -A comptes=()
IFS='|' read -r -a annonces <<<"$attendus"
for a in "${annonces[@]}"; do
    read -r minute sons <<<"$a"
    for s in $sons; do comptes[${s%%:*}]=$((${comptes[${s%%:*}]:-0} + 1)); done
done
for n in "${!comptes[@]}"; do
    mapfile -t trouves < <(e2e_sons endurance.wav --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9)
    printf '%s\n' "${trouves[@]}" >"$E2E_ARTEFACTS/son$n.txt"
    e2e_egal "${comptes[$n]}" "${#trouves[@]}" "nombre de fois où le son $n s'entend"
done
for a in "${annonces[@]}"; do
    read -r minute sons <<<"$a"
    zero=$(e2e_position_heure "$JOUR $minute")
    premier=
    for s in $sons; do
        n=${s%%:*}
        # L'occurrence de ce son dans les 6 s qui suivent la minute.
        position=$(awk -v z="$zero" '$1 >= z && $1 < z + 6 { print $1; exit }' "$E2E_ARTEFACTS/son$n.txt")
        [[ -n "$position" ]] || e2e_echec "son $n absent de l'annonce de $minute"
        [[ -z "$premier" ]] && premier=$position
        e2e_info "$minute : son $n à $(e2e_calcule "$position - $zero") s de la minute"
        e2e_proche "$(e2e_calcule "$position - $premier")" "${s#*:}" 0.050 "$minute : place du son $n"
    done
done
# Rien d'autre : chaque son entendu commence dans les 6 s d'une annonce.
while read -r debut _; do
    dans=0
    for a in "${annonces[@]}"; do
        zero=$(e2e_position_heure "$JOUR ${a%% *}")
        awk -v d="$debut" -v z="$zero" 'BEGIN { exit !(d >= z && d < z + 6) }' && dans=1
    done
    ((dans)) || e2e_echec "un son inattendu à $debut s de l'enregistrement"
done < <(e2e_sons endurance.wav)
# Le premier son ouvre la sortie audio (bibliothèques et tampons du serveur de son, un peu plus
# d'un mégaoctet, une fois pour toutes) : la croissance se compte depuis l'état chaud, après
# l'annonce de 11:00.
((derniere - apres_onze < 1024)) || e2e_echec "la mémoire a grandi de $((derniere - apres_onze)) Ko depuis 11:00:15"
e2e_info "endurance réussie : $(e2e_sons endurance.wav | wc -l) sons entendus, tous attendus"
exit 0
