#!/usr/bin/env bash
# La touche qui dit l'heure, sous X11 avec xfwm4, sur le vrai programme (touche_heure absente :
# Alt+Super+H, le défaut) :
# 1. une autre fenêtre a le clavier : xdotool tape Alt+Super+H, la phrase de 14:37 est entendue ;
#    Verr. num. allumé, encore ;
# 2. le programme fermé rend la touche : xbindkeys la prend ensuite et la reçoit ;
# 3. xbindkeys la tient d'abord : un second lancement le dit dans une boîte, une seule, continue
#    sans rien voler (la touche va toujours à xbindkeys) ;
# 4. KDE : kglobalaccel5, lancé par le bus comme dans Plasma, reçoit la touche et l'horloge la dit.
# shellcheck source=tests/e2e/commun.sh
source "$(dirname "$0")/commun.sh"
e2e_prepare 180
e2e_requiert xdotool xmessage xbindkeys sox

e2e_x
e2e_bus
e2e_gestionnaire xfwm4
e2e_son

titre='^ [0-9]{2}:[0-9]{2} - '
JOUR=2027-03-15
for n in 14 70 30 7 71; do
    sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"
done

# Une autre application, qui prend le clavier.
autre=
autre_fenetre() {
    if [[ -z "$autre" ]]; then
        e2e_demarre xmessage xmessage -name autre -title 'Autre application' -geometry 300x100+600+300 'Autre'
        e2e_attends_fenetre '^Autre application$' 10
        autre=$E2E_FENETRE
    fi
    xdotool windowactivate --sync "$autre"
    e2e_attends_que 5 "l'autre fenêtre n'a pas le clavier" test "$(xdotool getactivewindow)" = "$autre"
}

# heure_entendue nom : enregistre pendant que la touche est tapée ; les mots de 14:37, dans l'ordre.
heure_entendue() {
    e2e_enregistre "$1.wav"
    xdotool key --clearmodifiers super+alt+h
    # La phrase dure 4,4 s, « minutes » compris.
    e2e_dors 6
    e2e_arrete_enregistrement
    local n avant=
    for n in 14 70 30 7 71; do
        mapfile -t trouves < <(e2e_sons "$1.wav" --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9)
        e2e_egal 1 "${#trouves[@]}" "$1 : son $n entendu après Alt+Super+H"
        read -r position _ <<<"${trouves[0]}"
        [[ -z "$avant" ]] || e2e_verifie "$1 : son $n après le précédent" awk "BEGIN { exit !($position > $avant) }"
        avant=$position
    done
}

# ---------------------------------------------------------------- 1. entendue depuis ailleurs
e2e_copie_dossier premier
sed -i -E 's/^(déclenche_annonce =)[^\r]*/\1 0/' "$E2E_DOSSIER/CV32.ini"
livre=$(cat "$E2E_DOSSIER/CV32.ini")
e2e_lance_programme --heure "$JOUR 14:37:02" --env XDG_CURRENT_DESKTOP=XFCE --env XDG_SESSION_TYPE=x11 "$E2E_DOSSIER"
e2e_attends_fenetre "$titre" 20
autre_fenetre
heure_entendue sans_verrou
xdotool key Num_Lock
xset q | grep -q 'Num Lock: *on' || e2e_echec "Verr. num. ne s'allume pas"
heure_entendue verr_num
xdotool key Num_Lock
e2e_egal "$autre" "$(xdotool getactivewindow)" "l'autre fenêtre a gardé le clavier"

# ---------------------------------------------------------------- 2. rendue à la fermeture
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur"
e2e_egal "$(sed -E '/^;/! s/^([^=]*=) /\1/' <<<"$livre")" "$(cat "$E2E_DOSSIER/CV32.ini")" \
    "CV32.ini sans touche_heure ajoutée (la touche n'a pas changé)"
printf '"echo presse >> %s"\n  Mod4+Mod1 + h\n' "$E2E_TEMP/xbindkeys.txt" >"$E2E_TEMP/xbindkeysrc"
e2e_demarre xbindkeys xbindkeys -n -f "$E2E_TEMP/xbindkeysrc"
xbindkeys_pid=$E2E_PID
e2e_dors 1
xdotool key --clearmodifiers super+alt+h
e2e_attends_que 5 "xbindkeys ne reçoit pas la touche rendue" test -s "$E2E_TEMP/xbindkeys.txt"

# ---------------------------------------------------------------- 3. déjà prise
e2e_copie_dossier prise
e2e_lance_programme --env XDG_CURRENT_DESKTOP=XFCE "$E2E_DOSSIER"
e2e_attends_fenetre '^Chrono Vocalis 95$' 20
e2e_capture touche_prise
xdotool windowactivate --sync "$E2E_FENETRE" key Return
e2e_attends_fenetre "$titre" 10
e2e_dors 1
e2e_fenetre_visible '^Chrono Vocalis 95$' && e2e_echec "une seconde boîte après la première"
xdotool key --clearmodifiers super+alt+h
e2e_attends_que 5 "la touche ne va plus à xbindkeys" test "$(wc -l <"$E2E_TEMP/xbindkeys.txt")" -eq 2
e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté (voir $E2E_ARTEFACTS/programme.log)"
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur"
e2e_arrete "$xbindkeys_pid"

# ---------------------------------------------------------------- 4. KDE : kglobalaccel
# Le service est lancé par le bus privé du test à la première demande, comme dans Plasma.
e2e_copie_dossier kde
e2e_lance_programme --heure "$JOUR 14:37:02" --env XDG_CURRENT_DESKTOP=KDE --env XDG_SESSION_TYPE=x11 "$E2E_DOSSIER"
e2e_attends_fenetre "$titre" 20
e2e_attends_que 10 "kglobalaccel n'a pas le raccourci de l'horloge" \
    gdbus call --session --dest org.kde.kglobalaccel --object-path /component/chronovocalis \
    --method org.kde.kglobalaccel.Component.isActive
autre_fenetre
heure_entendue kglobalaccel
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur"
# Gardé pour les réglages des raccourcis de Plasma, inactif tant que l'horloge ne tourne pas.
actif=$(gdbus call --session --dest org.kde.kglobalaccel --object-path /component/chronovocalis \
    --method org.kde.kglobalaccel.Component.isActive)
e2e_egal "(false,)" "$actif" "raccourci de KDE après la fermeture"
exit 0
