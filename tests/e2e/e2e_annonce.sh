#!/usr/bin/env bash
# Le vrai programme, l'horloge fictive lancée quelques secondes avant la minute : à 14:00 le
# carillon puis « quatorze heures » (rythme livré, chaque quart d'heure), à 10:50 avec le rythme
# « chaque 5 mn » la phrase entière. Chaque son, reconnu à sa forme dans l'enregistrement, doit
# tomber à sa place dans le programme de la minute, à 50 ms près du premier.
# shellcheck source=commun.sh
source "$(dirname "$0")/commun.sh"
e2e_prepare 240
e2e_requiert sox
e2e_x
e2e_son

# Les sons du programme en 16 bits : la référence que l'on cherche dans l'enregistrement.
# Un son joué en entier s'y retrouve avec une ressemblance de 1 ; le carillon, qui sonne par
# vagues, ressemble aussi à lui-même décalé de 0,19 s (0,77) : seuil à 0,9.
for n in 10 14 50 70 71 85; do
    sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"
done

JOUR=2027-03-15

# ecoute nom rythme hh:mm:ss(départ) hh:mm(minute) "n:décalage …" "absents…"
# Lance le programme à l'heure fictive de départ avec ce rythme, enregistre jusqu'à 6 s après la
# minute, puis vérifie où tombe chaque son attendu et qu'aucun son absent ne s'entend.
ecoute() {
    local nom=$1 rythme=$2 depart=$3 minute=$4 attendus=$5 absents=$6
    e2e_copie_dossier "$nom"
    sed -i -E 's/^(déclenche_annonce =)[^\r]*/\1 '"$rythme"'/' "$E2E_DOSSIER/CV32.ini"
    grep -q "^déclenche_annonce = $rythme"$'\r' "$E2E_DOSSIER/CV32.ini" || e2e_echec "rythme non réglé"

    e2e_enregistre "$nom.wav"
    e2e_lance_programme --heure "$JOUR $depart" "$E2E_DOSSIER"
    e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
    e2e_attends_heure_fictive "$JOUR $minute:06"
    e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté (voir $E2E_ARTEFACTS/programme.log)"
    e2e_arrete_enregistrement
    e2e_arrete "$E2E_PROGRAMME_PID"

    local zero premier="" n decalage position score l mesure
    zero=$(e2e_position_heure "$JOUR $minute:00")
    local -a trouves
    for l in $attendus; do
        n=${l%%:*}
        decalage=${l#*:}
        mapfile -t trouves < <(e2e_sons "$nom.wav" --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9)
        printf '%s\n' "${trouves[@]}" >"$E2E_ARTEFACTS/$nom.son$n.txt"
        e2e_egal 1 "${#trouves[@]}" "$nom : nombre de sons $n entendus"
        read -r position score <<<"${trouves[0]}"
        [[ -z "$premier" ]] && premier=$position
        mesure=$(e2e_calcule "$position - $premier")
        e2e_info "$nom : son $n à $(e2e_calcule "$position - $zero") s de la minute," \
            "$mesure s du premier (prévu $decalage), ressemblance $score"
        e2e_proche "$mesure" "$decalage" 0.050 "$nom : place du son $n"
    done
    # Le premier son part au tic de la seconde 0 : moins de 0,9 s après la minute, plus le
    # temps de passer par le serveur de son.
    e2e_verifie "$nom : premier son $premier s, minute à $zero s" \
        awk "BEGIN { d = $premier - $zero; exit !(d >= 0 && d < 1.0) }"
    for n in $absents; do
        mapfile -t trouves < <(e2e_sons "$nom.wav" --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9)
        e2e_egal 0 "${#trouves[@]}" "$nom : le son $n ne doit pas s'entendre"
    done
}

# Heure juste, rythme livré : carillon, 0,5 s, « quatorze », 1,2 s, « heures » ; pas de minutes.
ecoute quatorze_heures 2 13:59:55 14:00 "85:0 14:0.5 70:1.7" "71 10 50"
# Rythme « chaque 5 mn » à 10:50 : pas de carillon ; 1,2 s, 0,8 s et 1,2 s entre les mots.
ecoute dix_heures_cinquante 3 10:49:55 10:50 "10:0 70:1.2 50:2.0 71:3.2" "85 14"
exit 0
