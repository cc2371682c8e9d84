#!/usr/bin/env bash
# Les deux outils des tests de bout en bout, sur des sons fabriqués par sox dont on connaît
# chaque instant : debuts_sons (débuts, fins, seuils, silences, formats, corrélation) et
# enregistreur (WAV écrit, trame incomplète, origine des temps).
# shellcheck source=commun.sh
source "$(dirname "$0")/commun.sh"
e2e_prepare 60
e2e_requiert sox od
d=$E2E_TEMP
sons() { "$E2E_OUTILS/debuts_sons" "$@"; }

# Bip de 100 ms à 1 kHz, -6 dBFS ; silence de durée donnée.
bip() { sox -n -r "${3:-44100}" -c 1 -b 16 "$1" synth "${2:-0.1}" sine 1000 vol 0.5; }
silence() { sox -n -r "${2:-44100}" -c 1 -b 16 "$1" trim 0 "$3"; }

# Débuts et fins à l'échantillon près, à 44100 et 22050 Hz ; le fichier commence par un son.
for taux in 44100 22050; do
    bip "$d/b.wav" 0.1 "$taux"
    silence "$d/s05.wav" "$taux" 0.5
    silence "$d/s03.wav" "$taux" 0.3
    sox "$d/b.wav" "$d/s05.wav" "$d/b.wav" "$d/s03.wav" "$d/b.wav" "$d/suite.wav"
    e2e_egal $'0.000 0.100 -6.0\n0.600 0.700 -6.0\n1.000 1.100 -6.0' "$(sons "$d/suite.wav")" "sons à $taux Hz"
    e2e_egal $'0.000\n0.600\n1.000' "$(sons --debuts "$d/suite.wav")" "débuts seuls à $taux Hz"
    e2e_egal 1.100 "$(sons --duree "$d/suite.wav")" "durée à $taux Hz"
done

# Deux sons séparés de 50 ms : un seul son pour --silence 80, deux pour --silence 30.
bip "$d/b.wav"
silence "$d/s.wav" 44100 0.05
sox "$d/b.wav" "$d/s.wav" "$d/b.wav" "$d/proches.wav"
e2e_egal "0.000 0.250 -6.0" "$(sons "$d/proches.wav")" "sons proches réunis (silence 80 ms)"
e2e_egal $'0.000\n0.150' "$(sons --silence 30 --debuts "$d/proches.wav")" "sons proches séparés (silence 30 ms)"

# Seuil en dBFS ou en fraction, autour d'un son à -26 dBFS (0,05).
sox -n -r 44100 -c 1 -b 16 "$d/faible.wav" synth 0.1 sine 1000 vol 0.05 pad 0.2 0.2
e2e_egal "0.200 0.300 -26.0" "$(sons --seuil -30 "$d/faible.wav")" "son faible sous -30 dBFS"
e2e_egal "" "$(sons --seuil -20 "$d/faible.wav")" "son faible au-dessus de -20 dBFS"
e2e_egal "0.200" "$(sons --seuil 0.03 --debuts "$d/faible.wav")" "seuil en fraction 0,03"
e2e_egal "" "$(sons --seuil 0.1 "$d/faible.wav")" "seuil en fraction 0,1"

# Un déclic de 2 ms est écarté par --duree-min ; le son qui suit reste.
sox -n -r 44100 -c 1 -b 16 "$d/clic.wav" synth 0.002 square 100 vol 0.5 pad 0.1 0.3
sox "$d/clic.wav" "$d/b.wav" "$d/clic_bip.wav"
e2e_egal 2 "$(sons --debuts "$d/clic_bip.wav" | wc -l)" "déclic compté sans --duree-min"
e2e_egal "0.402" "$(sons --duree-min 20 --debuts "$d/clic_bip.wav")" "déclic écarté par --duree-min"

# Stéréo avec le son sur le seul canal droit ; trois canaux (en-tête WAVE_FORMAT_EXTENSIBLE).
sox -n -r 48000 -c 1 -b 16 "$d/rien.wav" trim 0 0.35
sox -n -r 48000 -c 1 -b 16 "$d/droite.wav" synth 0.1 sine 1000 vol 0.5 pad 0.25 0
sox -M "$d/rien.wav" "$d/droite.wav" "$d/stereo.wav"
e2e_egal "0.250 0.350 -6.0" "$(sons "$d/stereo.wav")" "son du seul canal droit"
sox -M "$d/rien.wav" "$d/rien.wav" "$d/droite.wav" "$d/trois.wav"
e2e_egal "0.250" "$(sons --debuts "$d/trois.wav")" "fichier à trois canaux (format étendu)"

# Ce qui n'est pas du PCM 16 bits est refusé, avec un message.
sox -n -r 44100 -c 1 -e floating-point -b 32 "$d/flottant.wav" synth 0.1 sine 1000
sox -n -r 44100 -c 1 -b 8 -e unsigned-integer "$d/huit.wav" synth 0.1 sine 1000
printf 'pas un son' >"$d/texte.wav"
for f in flottant huit texte; do
    message=$(sons "$d/$f.wav" 2>&1) && e2e_echec "$f.wav accepté"
    [[ "$message" == "debuts_sons : "* ]] || e2e_echec "$f.wav refusé sans message clair : $message"
