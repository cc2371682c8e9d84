#!/usr/bin/env bash
# Le silence sur le vrai programme, sur un vrai bus de session avec les vrais réglages des bureaux.
# L'horloge fictive saute d'une minute à l'autre : libfaketime relit son décalage dans un fichier.
# 1. Session Xfce (XDG_CURRENT_DESKTOP=XFCE, xfconfd), silence de nuit de 22:00 à 07:00 :
#    23:00 muet, et l'heure lue par AT-SPI dit pourquoi ; l'alarme de 23:30 sonne et montre son
#    message ; Espace à 23:31 dit « 23 heures 31 minutes » (23, 70, 30, 1, 71) ; à 07:00 carillon
#    et « 7 heures » ; « Ne pas déranger » mis par xfconf-query : 14:15 muet ; ôté : 14:30 entendu,
#    alors que GNOME et KDE demandent le calme (seul le bureau de la session compte).
# 2. Session GNOME (dconf-service, gsettings) : bannières coupées au démarrage, 14:15 muet ;
#    remises, 14:30 entendu.
# 3. Session KDE : Plasma ne tourne pas ici ; outils/notifications_kde.py tient son serveur de
#    notifications (Inhibit, UnInhibit, propriété Inhibited) : 14:15 muet ; libéré, 14:30 entendu.
# shellcheck source=commun.sh
source "$(dirname "$0")/commun.sh"
# shellcheck source=accessibilite.sh
source "$(dirname "$0")/accessibilite.sh"
e2e_prepare 240
e2e_requiert sox xdotool gdbus xfconf-query gsettings
e2e_x
e2e_son
e2e_bus
e2e_accessibilite

titre='^ [0-9]{2}:[0-9]{2} - '
for n in 1 7 14 23 30 70 71 85; do
    sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"
done
sox -n -r 44100 -c 1 -b 16 "$E2E_TEMP/refcloche.wav" synth 0.6 sine 660 vol 0.5

xfce_calme() { xfconf-query -c xfce4-notifyd -p /do-not-disturb -n -t bool -s "$1"; }
gnome_bannieres() { gsettings set org.gnome.desktop.notifications show-banners "$1"; }
kde() {
    gdbus call --session --dest org.freedesktop.Notifications --object-path /org/freedesktop/Notifications \
        --method "org.freedesktop.Notifications.$1" "${@:2}"
}
e2e_demarre notifications_kde /usr/bin/python3 "$CV_SOURCE/tests/e2e/outils/notifications_kde.py"
e2e_attends_que --pid "$E2E_PID" 10 "le serveur de notifications de KDE ne prend pas son nom" \
    e2e_nom_sur_bus org.freedesktop.Notifications
cookie=$(kde Inhibit "org.example.Visio" "Réunion" "{}" | sed -E 's/^\(uint32 ([0-9]+),\)$/\1/')
gnome_bannieres false
xfce_calme false
e2e_egal false "$(gsettings get org.gnome.desktop.notifications show-banners)" "bannières de GNOME"

lib=$(e2e__libfaketime) || e2e_echec "libfaketime absente (paquet faketime)"
decalage=$E2E_TEMP/decalage

# saute "AAAA-MM-JJ hh:mm:ss" (ou « @secondes ») : l'horloge fictive du programme y passe, au plus
# une seconde après (FAKETIME_CACHE_DURATION).
saute() {
    local cible maintenant
    cible=$(date -d "$1" +%s) || e2e_echec "heure illisible : $1"
    maintenant=${EPOCHREALTIME/,/.}
    e2e_dors "$(e2e_calcule "1 - ($maintenant - int($maintenant))")"
    maintenant=${EPOCHREALTIME%[.,]*}
    E2E_DECALAGE=$((cible - maintenant))
    printf '%+d\n' "$E2E_DECALAGE" >"$decalage"
}

# lance bureau "AAAA-MM-JJ hh:mm:ss" : le programme de $E2E_DOSSIER dans une session de ce bureau,
# enregistré dès avant son départ.
lance() {
    saute "$2"
    e2e_enregistre "$1.wav"
    local d=$E2E_DECALAGE
    e2e_lance_programme --env "XDG_CURRENT_DESKTOP=$1" --env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        --env "LD_PRELOAD=$lib" --env "FAKETIME_TIMESTAMP_FILE=$decalage" --env FAKETIME_CACHE_DURATION=1 \
        --env FAKETIME_DONT_FAKE_MONOTONIC=1 "$E2E_DOSSIER"
    E2E_DECALAGE=$d
    e2e_attends_fenetre "$titre" 20
    HORLOGE=$E2E_FENETRE
    # Sans gestionnaire de fenêtres, personne ne donne le clavier à la fenêtre qui s'affiche.
    xdotool windowfocus --sync "$HORLOGE"
    PHASES=()
}

# minute nom "AAAA-MM-JJ hh:mm" durée "sons cherchés" "sons attendus" : deux secondes avant, puis
# la minute et ses secondes d'écoute. Le tic de la seconde 0 vient jusqu'à 0,9 s après elle : en
# 2 s, le carillon ou le premier mot s'entendent ; en 3 s, les deux premiers mots.
minute() {
    local minute
    minute=$(date -d "$2:00" +%s) || e2e_echec "heure illisible : $2"
    saute "@$((minute - 2))"
    local zero=$((minute - E2E_DECALAGE))
    PHASES+=("$1|$zero|$3|$4|$5")
    e2e_attends_jusqua "$(e2e_calcule "$zero + $3")"
    e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté (voir $E2E_ARTEFACTS/programme.log)"
}

