#!/usr/bin/env bash
# Essai du harnais lui-même, sans le programme : deux bips joués à 1,2 s d'écart doivent se
# retrouver dans l'enregistrement là où l'origine des temps les place, un son de paplay
# après son lancement, et un petit client X doit être trouvé, capturé puis arrêté ;
# rien ne doit rester derrière.
# shellcheck source=commun.sh disable=SC2016,SC2059 # bash -c '…' ; printf écrit des octets
source "$(dirname "$0")/commun.sh"
e2e_prepare 120
e2e_requiert sox od paplay pacat xdotool import identify convert xmessage pgrep

e2e_x
e2e_son

# Les bips passent par un lecteur déjà connecté au serveur : à l'instant voulu il ne reste
# qu'une écriture dans un tube par le printf de bash, sans lancer de processus (paplay met
# 5 à 45 ms à démarrer ici, selon la charge : de quoi cacher une erreur d'origine).
# Chaque bip est suivi de 300 ms de silence : écrit d'un coup, il remplit le tampon du flux
# (100 ms), qui repart aussitôt et ne peut plus manquer de données pendant le bip.
format=(--raw --format=s16le --rate=44100 --channels=1)
sox -n -t raw -r 44100 -c 1 -b 16 -e signed-integer "$E2E_TEMP/bip1.raw" synth 0.15 sine 880 vol 0.5 pad 0 0.3
sox -n -t raw -r 44100 -c 1 -b 16 -e signed-integer "$E2E_TEMP/bip2.raw" synth 0.15 sine 1320 vol 0.5 pad 0 0.3
octets1=$(od -An -v -tx1 "$E2E_TEMP/bip1.raw" | sed 's/ /\\x/g' | tr -d '\n')
octets2=$(od -An -v -tx1 "$E2E_TEMP/bip2.raw" | sed 's/ /\\x/g' | tr -d '\n')
# Références : le second bip à 22050 Hz (debuts_sons le rééchantillonne), et un troisième son
# joué par paplay, que le serveur rééchantillonne comme il le fera des sons du programme.
sox -n -r 22050 -c 1 -b 16 "$E2E_TEMP/bip2_22050.wav" synth 0.15 sine 1320 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$E2E_TEMP/bip3.wav" synth 0.1 sine 660 vol 0.5

mkfifo "$E2E_TEMP/lecteur"
e2e_demarre lecteur bash -c 'exec pacat --playback "${@:2}" --latency-msec=100 -d horloge <"$1"' _ \
    "$E2E_TEMP/lecteur" "${format[@]}"
lecteur=$E2E_PID
exec {tube}>"$E2E_TEMP/lecteur"
# shellcheck disable=SC2317 # appelée par e2e_sonde
deux_flux() { (($(pactl list short sink-inputs | wc -l) >= 2)); }
e2e_sonde 5 deux_flux || true
e2e_egal 2 "$(pactl list short sink-inputs | wc -l)" "flux ouverts sur l'évier (gardien et lecteur)"

e2e_enregistre harnais.wav
debut=${EPOCHREALTIME/,/.}
e2e_attends_jusqua "$(e2e_calcule "$debut + 0.4")"
lance1=${EPOCHREALTIME/,/.}
printf "$octets1" >&"$tube"
e2e_attends_jusqua "$(e2e_calcule "$lance1 + 1.2")"
lance2=${EPOCHREALTIME/,/.}
printf "$octets2" >&"$tube"
e2e_dors 0.5
lance3=${EPOCHREALTIME/,/.}
e2e_demarre paplay paplay "$E2E_TEMP/bip3.wav"
e2e_attends_fin "$E2E_PID" 10 || e2e_echec "paplay a échoué (voir $E2E_ARTEFACTS/paplay.log)"
# Les processus lancés depuis gardent le tube ouvert : le lecteur ne verrait pas sa fin.
exec {tube}>&-
e2e_vivant "$lecteur" || e2e_echec "le lecteur s'est arrêté (voir $E2E_ARTEFACTS/lecteur.log)"
e2e_arrete "$lecteur"
e2e_dors 0.3
e2e_arrete_enregistrement

