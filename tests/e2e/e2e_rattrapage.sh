#!/usr/bin/env bash
# shellcheck disable=SC2016 # bash -c reçoit ses arguments
# Les minutes que l'horloge n'a pas vues à temps, sur le vrai programme, en un seul lancement
# (heure fictive, rythme « chaque 5 mn ») :
# 1. Arrêtée (SIGSTOP) de 10:09:59.2 à 10:10:01.2 : « 10 heures 10 » et l'alarme de 10:10
#    s'entendent une fois, sa boîte vient.
# 2. L'heure bondit à 13:11 : les alarmes de 11:00 et 12:30 ne sonnent pas et ne lancent rien ;
#    une seule boîte « Alarmes manquées » les nomme, lue par AT-SPI ; celle de 13:06 sonne.
# 3. Un faux logind, sur un bus du système d'essai (dbus-daemon avec une configuration de
#    système à nous : logind ne peut pas tourner ici), annonce la veille ; l'heure bondit à 15:11 ;
#    il annonce le réveil : « 15 heures 11 » une fois dans les 3 s, puis l'alarme de 15:08.
source "$(dirname "$0")/commun.sh"
source "$(dirname "$0")/accessibilite.sh"
e2e_prepare 150
e2e_requiert sox xdotool dbus-daemon gdbus
e2e_x
e2e_son
e2e_bus
e2e_accessibilite

printf '<busconfig><type>system</type><listen>unix:path=%s</listen><auth>EXTERNAL</auth>
<policy context="default"><allow user="*"/><allow own="*"/><allow send_destination="*"/>
<allow receive_sender="*"/></policy></busconfig>\n' "$E2E_TEMP/systeme" >"$E2E_TEMP/systeme.conf"
e2e_demarre bus-systeme dbus-daemon --config-file="$E2E_TEMP/systeme.conf" --nofork --nopidfile
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$E2E_TEMP/systeme
e2e_attends_que --pid "$E2E_PID" 10 "pas de bus du système d'essai" test -S "$E2E_TEMP/systeme"
mkfifo "$E2E_TEMP/logind"
e2e_demarre logind bash -c 'exec /usr/bin/python3 "$1" <"$2"' _ "$CV_SOURCE/tests/e2e/outils/logind.py" "$E2E_TEMP/logind"
exec {LOGIND}>"$E2E_TEMP/logind"
e2e_attends_que --pid "$E2E_PID" 10 "le faux logind ne prend pas son nom" grep -q prêt "$E2E_ARTEFACTS/logind.log"

e2e_copie_dossier
ini=$E2E_DOSSIER/CV32.ini
regle() { sed -i -E "s|^($1) =[^\r]*|\\1 =$2|" "$ini"; }
regle 'd.clenche_annonce' 3
# alarme n hh mm note(Hz) message programme : une note que rien d'autre ne joue.
alarme() {
    sox -n -r 22050 -c 1 -b 16 "$E2E_TEMP/s$4.wav" synth 0.6 sine "$4" vol 0.5
    sox "$E2E_TEMP/s$4.wav" -r 44100 "$E2E_TEMP/ref$4.wav"
    regle "ALH$1" "$2" && regle "ALMN$1" "$3" && regle "AL$1" True && regle "ALSON$1" "$E2E_TEMP/s$4.wav"
    regle "ALMSG$1" "$5" && regle "ALAPP$1" "$6" && regle "ALEXE$1" "$E2E_TEMP/vieille.sh"
}
alarme 1 10 10 523 True False
alarme 2 11 0 784 True True
alarme 3 12 30 784 True True
alarme 4 13 6 659 False False
alarme 5 15 8 440 False False
printf 'Le thé.\r\n' >"$E2E_DOSSIER/MSG2.ASC"
printf 'Réunion.\r\n' >"$E2E_DOSSIER/MSG3.ASC"
printf '#!/bin/sh\ntouch "%s"\n' "$E2E_TEMP/lancee" >"$E2E_TEMP/vieille.sh"
chmod +x "$E2E_TEMP/vieille.sh"
for n in 10 11 15 70 71; do sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"; done

