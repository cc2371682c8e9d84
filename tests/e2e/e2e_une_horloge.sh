#!/usr/bin/env bash
# shellcheck disable=SC2016,SC2317 # bash -c reçoit ses arguments ; fonctions lancées par e2e_attends_que
# Une seule horloge par dossier de réglages, sur le vrai programme et une vraie zone de
# notification (trayer) :
# 1. Sans bus de session, puis avec : l'horloge tourne cachée derrière son icône ; une seconde
#    lancée sur le même dossier sort avec le code 0 sans rien écrire (ni réglages, ni lanceurs) et
#    la fenêtre de la première revient, seule ; la minute suivante se dit une fois ; la place
#    donnée à la fenêtre de la première est dans CV32.ini quand elle se ferme.
# 2. Tuée par SIGKILL, l'horloge laisse un verrou périmé : la suivante démarre.
# 3. Une horloge d'un autre dossier tourne à côté ; quand celle qui tient le nom D-Bus se ferme,
#    l'autre le reprend et « Dire l'heure » répond encore.
source "$(dirname "$0")/commun.sh"
e2e_prepare 150
e2e_requiert sox xdotool gdbus
e2e_x
e2e_son
e2e_zone_notification
titre='^ [0-9]{2}:[0-9]{2} - '
sox "$CV_SOURCE/resources/sons/70.wav" -b 16 "$E2E_TEMP/ref70.wav"
affichees() { [[ "$(xdotool search --onlyvisible --name "$titre" 2>/dev/null | wc -l)" == "$1" ]]; }
affichee_par() { xdotool search --onlyvisible --pid "$1" --name "$titre"; }

# deux_lancements nom hh:mm:ss(départ) hh:mm(minute annoncée)
deux_lancements() {
    local premiere statut=0 ecrits
    e2e_copie_dossier "$1"
    sed -i -E 's/^Réduction = .*/Réduction = 1\r/; s/^CV_visible = .*/CV_visible = False\r/' "$E2E_DOSSIER/CV32.ini"
    e2e_enregistre "$1.wav"
    e2e_lance_programme --heure "2026-12-08 $2" "$E2E_DOSSIER"
    premiere=$E2E_PROGRAMME_PID
    # Démarrée quand son lanceur est recopié dans le dossier ; sa fenêtre reste cachée.
    e2e_attends_que --pid "$premiere" 15 "$1 : pas de lanceur" test -f "$E2E_DOSSIER/chronovocalis.desktop"
    e2e_verifie "$1 : fenêtre affichée avant la seconde horloge" affichees 0
    touch "$E2E_TEMP/marque"
    e2e_dors 0.1
    e2e_demarre "$1-seconde" bash -c 'cd "$1" && exec env QT_QPA_PLATFORM=xcb ./chronovocalis' _ "$E2E_DOSSIER"
    e2e_attends_fin "$E2E_PID" 10 || statut=$?
    e2e_egal 0 "$statut" "$1 : code de sortie de la seconde horloge"
    e2e_attends_que 5 "$1 : la fenêtre de la première ne revient pas" affichee_par "$premiere"
    e2e_verifie "$1 : une seule fenêtre" affichees 1
    ecrits=$(find "$E2E_DOSSIER" "$HOME" -newer "$E2E_TEMP/marque" -type f)
    [[ -z "$ecrits" ]] || e2e_echec "$1 : écrits pendant la seconde horloge : $ecrits"
    e2e_attends_heure_fictive "2026-12-08 $3:05"
    e2e_arrete_enregistrement
    e2e_egal 1 "$(e2e_sons "$1.wav" --correle "$E2E_TEMP/ref70.wav" --score-min 0.9 | wc -l)" "$1 : « heures » à $3"
    xdotool windowmove "$(affichee_par "$premiere")" 300 200
    e2e_dors 0.5
    kill -TERM "$premiere"
    e2e_attends_fin "$premiere" 15 || e2e_echec "$1 : fin de la première horloge en erreur"
    grep -q $'^CV_left =4500\r' "$E2E_DOSSIER/CV32.ini" || e2e_echec "$1 : place de la première non rangée"
}
deux_lancements sans_bus 10:14:53 10:15
e2e_bus
deux_lancements avec_bus 10:29:53 10:30

# ------------------------------------------------------------ 2. verrou périmé
e2e_lance_programme "$E2E_DOSSIER"
e2e_attends_que --pid "$E2E_PROGRAMME_PID" 15 "l'horloge ne s'affiche pas" affichee_par "$E2E_PROGRAMME_PID"
kill -KILL "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 5
e2e_lance_programme "$E2E_DOSSIER"
premiere=$E2E_PROGRAMME_PID
e2e_attends_que --pid "$premiere" 15 "après SIGKILL, l'horloge suivante ne s'affiche pas" affichee_par "$premiere"

# ------------------------------------------------------------ 3. le nom D-Bus passe à l'autre
SERVICE=fr.chronovocalis.ChronoVocalis
proprietaire() {
    [[ "$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.GetConnectionUnixProcessID "$SERVICE" 2>/dev/null)" == "(uint32 $1,)" ]]
}
e2e_attends_que 10 "la première horloge ne prend pas le nom" proprietaire "$premiere"
e2e_copie_dossier autre
# Sans touche pour dire l'heure : la première la tient, la boîte qui le dirait cacherait l'horloge.
printf 'touche_heure =\r\n' >>"$E2E_DOSSIER/CV32.ini"
e2e_lance_programme "$E2E_DOSSIER"
e2e_attends_que --pid "$E2E_PROGRAMME_PID" 15 "l'horloge de l'autre dossier ne s'affiche pas" affichees 2
kill -TERM "$premiere"
e2e_attends_fin "$premiere" 15 || e2e_echec "fin de la première horloge en erreur"
e2e_attends_que --pid "$E2E_PROGRAMME_PID" 10 "l'autre horloge ne reprend pas le nom" proprietaire "$E2E_PROGRAMME_PID"
gdbus call --session --dest "$SERVICE" --object-path /fr/chronovocalis/ChronoVocalis \
    --method "$SERVICE.DireHeure" >/dev/null || e2e_echec "« Dire l'heure » ne répond plus"
exit 0