done
sons --seuil 3 "$d/suite.wav" 2>/dev/null && e2e_echec "seuil 3 accepté"

# Taille de données laissée à 0 par une écriture coupée : lu jusqu'au bout du fichier.
cp "$d/suite.wav" "$d/coupe.wav"
printf '\x00\x00\x00\x00' | dd of="$d/coupe.wav" bs=1 seek=40 conv=notrunc status=none
e2e_egal 1.100 "$(sons --duree "$d/coupe.wav")" "données de taille nulle lues jusqu'au bout"

# Corrélation : un bip de 1320 Hz retrouvé deux fois parmi des bips de 880 Hz, référence à
# un autre taux (rééchantillonnée), rien pour une référence absente.
sox -n -r 44100 -c 1 -b 16 "$d/la.wav" synth 0.15 sine 880 vol 0.5
sox -n -r 44100 -c 1 -b 16 "$d/mi.wav" synth 0.15 sine 1320 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$d/mi_ref.wav" synth 0.15 sine 1320 vol 0.3
sox -n -r 44100 -c 1 -b 16 "$d/sol.wav" synth 0.15 sine 1568 vol 0.5
silence "$d/s.wav" 44100 0.2
sox "$d/s.wav" "$d/la.wav" "$d/s.wav" "$d/mi.wav" "$d/s.wav" "$d/la.wav" "$d/mi.wav" "$d/s.wav" "$d/melodie.wav"
mapfile -t trouves < <(sons --correle "$d/mi_ref.wav" "$d/melodie.wav")
e2e_egal 2 "${#trouves[@]}" "occurrences du bip de 1320 Hz"
read -r p1 s1 <<<"${trouves[0]}"
read -r p2 s2 <<<"${trouves[1]}"
e2e_egal "0.550 1.050" "$p1 $p2" "positions du bip de 1320 Hz"
e2e_proche "$s1" 1 0.05 "ressemblance du premier bip de 1320 Hz"
e2e_proche "$s2" 1 0.05 "ressemblance du second bip de 1320 Hz"
e2e_egal "" "$(sons --correle "$d/sol.wav" "$d/melodie.wav")" "référence absente"

# Enregistreur : le PCM brut lu devient un WAV ; une trame incomplète en fin est écartée.
head -c 1001 /dev/urandom >"$d/brut"
"$E2E_OUTILS/enregistreur" --taux 22050 "$d/brut.wav" "$d/brut.origine" <"$d/brut" ||
    e2e_echec "l'enregistreur a échoué"
e2e_egal 1044 "$(stat -c %s "$d/brut.wav")" "taille du WAV (500 trames)"
e2e_egal "$(head -c 1000 "$d/brut" | od -An -v -tx1)" "$(tail -c +45 "$d/brut.wav" | od -An -v -tx1)" \
    "données recopiées telles quelles"
e2e_egal "1 22050 44100 16" "$(od -An -j 22 -N 14 -tu2 "$d/brut.wav" |
    awk 'NR == 1 { print $1, $2 + $3 * 65536, $4 + $5 * 65536, $7 }')" "en-tête : canaux, taux, octets/s, bits"
e2e_egal 0.022676 "$(sed -n 's/^duree=//p' "$d/brut.origine")" "durée notée à côté"
e2e_egal 500 "$(sed -n 's/^trames=//p' "$d/brut.origine")" "trames notées à côté"

# Origine : 0,1 s de son arrive à t0, 0,1 s de plus à t0 + 0,5 s. Le second bloc, en
# retard, ne doit pas déplacer l'origine : t0 - 0,1 s, au lancement de head près.
exec {flux}> >("$E2E_OUTILS/enregistreur" --taux 44100 "$d/blocs.wav" "$d/blocs.origine")
t0=${EPOCHREALTIME/,/.}
head -c 8820 /dev/zero >&"$flux"
e2e_dors 0.5
head -c 8820 /dev/zero >&"$flux"
exec {flux}>&-
# Les blocs peuvent arriver en plusieurs lectures : on attend les 8820 trames.
for ((i = 0; i < 100; ++i)); do
    [[ "$(sed -n 's/^trames=//p' "$d/blocs.origine" 2>/dev/null)" == 8820 ]] && break
    e2e_dors 0.02
done
e2e_egal 8820 "$(sed -n 's/^trames=//p' "$d/blocs.origine")" "trames reçues"
ecart=$(e2e_calcule "$(sed -n 's/^origine=//p' "$d/blocs.origine") - ($t0 - 0.1)")
e2e_proche "$ecart" 0.025 0.025 "origine tirée du premier bloc, le plus en avance"
e2e_info "origine à $(awk -v e="$ecart" 'BEGIN { printf "%.1f", e * 1000 }') ms du premier envoi"
exit 0
