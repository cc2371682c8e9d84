# shellcheck shell=bash disable=SC2016
# Le bus de session et la pile d'accessibilité d'un bureau, pour les tests qui écoutent le programme
# comme un lecteur d'écran. Lu par « source » après commun.sh et e2e_prepare.
#
#   e2e_bus_session        un dbus-daemon de session à soi, DBUS_SESSION_BUS_ADDRESS exporté
#   e2e_accessibilite      AT-SPI allumé (org.a11y.Status IsEnabled) : bus et registre démarrés
#   e2e_openbox            un gestionnaire de fenêtres, qui donne le clavier comme sur un bureau
#   sonde …                tests/e2e/outils/sonde_atspi.py (pyatspi, /usr/bin/python3)
# shellcheck disable=SC2034 # variables lues par les tests

e2e_bus_session() {
    e2e_requiert dbus-daemon gdbus
    local adresse=$E2E_TEMP/bus.adresse
    : >"$adresse"
    e2e_demarre dbus bash -c 'exec dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$1"' _ "$adresse"
    E2E_DBUS_PID=$E2E_PID
    local i
    for ((i = 0; i < 200; ++i)); do
        [[ -s "$adresse" ]] && break
        e2e_dors 0.05
    done
    [[ -s "$adresse" ]] || e2e_echec "le bus de session ne donne pas son adresse"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$adresse")
    export DBUS_SESSION_BUS_ADDRESS
    e2e_info "bus de session prêt (PID $E2E_DBUS_PID)"
}

e2e_accessibilite() {
    e2e_requiert gdbus
    [[ -x /usr/libexec/at-spi-bus-launcher ]] || e2e_echec "at-spi2-core absent"
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || e2e_echec "python3-pyatspi absent"
    unset NO_AT_BRIDGE
    export QT_ACCESSIBILITY=1
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled '<true>' >/dev/null ||
        e2e_echec "le bus d'accessibilité ne s'allume pas"
    local i
    for ((i = 0; i < 100; ++i)); do
        gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
            --method org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
        e2e_dors 0.05
    done
    e2e_info "AT-SPI allumé"
}

e2e_openbox() {
    e2e_requiert openbox
    mkdir -p "$XDG_CONFIG_HOME/openbox"
    e2e_demarre openbox openbox --sm-disable
    E2E_OPENBOX_PID=$E2E_PID
    local i
    for ((i = 0; i < 100; ++i)); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        e2e_dors 0.05
    done
    e2e_info "openbox prêt (PID $E2E_OPENBOX_PID)"
}

sonde() {
    /usr/bin/python3 "$CV_SOURCE/tests/e2e/outils/sonde_atspi.py" "$@"
}
