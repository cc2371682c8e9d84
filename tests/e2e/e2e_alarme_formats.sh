#!/usr/bin/env bash
# Les fichiers WAVE que l'on trouve, comme sons des six alarmes de 10:05, puis l'horloge
# reculée par-dessus l'alarme. Cinq formats faits par sox (24 bits stéréo à 96 kHz en format
# étendu, flottants de 32 et de 64 bits, huit canaux, format étendu à extension courte et
# alignement faux) : chacun s'entend une fois, à sa place. L'alarme 6 a un son que le programme
# ne sait pas jouer (IMA ADPCM) : silence à sa place. Puis l'heure recule jusqu'à 10:03:59,
# revient à 10:04:58 : 10:05 s'annonce à nouveau (l'horloge murale), aucune alarme ne repart.
source "$(dirname "$0")/commun.sh"
e2e_prepare 180
e2e_requiert sox perl
e2e_x
e2e_son
e2e_copie_dossier

s=$E2E_TEMP/sons
mkdir -p "$s"
sox -n -r 96000 -c 2 -b 24 "$s/1.wav" synth 0.4 sine 500 vol 0.5
sox -n -r 48000 -c 1 -e floating-point -b 32 "$s/2.wav" synth 0.4 sine 700 vol 0.5
sox -n -r 44100 -c 1 -e floating-point -b 64 "$s/3.wav" synth 0.4 sine 900 vol 0.5
sox -n -r 22050 -c 8 -b 16 "$s/4.wav" synth 0.4 sine 1100 vol 0.5
sox -n -r 16000 -c 1 -b 24 -t wavpcm "$s/5-pcm.wav" synth 0.4 sine 1300 vol 0.5
sox -n -r 8000 -c 1 -e ima-adpcm "$s/6.wav" synth 0.4 sine 1500 vol 0.5
# Format étendu dont l'extension (2 octets) ne porte pas de sous-format, alignement des blocs faux.
perl -e '
    local $/;
    open my $e, "<:raw", $ARGV[0] or die; my $o = <$e>;
    my $i = index($o, "fmt "); my $n = unpack("V", substr($o, $i + 4, 4));
    my $fmt = substr($o, $i + 8, 16);
    substr($fmt, 0, 2) = pack("v", 0xFFFE); substr($fmt, 12, 2) = pack("v", 7);
    $fmt .= pack("v", 0);
    my $corps = substr($o, 12, $i - 12) . "fmt " . pack("V", length $fmt) . $fmt . substr($o, $i + 8 + $n);
    open my $s, ">:raw", $ARGV[1] or die; print $s "RIFF", pack("V", length($corps) + 4), "WAVE", $corps;
' "$s/5-pcm.wav" "$s/5.wav"
# sox lui-même refuse l'extension courte : la référence du 5 vient du fichier d'origine.
for n in 1 2 3 4 5-pcm; do
    sox "$s/$n.wav" -b 16 -r 44100 -c 1 "$E2E_TEMP/ref${n%-pcm}.wav"
done
sox "$CV_SOURCE/resources/sons/70.wav" -b 16 -r 44100 "$E2E_TEMP/ref70.wav"

ini=$E2E_DOSSIER/CV32.ini
cr=$'\r'
regle() { sed -i -E "s|^($1) =[^$cr]*|\\1 =$2|" "$ini"; }
regle 'd.clenche_annonce' 3
for n in 1 2 3 4 5 6; do
    regle "ALH$n" 10
    regle "ALMN$n" 5
    regle "AL$n" True
    regle "ALMSG$n" False
    regle "ALAPP$n" False
    regle "ALSON$n" "$s/$n.wav"
done

# L'horloge fictive se lit dans un fichier que le test réécrit pour la faire reculer.
lib=$(e2e__libfaketime) || e2e_echec "libfaketime absente (paquet faketime)"
decalage=$E2E_TEMP/decalage
regle_heure() {
    local cible
    cible=$(date -d "$1" +%s)
    E2E_DECALAGE=$((cible - ${EPOCHREALTIME%[.,]*}))
    printf '%+d\n' "$E2E_DECALAGE" >"$decalage.nouveau"
    mv "$decalage.nouveau" "$decalage"
}
JOUR=2026-12-08
e2e_dors "$(e2e_calcule "1 - (${EPOCHREALTIME/,/.} - int(${EPOCHREALTIME/,/.}))")"
regle_heure "$JOUR 10:04:55"
e2e_enregistre formats.wav
e2e_lance_programme --env "LD_PRELOAD=$lib" --env "FAKETIME_TIMESTAMP_FILE=$decalage" \
    --env FAKETIME_NO_CACHE=1 --env FAKETIME_DONT_FAKE_MONOTONIC=1 "$E2E_DOSSIER"
