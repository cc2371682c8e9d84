#!/usr/bin/env bash
# Entrée et Espace dans les réglages et les alarmes (tst_entree_dialogues), sous X11 et avec le
# XDG_CURRENT_DESKTOP que pose chaque bureau : le thème que Qt en déduit change la touche qui
# presse un bouton, ce que le passage hors écran des tests unitaires ne voit pas.
# shellcheck source=tests/e2e/commun.sh
source "$(dirname "$0")/commun.sh"
e2e_prepare 120
test=$CV_BUILD/tests/tst_entree_dialogues
[[ -x "$test" ]] || e2e_echec "test absent : $test"
e2e_x
# bureau : XDG_CURRENT_DESKTOP tel que le pose la session (vide : aucun) ; KDE pose aussi sa version.
for bureau in XFCE GNOME KDE ""; do
    env=(QT_QPA_PLATFORM=xcb XDG_CURRENT_DESKTOP="$bureau")
    [[ "$bureau" == KDE ]] && env+=(KDE_SESSION_VERSION=5)
    [[ -z "$bureau" ]] && env=(-u XDG_CURRENT_DESKTOP QT_QPA_PLATFORM=xcb)
    journal=$E2E_ARTEFACTS/bureau_${bureau:-aucun}.log
    env "${env[@]}" "$test" >"$journal" 2>&1 ||
        e2e_echec "bureau « ${bureau:-aucun} » : $(grep -A3 '^FAIL' "$journal" | head -n 12)"
    e2e_info "bureau « ${bureau:-aucun} » : $(grep '^Totals' "$journal")"
done
exit 0
