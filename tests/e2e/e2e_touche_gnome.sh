#!/usr/bin/env bash
# Le bouton « Inscrire dans GNOME » sur les vrais réglages : GSettings et dconf-service (lancé par
# le bus privé du test), schémas de gnome-settings-daemon ; chaque étape relue avec gsettings.
# Un raccourci de l'utilisateur est là avant : il n'est jamais touché. Le bouton ajoute une seule
# entrée, la met à jour au second clic, et la retire quand la touche est « Aucune ».
# shellcheck source=tests/e2e/commun.sh
source "$(dirname "$0")/commun.sh"
e2e_prepare 60
e2e_requiert gsettings
e2e_bus

schema=org.gnome.settings-daemon.plugins.media-keys
racine=/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings
autre=$racine/custom0/
notre=$racine/chronovocalis/
entree() { gsettings get "$schema.custom-keybinding:$1" "$2"; }

gsettings set "$schema" custom-keybindings "['$autre']"
gsettings set "$schema.custom-keybinding:$autre" name 'Terminal'
gsettings set "$schema.custom-keybinding:$autre" command 'x-terminal-emulator'
gsettings set "$schema.custom-keybinding:$autre" binding '<Super>t'

clic() {
    CV_ESSAI_GNOME=1 CV_TOUCHE=$1 QT_QPA_PLATFORM=offscreen "$CV_BUILD/tests/tst_parametres" toucheGnomeReelle \
        >>"$E2E_ARTEFACTS/bouton.log" 2>&1 || e2e_echec "le bouton a échoué (voir $E2E_ARTEFACTS/bouton.log)"
}
autre_intact() {
    e2e_egal "'Terminal' 'x-terminal-emulator' '<Super>t'" \
        "$(entree "$autre" name) $(entree "$autre" command) $(entree "$autre" binding)" "raccourci de l'utilisateur, $1"
}

clic Alt+Super+H
e2e_egal "['$autre', '$notre']" "$(gsettings get "$schema" custom-keybindings)" "liste après le premier clic"
e2e_egal "'<Alt><Super>h'" "$(entree "$notre" binding)" "combinaison inscrite"
e2e_egal "\"Dire l'heure (Chrono Vocalis 95)\"" "$(entree "$notre" name)" "nom inscrit"
commande=$(entree "$notre" command)
[[ "$commande" == "'dbus-send --session --type=method_call --dest=fr.chronovocalis.ChronoVocalis "* ]] ||
    e2e_echec "commande inscrite : $commande"
autre_intact "après l'ajout"

clic Ctrl+Super+F9
e2e_egal "['$autre', '$notre']" "$(gsettings get "$schema" custom-keybindings)" "liste après la mise à jour"
e2e_egal "'<Control><Super>F9'" "$(entree "$notre" binding)" "combinaison mise à jour"
autre_intact "après la mise à jour"

clic ''
e2e_egal "['$autre']" "$(gsettings get "$schema" custom-keybindings)" "liste après le retrait"
e2e_egal "''" "$(entree "$notre" binding)" "notre entrée remise à vide"
autre_intact "après le retrait"
# Écrit dans dconf, pas seulement en mémoire : le fichier de l'utilisateur du test existe.
[[ -s "$XDG_CONFIG_HOME/dconf/user" ]] || e2e_echec "rien n'est écrit dans dconf"
exit 0