E2E_DECALAGE=$(($(cat "$decalage"))) # le lanceur l'efface sans --heure
e2e_attends_heure_fictive "$JOUR 10:05:00"
premier=$(e2e_calcule "$(date -d "$JOUR 10:05:00" +%s) - $E2E_DECALAGE")
e2e_attends_heure_fictive "$JOUR 10:05:16"
e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté (voir $E2E_ARTEFACTS/programme.log)"
regle_heure "$JOUR 10:03:59"
e2e_attends_heure_fictive "$JOUR 10:04:01"
regle_heure "$JOUR 10:04:58"
e2e_attends_heure_fictive "$JOUR 10:05:00"
second=$(e2e_calcule "$(date -d "$JOUR 10:05:00" +%s) - $E2E_DECALAGE")
e2e_attends_heure_fictive "$JOUR 10:05:15"
e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté (voir $E2E_ARTEFACTS/programme.log)"
e2e_arrete_enregistrement
e2e_arrete "$E2E_PROGRAMME_PID"
p1=$(e2e_position "$premier")
p2=$(e2e_position "$second")

# « heures » deux fois : 10:05 s'annonce à chaque passage de l'horloge murale, dans la seconde
# 0 (le tic de 900 ms la voit jusqu'à 0,9 s après son début).
mapfile -t trouves < <(e2e_sons formats.wav --correle "$E2E_TEMP/ref70.wav" --score-min 0.9)
printf '%s\n' "${trouves[@]}" >"$E2E_ARTEFACTS/heures.txt"
e2e_egal 2 "${#trouves[@]}" "occurrences de « heures »"
read -r h1 _ <<<"${trouves[0]}"
read -r h2 _ <<<"${trouves[1]}"
e2e_proche "$(e2e_calcule "$h1 - $p1")" 1.65 0.5 "« heures » du premier 10:05"
e2e_proche "$(e2e_calcule "$h2 - $p2")" 1.65 0.5 "« heures » du second 10:05"
# Le tic de la minute a commencé 1,2 s avant « heures ».
t0=$(e2e_calcule "$h1 - 1.2")

# Chaque son une fois, à sa place : après la phrase (3,2 s), la seconde d'attente et la mise en
# route du flux depuis le disque (quelques centièmes), puis 1,5 s par alarme.
for n in 1 2 3 4 5; do
    mapfile -t trouves < <(e2e_sons formats.wav --correle "$E2E_TEMP/ref$n.wav" --score-min 0.8)
    printf '%s\n' "${trouves[@]}" >"$E2E_ARTEFACTS/sons_$n.txt"
    e2e_egal 1 "${#trouves[@]}" "occurrences du son de l'alarme $n"
    read -r position score <<<"${trouves[0]}"
    ecart=$(e2e_calcule "$position - $t0")
    e2e_info "alarme $n au début du tic de 10:05 + $ecart s (ressemblance $score)"
    e2e_proche "$ecart" "$(e2e_calcule "4.3 + 1.5 * ($n - 1)")" 0.3 "place du son de l'alarme $n"
done
# À la place de l'alarme 6 : rien.
sox "$E2E_ARTEFACTS/formats.wav" "$E2E_TEMP/place6.wav" trim "$(e2e_calcule "$t0 + 11.8")" 1.2
crete=$(sox "$E2E_TEMP/place6.wav" -n stat 2>&1 | awk '/Maximum amplitude/ { print $3 }')
e2e_info "crête à la place de l'alarme 6 : $crete"
awk -v c="$crete" 'BEGIN { exit !(c < 0.01) }' || e2e_echec "un son à la place de l'alarme 6 (crête $crete)"
exit 0
