#!/usr/bin/env bash
# Le vrai programme en Wayland natif, sous weston sans écran : il démarre sans avertissement,
# s'arrête proprement sur SIGTERM, et ne range pas la place que Wayland ne dit jamais : CV_top et
# CV_left sont rendus tels que lus (ici hors des valeurs livrées), la taille est écrite ; son
# identifiant d'application (xdg_toplevel.set_app_id, lu dans la trace du client) est le nom du
# lanceur qu'il a écrit dans le menu, où le bureau prend son nom et son icône.
# shellcheck source=tests/e2e/commun.sh
source "$(dirname "$0")/commun.sh"
e2e_prepare 60
# Sous les sanitizers, le greffon Wayland de Qt laisse à la sortie un bloc alloué par une
# bibliothèque déjà déchargée, que rien ne permet d'écarter par son nom : pas de recherche de
# fuites ici (les tests sous X11 la font pour tout le programme).
if [[ -n "${ASAN_OPTIONS:-}" ]]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"
fi
e2e_weston

e2e_copie_dossier wayland
sed -i -E 's/^CV_top = .*/CV_top = 3000\r/; s/^CV_left = .*/CV_left = 4500\r/' "$E2E_DOSSIER/CV32.ini"
livre=$(cat "$E2E_DOSSIER/CV32.ini")
e2e_lance_programme --env QT_QPA_PLATFORM=wayland --env WAYLAND_DEBUG=client "$E2E_DOSSIER"
# Le temps de se connecter, de charger et de montrer la fenêtre (≈ 0,3 s mesuré ici).
e2e_dors 2
e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté (voir $E2E_ARTEFACTS/programme.log)"
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15
e2e_egal 0 "$?" "code de sortie après SIGTERM sous Wayland"
attendu=$(sed -E '/^;/! s/^([^=]*=) /\1/' <<<"$livre")
e2e_egal "$attendu" "$(cat "$E2E_DOSSIER/CV32.ini")" "CV32.ini écrit sous Wayland (place rendue telle que lue)"
app_id=$(sed -n 's/.*xdg_toplevel@[0-9]*\.set_app_id("\([^"]*\)").*/\1/p' "$E2E_ARTEFACTS/programme.log")
e2e_egal "$(ls "$XDG_DATA_HOME/applications")" "$app_id.desktop" "identifiant Wayland et lanceur du menu"
# Rien d'autre que l'absence de serveur de son (ce test n'en lance pas) et la trace du client
# Wayland dans la sortie.
autres=$(grep -v -e '^PulseAudioService: pa_context_connect() failed$' -e '^QStandardPaths: ' \
    -e '^\[ *[0-9]*\.[0-9]*\] ' "$E2E_ARTEFACTS/programme.log")
e2e_egal "" "$autres" "messages du programme sous Wayland"
exit 0
