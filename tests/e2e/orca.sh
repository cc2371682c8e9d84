#!/usr/bin/env bash
# Ce qu'Orca dit du programme (make orca), hors de la suite : Orca 43 tourne sans écran réel
# mais son journal n'est écrit qu'à sa sortie. Le vrai programme sous openbox, AT-SPI allumé ;
# Orca lancé ; l'horloge prend le focus, F10 et Tab le long de la barre, les alarmes (Tab jusqu'à
# l'heure, flèche haut), les paramètres, l'aide (F1, Tab jusqu'à un lien, Entrée qui le suit,
# flèche bas qui lit la ligne suivante, Échap). Les phrases (« SPEECH OUTPUT ») vont dans
# $CV_BUILD/artefacts_e2e/orca/orca.txt et sur la sortie.
# shellcheck source=commun.sh
source "$(dirname "$0")/commun.sh"
# shellcheck source=accessibilite.sh
source "$(dirname "$0")/accessibilite.sh"
e2e_prepare 240
e2e_requiert orca xdotool xprop
e2e_x
e2e_bus
e2e_accessibilite
e2e_gestionnaire openbox
touche() {
    printf '\n--- touche %s\n' "$1" >>"$E2E_ARTEFACTS/etapes.txt"
    xdotool key --clearmodifiers "$1"
    e2e_dors 1.5
}
e2e_copie_dossier
sed -i -E 's/^(déclenche_annonce =)[^\r]*/\1 1/' "$E2E_DOSSIER/CV32.ini"
e2e_demarre orca orca --replace --debug-file="$E2E_ARTEFACTS/orca.debug"
ORCA=$E2E_PID
e2e_dors 5
e2e_lance_programme --heure "2027-03-15 14:37:02" --env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
e2e_dors 4
touche F10
for _ in 1 2 3 4 5; do touche Tab; done
touche Escape
touche ctrl+a
for _ in $(seq 8); do
    [[ "$(sonde focus)" == "spin button|Heure" ]] && break
    touche Tab
done
touche Up
touche Escape
touche ctrl+p
touche Tab
touche Escape
touche F1
for _ in $(seq 8); do
    [[ "$(sonde focus)" == link\|* ]] && break
    touche Tab
done
touche Return
touche Down
touche Escape
e2e_dors 2
e2e_arrete "$ORCA" 10
grep -a 'SPEECH OUTPUT' "$E2E_ARTEFACTS/orca.debug" | tee "$E2E_ARTEFACTS/orca.txt"
[[ -s "$E2E_ARTEFACTS/orca.txt" ]] || e2e_echec "Orca n'a rien dit (voir orca.debug)"
exit 0