# entendus fichier.wav origine(s) "ref:fois …" : chaque référence s'entend tant de fois ; la
# position (depuis l'origine) de la dernière vérifiée est dans POSITION.
entendus() {
    local l n fois
    local -a trouves
    for l in $3; do
        n=${l%%:*} fois=${l#*:}
        mapfile -t trouves < <(e2e_sons "$1" --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9)
        e2e_egal "$fois" "${#trouves[@]}" "${1%.wav} : nombre de sons $n"
        ((fois)) || continue
        POSITION=$(e2e_calcule "${trouves[0]%% *} - $2")
        e2e_info "${1%.wav} : son $n à $POSITION s"
    done
}
# saute_a "hh:mm:ss" : l'heure fictive bondit là (à moins d'une seconde près).
saute_a() { e2e_saute_heure $(($(date -d "$JOUR $1" +%s) - ${EPOCHREALTIME%[.,]*} - E2E_DECALAGE)); }
ferme_boite() {
    e2e_attends_fenetre "$1" 15
    xdotool windowfocus --sync "$E2E_FENETRE" key Return
    e2e_attends_disparition "$1" 5
}

JOUR=2026-12-08
e2e_enregistre arret.wav
e2e_lance_programme --heure "$JOUR 10:09:52" --saut --env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20

# ------------------------------------------------------------ 1. seconde 0 manquée
e2e_attends_heure_fictive "$JOUR 10:09:59.2"
kill -STOP "$E2E_PROGRAMME_PID"
e2e_attends_heure_fictive "$JOUR 10:10:01.2"
kill -CONT "$E2E_PROGRAMME_PID"
ferme_boite '^Alarme 1$'
e2e_arrete_enregistrement
entendus arret.wav "$(e2e_position_heure "$JOUR 10:10:01.2")" "70:1 71:1 523:1"
awk -v d="$POSITION" 'BEGIN { exit !(d > 3 && d < 8) }' || e2e_echec "l'alarme de 10:10 à $POSITION s de la reprise"

# ------------------------------------------------------------ 2. l'heure avancée de 3 h
e2e_enregistre bond.wav
saute_a 13:11:10
sonde boite 15 >"$E2E_ARTEFACTS/boite.txt" || e2e_echec "pas de boîte des alarmes manquées"
e2e_info "boîte : $(tr '\n' ' ' <"$E2E_ARTEFACTS/boite.txt")"
e2e_egal "alert|Alarmes manquées" "$(head -n 1 "$E2E_ARTEFACTS/boite.txt")" "rôle et nom de la boîte"
e2e_egal 2 "$(grep -c -e 'Alarme 2 à 11:00 : Le thé\.' -e 'Alarme 3 à 12:30 : Réunion\.' <(sed 's/\\n/\n/g' "$E2E_ARTEFACTS/boite.txt"))" \
    "alarmes nommées dans la boîte"
ferme_boite '^Alarmes manqu'
e2e_arrete_enregistrement
entendus bond.wav 0 "659:1 784:0 70:0"
[[ -e "$E2E_TEMP/lancee" ]] && e2e_echec "le programme d'une vieille alarme a été lancé"

# ------------------------------------------------------------ 3. veille annoncée par logind
e2e_enregistre veille.wav
echo true >&"$LOGIND"
e2e_attends_que 5 "la veille n'est pas annoncée" grep -q 'PrepareForSleep true' "$E2E_ARTEFACTS/logind.log"
e2e_dors 1
saute_a 15:11:20
e2e_dors 1.5
# L'instant du réveil pris avant l'envoi : l'horloge peut parler avant que le journal du faux logind
# soit relu.
reveil=${EPOCHREALTIME/,/.}
echo false >&"$LOGIND"
e2e_attends_que 5 "le réveil n'est pas annoncé" grep -q 'PrepareForSleep false' "$E2E_ARTEFACTS/logind.log"
e2e_dors 7
e2e_arrete_enregistrement
entendus veille.wav "$(e2e_position "$reveil")" "15:1"
# Les positions dans l'enregistrement se lisent à quelques ms près.
awk -v d="$POSITION" 'BEGIN { exit !(d > -0.05 && d < 3) }' || e2e_echec "l'heure dite $POSITION s après le réveil"
entendus veille.wav "$(e2e_position "$reveil")" "70:1 11:1 71:1 440:1"
awk -v d="$POSITION" 'BEGIN { exit !(d > 3.5) }' || e2e_echec "l'alarme de 15:08 avant la fin de l'heure dite"
exit 0