# ecoute : l'enregistrement arrêté, les sons cherchés (refN.wav) dans chaque phase (nom, instant
# réel, durée, cherchés, attendus), en ordre, comparés à ceux attendus (vide : rien). Chaque phase
# est découpée à part, avec de quoi finir son dernier mot : on ne cherche pas dans tout le fichier.
ecoute() {
    local i n nom zero duree cherches attendus vus morceau
    # Le dernier mot entier dans l'enregistrement : il se reconnaît à toute sa forme.
    e2e_dors 1
    e2e_arrete_enregistrement
    for i in "${!PHASES[@]}"; do
        IFS='|' read -r nom zero duree cherches attendus <<<"${PHASES[$i]}"
        morceau=$E2E_TEMP/phase$i.wav
        sox -V1 "$E2E_ENREGISTREMENT" "$morceau" trim "$(e2e_calcule "$(e2e_position "$zero") - 0.2")" \
            "$(e2e_calcule "$duree + 1.4")"
        local -a recherches=()
        for n in $cherches; do
            e2e_sons "$morceau" --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9 |
                awk -v n="$n" -v d="$duree" '$1 - 0.2 <= d { printf "%.3f %s\n", $1 - 0.2, n }' \
                    >"$E2E_TEMP/trouves.$n" &
            recherches+=($!)
        done
        wait "${recherches[@]}"
        vus=$(for n in $cherches; do cat "$E2E_TEMP/trouves.$n"; done | sort -n)
        e2e_info "$nom : $(tr '\n' ' ' <<<"$vus")"
        printf '%s\n%s\n' "$nom" "$vus" >>"$E2E_ARTEFACTS/phases.txt"
        e2e_egal "$attendus" "$(awk '{ print $2 }' <<<"$vus" | xargs)" "sons entendus, $nom"
    done
}

# ---------------------------------------------------------------- 1. Xfce, et la nuit

cr=$'\r'
e2e_copie_dossier xfce
ini=$E2E_DOSSIER/CV32.ini
regle() { sed -i -E "s|^($1) =[^$cr]*|\1 =$2|" "$ini"; }
regle ALH1 23
regle ALMN1 30
regle AL1 True
regle ALMSG1 True
regle ALSON1 "$E2E_TEMP/refcloche.wav"
printf 'Au lit !\r\n' >"$E2E_DOSSIER/MSG1.ASC"
printf 'silence_nuit = True\r\n' >>"$ini"
grep -qxF "ALSON1 =$E2E_TEMP/refcloche.wav$cr" "$ini" || e2e_echec "ALSON1 mal réglé dans $ini"

lance XFCE "2027-03-15 22:59:57"
minute "nuit, 23:00" "2027-03-15 23:00" 2 "85 23 70" ""
e2e_egal "label|23 heures, silence de nuit jusqu'à 07:00|L'heure affichée. Carillon et annonces coupés : silence de nuit jusqu'à 07:00" \
    "$(sonde description)" "l'heure lue pendant la nuit"

# L'alarme : son fichier une seconde après la minute, puis sa boîte ; Entrée la ferme.
minute "alarme, 23:30" "2027-03-15 23:30" 2.5 "cloche 23 70" "cloche"
boite=$(sonde boite 5) || e2e_echec "pas de boîte pour l'alarme de 23:30"
grep -qF "texte|Au lit !" <<<"$boite" || e2e_echec "la boîte de l'alarme ne dit pas son message : $boite"
e2e_attends_fenetre '^Alarme 1$' 5
xdotool windowfocus --sync "$E2E_FENETRE" key Return
e2e_attends_disparition '^Alarme 1$'

# Espace : l'heure demandée se dit, nuit ou pas.
saute "2027-03-15 23:31:02"
e2e_dors 1.2
xdotool windowfocus --sync "$HORLOGE" key space
PHASES+=("Espace, 23:31|${EPOCHREALTIME/,/.}|5|23 70 30 1 71|23 70 30 1 71")
# Le dernier mot part vers 4 s ; l'enregistrement continue pendant la minute suivante.
e2e_dors 4.5

minute "matin, 07:00" "2027-03-16 07:00" 3.5 "85 7 70" "85 7 70"

xfce_calme true
minute "Xfce calme, 14:15" "2027-03-16 14:15" 2 "85 14 70" ""
e2e_egal "label|14 heures 15, « Ne pas déranger » du bureau|L'heure affichée. Carillon et annonces coupés : « Ne pas déranger » du bureau" \
    "$(sonde description)" "l'heure lue sous « Ne pas déranger » de Xfce"
xfce_calme false
minute "Xfce, 14:30" "2027-03-16 14:30" 3 "14 70" "14 70"
ecoute
e2e_arrete "$E2E_PROGRAMME_PID"

# ---------------------------------------------------------------- 2. GNOME

e2e_copie_dossier gnome
xfce_calme true
lance GNOME "2027-03-16 14:14:57"
minute "GNOME calme, 14:15" "2027-03-16 14:15" 2 "85 14 70" ""
gnome_bannieres true
minute "GNOME, 14:30" "2027-03-16 14:30" 3 "14 70" "14 70"
ecoute
e2e_arrete "$E2E_PROGRAMME_PID"

# ---------------------------------------------------------------- 3. KDE (serveur remplaçant)

e2e_copie_dossier kde
gnome_bannieres false
lance KDE "2027-03-16 14:14:57"
minute "KDE calme, 14:15" "2027-03-16 14:15" 2 "85 14 70" ""
kde UnInhibit "$cookie" >/dev/null
minute "KDE, 14:30" "2027-03-16 14:30" 3 "14 70" "14 70"
ecoute
e2e_arrete "$E2E_PROGRAMME_PID"
exit 0