mapfile -t sons < <(e2e_sons harnais.wav)
printf '%s\n' "${sons[@]}" >"$E2E_ARTEFACTS/sons.txt"
e2e_egal 3 "${#sons[@]}" "nombre de sons enregistrés"
read -r debut1 fin1 pic1 <<<"${sons[0]}"
read -r debut2 _ _ <<<"${sons[1]}"
read -r debut3 fin3 _ <<<"${sons[2]}"
e2e_proche "$(e2e_calcule "$fin1 - $debut1")" 0.150 0.005 "durée du premier bip"
e2e_proche "$pic1" -6.0 0.5 "niveau du premier bip (dBFS)"
e2e_proche "$(e2e_calcule "$debut2 - $debut1")" 1.2 0.015 "espacement des deux bips"
attendu1=$(e2e_position "$lance1")
attendu2=$(e2e_position "$lance2")
e2e_proche "$debut1" "$attendu1" 0.030 "position du premier bip selon l'origine"
e2e_proche "$debut2" "$attendu2" 0.030 "position du second bip selon l'origine"
# Un son ne peut précéder son lancement : une origine trop tardive se verrait ici.
attendu3=$(e2e_position "$lance3")
e2e_proche "$debut3" "$(e2e_calcule "$attendu3 + 0.1")" 0.1 "son de paplay entre son lancement et 200 ms après"
e2e_proche "$(e2e_calcule "$fin3 - $debut3")" 0.100 0.005 "durée du son rééchantillonné"
e2e_info "$(awk -v a="$debut1" -v b="$attendu1" -v c="$debut2" -v d="$attendu2" -v e="$debut3" -v f="$attendu3" 'BEGIN {
    printf "retard sur l\047écriture : %.1f et %.1f ms ; espacement %.1f ms pour %.1f ms ; paplay %.1f ms",
        (a - b) * 1000, (c - d) * 1000, (c - a) * 1000, (d - b) * 1000, (e - f) * 1000 }')"

# La référence à 22050 Hz se retrouve au second bip et nulle part ailleurs.
mapfile -t trouves < <(e2e_sons harnais.wav --correle "$E2E_TEMP/bip2_22050.wav" --score-min 0.8)
e2e_egal 1 "${#trouves[@]}" "occurrences du second bip"
read -r position score <<<"${trouves[0]}"
e2e_proche "$position" "$debut2" 0.003 "position du second bip par corrélation"
e2e_proche "$score" 1 0.1 "ressemblance du second bip enregistré"

# Écran : une fenêtre, trouvée par son titre, visible sur la capture.
e2e_demarre xmessage xmessage -title "Essai du harnais" -geometry 300x120+100+100 "Bonjour"
client=$E2E_PID
e2e_attends_fenetre '^Essai du harnais$' 10
[[ "$E2E_FENETRE" =~ ^[0-9]+$ ]] || e2e_echec "identifiant de fenêtre inattendu : $E2E_FENETRE"
e2e_capture ecran
e2e_egal "PNG 1024x768" "$(identify -format '%m %wx%h' "$E2E_CAPTURE")" "format de la capture"
# Xvfb laisse le fond noir : la fenêtre blanche se voit sur la zone qu'elle occupe, pas ailleurs.
fenetre=$(convert "$E2E_CAPTURE" -crop 300x120+100+100 -format '%[fx:mean]' info:)
fond=$(convert "$E2E_CAPTURE" -crop 300x120+600+500 -format '%[fx:mean]' info:)
e2e_proche "$fond" 0 0.01 "fond de l'écran hors de la fenêtre"
awk -v m="$fenetre" 'BEGIN { exit !(m > 0.5) }' || e2e_echec "la fenêtre n'apparaît pas sur la capture (luminosité $fenetre)"
e2e_fenetre_visible '^Fenêtre inexistante$' && e2e_echec "une fenêtre absente est trouvée"
# Sans fenêtre, l'attente échoue au bout du délai (sous-shell : le test continue).
(e2e_attends_fenetre '^Fenêtre inexistante$' 1) 2>/dev/null && e2e_echec "l'attente d'une fenêtre absente a réussi"
(e2e_attends_disparition '^Essai du harnais$' 1) 2>/dev/null && e2e_echec "une fenêtre visible est dite disparue"

