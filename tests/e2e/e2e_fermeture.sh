#!/usr/bin/env bash
# Le vrai programme, arrêté par SIGTERM comme à la fermeture de la session : on entend le son
# de fermeture, les réglages et les messages sont réécrits, le code de sortie est 0.
source "$(dirname "$0")/commun.sh"
e2e_prepare 120
e2e_x
e2e_son
e2e_copie_dossier
livre=$(cat "$E2E_DOSSIER/CV32.ini")

e2e_enregistre fermeture.wav
e2e_lance_programme "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
e2e_capture horloge
e2e_dors 1
signal=$EPOCHREALTIME
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15
statut=$?
e2e_egal 0 "$statut" "code de sortie du programme"
e2e_dors 0.3
e2e_arrete_enregistrement

# Le son de fermeture, reconnu à sa forme, après le signal.
sox "$CV_SOURCE/resources/sons/86.wav" -b 16 "$E2E_TEMP/ref86.wav"
mapfile -t trouves < <(e2e_sons fermeture.wav --correle "$E2E_TEMP/ref86.wav" --score-min 0.7)
e2e_info "son de fermeture trouvé : ${trouves[*]:-rien}"
e2e_verifie "le son de fermeture est dans l'enregistrement" test "${#trouves[@]}" -ge 1
position=$(e2e_position "${signal/,/.}")
premier=${trouves[0]%% *}
e2e_verifie "le son de fermeture suit le signal (à $premier s, signal à $position s)" \
    awk "BEGIN { exit !($premier >= $position && $premier < $position + 2) }"

# Chaque réglage réécrit, sa valeur collée au « = » ; rien d'autre n'a changé.
attendu=$(sed -E '/^;/! s/^([^=]*=) /\1/' <<<"$livre")
e2e_egal "$attendu" "$(cat "$E2E_DOSSIER/CV32.ini")" "CV32.ini réécrit"
for n in 1 2 3 4 5 6; do
    cmp -s "$CV_SOURCE/resources/defaults/MSG$n.ASC" "$E2E_DOSSIER/MSG$n.ASC" || e2e_echec "MSG$n.ASC a changé"
done
grep -q $'\r$' "$E2E_DOSSIER/CV32.ini" || e2e_echec "les lignes de CV32.ini ont perdu leur CR LF"
