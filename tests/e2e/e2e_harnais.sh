#!/usr/bin/env bash
# Essai du harnais lui-même, sans le programme : deux bips joués par paplay à 1,2 s d'écart
# doivent se retrouver dans l'enregistrement là où l'origine des temps les place, et un
# petit client X doit être trouvé, capturé puis arrêté sans rien laisser derrière lui.
source "$(dirname "$0")/commun.sh"
e2e_prepare 120
e2e_requiert sox paplay xdotool import identify convert xmessage pgrep

e2e_x
e2e_son

# Le second bip est à 22050 Hz : le serveur le rééchantillonne, comme les sons du programme.
sox -n -r 44100 -c 1 -b 16 "$E2E_TEMP/bip1.wav" synth 0.15 sine 880 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$E2E_TEMP/bip2.wav" synth 0.15 sine 1320 vol 0.5

e2e_enregistre harnais.wav
debut=${EPOCHREALTIME/,/.}
e2e_attends_jusqua "$(e2e_calcule "$debut + 0.4")"
lance1=${EPOCHREALTIME/,/.}
e2e_demarre paplay paplay "$E2E_TEMP/bip1.wav"
bip1=$E2E_PID
e2e_attends_jusqua "$(e2e_calcule "$lance1 + 1.2")"
lance2=${EPOCHREALTIME/,/.}
e2e_demarre paplay paplay "$E2E_TEMP/bip2.wav"
bip2=$E2E_PID
e2e_attends_fin "$bip1" 10 || e2e_echec "paplay a échoué (voir $E2E_ARTEFACTS/paplay.log)"
e2e_attends_fin "$bip2" 10 || e2e_echec "paplay a échoué (voir $E2E_ARTEFACTS/paplay.log)"
sleep 0.3
e2e_arrete_enregistrement

mapfile -t sons < <(e2e_sons harnais.wav)
printf '%s\n' "${sons[@]}" >"$E2E_ARTEFACTS/sons.txt"
e2e_egal 2 "${#sons[@]}" "nombre de sons enregistrés"
read -r debut1 fin1 pic1 <<<"${sons[0]}"
read -r debut2 _ _ <<<"${sons[1]}"
e2e_proche "$(e2e_calcule "$fin1 - $debut1")" 0.150 0.005 "durée du premier bip"
e2e_proche "$pic1" -6.0 0.5 "niveau du premier bip (dBFS)"

# L'écart entre les deux lancements vaut 1,2 s à ~1 ms près (sommeil de bash).
e2e_proche "$(e2e_calcule "$debut2 - $debut1")" 1.2 0.015 "espacement des deux bips"
# paplay met quelques ms à se connecter et à remplir son flux : retard toujours positif.
attendu1=$(e2e_position "$lance1")
attendu2=$(e2e_position "$lance2")
e2e_proche "$debut1" "$attendu1" 0.030 "position du premier bip selon l'origine"
e2e_proche "$debut2" "$attendu2" 0.030 "position du second bip selon l'origine"
e2e_info "$(awk -v a="$debut1" -v b="$attendu1" -v c="$debut2" -v d="$attendu2" 'BEGIN {
    printf "retard des bips sur leur lancement : %.1f ms et %.1f ms ; espacement %.1f ms pour %.1f ms lancés",
        (a - b) * 1000, (c - d) * 1000, (c - a) * 1000, (d - b) * 1000 }')"

# La référence rééchantillonnée se retrouve au second bip et nulle part ailleurs.
mapfile -t trouves < <(e2e_sons harnais.wav --correle "$E2E_TEMP/bip2.wav" --score-min 0.8)
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

e2e_zone_notification

# Un client arrêté disparaît de l'écran.
e2e_arrete "$client"
e2e_vivant "$client" && e2e_echec "xmessage tourne encore"
e2e_fenetre_visible '^Essai du harnais$' && e2e_echec "la fenêtre reste visible après l'arrêt du client"

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