# L'attente bornée : rend la main dès que la condition tient, au pas donné ; tient son délai
# en heure réelle ; dit ce qui manque ; n'attend pas un processus surveillé qui s'est arrêté.
essais=0
# shellcheck disable=SC2317 # appelée par e2e_sonde
troisieme() { ((++essais >= 3)); }
t0=${EPOCHREALTIME/,/.}
e2e_sonde --pas 0.1 5 troisieme || e2e_echec "la condition devenue vraie n'est pas vue"
e2e_egal 3 "$essais" "essais de la condition"
e2e_proche "$(e2e_calcule "${EPOCHREALTIME/,/.} - $t0")" 0.2 0.1 "deux pas de 100 ms avant la troisième réussite"
t0=${EPOCHREALTIME/,/.}
e2e_sonde 1 false && e2e_echec "une condition jamais vraie réussit"
e2e_proche "$(e2e_calcule "${EPOCHREALTIME/,/.} - $t0")" 1.1 0.1 "fin de l'attente au délai"
(e2e_attends_que 1 "la condition manque" false) 2>"$E2E_TEMP/echec.txt" && e2e_echec "e2e_attends_que réussit sans la condition"
grep -q "ÉCHEC : la condition manque (en 1 s)" "$E2E_TEMP/echec.txt" || e2e_echec "message d'échec : $(cat "$E2E_TEMP/echec.txt")"
e2e_demarre bref true
bref=$E2E_PID
t0=${EPOCHREALTIME/,/.}
(e2e_attends_que --pid "$bref" 10 "jamais" false) 2>"$E2E_TEMP/echec.txt" && e2e_echec "l'attente d'un processus arrêté réussit"
grep -q "bref s'est arrêté (voir $E2E_ARTEFACTS/bref.log)" "$E2E_TEMP/echec.txt" || e2e_echec "message d'échec : $(cat "$E2E_TEMP/echec.txt")"
awk -v d="$(e2e_calcule "${EPOCHREALTIME/,/.} - $t0")" 'BEGIN { exit !(d < 1) }' || e2e_echec "l'arrêt du processus surveillé attend le délai"

# L'heure de la machine remise pendant un test (vu sur une machine virtuelle : 4 s de plus
# en plein test) : il le dit et reprend une fois, puis échoue pour de bon si l'échec demeure.
# Le temps depuis le démarrage (figé ici) qui recule de 3 s vaut une heure murale avancée de 3 s.
cat >"$E2E_TEMP/essai_saut.sh" <<FIN
source "$CV_SOURCE/tests/e2e/commun.sh"
e2e_prepare 20
echo passage >>"$E2E_TEMP/passages"
awk '{ printf "%.2f\\n", \$1 - 3 }' "$E2E_TEMP/uptime" >"$E2E_TEMP/uptime.n" && mv "$E2E_TEMP/uptime.n" "$E2E_TEMP/uptime"
e2e_echec "échec voulu"
FIN
cp /proc/uptime "$E2E_TEMP/uptime"
E2E__UPTIME=$E2E_TEMP/uptime bash "$E2E_TEMP/essai_saut.sh" >"$E2E_TEMP/saut.txt" 2>&1 &&
    e2e_echec "l'essai du saut d'heure a réussi"
e2e_egal 2 "$(wc -l <"$E2E_TEMP/passages")" "passages du test dont l'heure a sauté"
grep -q "l'heure de la machine a sauté de 3.0" "$E2E_TEMP/saut.txt" || e2e_echec "saut non signalé : $(cat "$E2E_TEMP/saut.txt")"

e2e_zone_notification

# Un client arrêté disparaît de l'écran.
e2e_arrete "$client"
e2e_vivant "$client" && e2e_echec "xmessage tourne encore"
e2e_fenetre_visible '^Essai du harnais$' && e2e_echec "la fenêtre reste visible après l'arrêt du client"
e2e_attends_disparition '^Essai du harnais$' 1

# Tout s'arrête par PID : rien ne reste, pas même l'écran ou la prise du serveur de son.
ecran=${DISPLAY#:}
lances=("${E2E_LANCES[@]}")
temp=$E2E_TEMP
e2e_nettoie
e2e_egal 0 "${#E2E_RESTANTS[@]}" "processus restés après l'arrêt ordonné"
for pid in "${lances[@]}"; do
    e2e_vivant "$pid" && e2e_echec "le processus $pid tourne encore"
done
restes=$(pgrep -a -f "$temp" || true)
[[ -z "$restes" ]] || e2e_echec "processus restants : $restes"
[[ -e /tmp/.X11-unix/X$ecran || -e /tmp/.X$ecran-lock ]] && e2e_echec "Xvfb a laissé sa prise ou son verrou (:$ecran)"
[[ -d "$temp" ]] && e2e_echec "dossier temporaire non effacé"
[[ -s "$E2E_ARTEFACTS/harnais.wav" && -s "$E2E_ARTEFACTS/ecran.png" ]] || e2e_echec "artefacts manquants"
exit 0
