# shellcheck shell=bash disable=SC2016
# La pile d'accessibilité d'un bureau, pour les tests qui écoutent le programme
# comme un lecteur d'écran. Lu par « source » après commun.sh et e2e_prepare.
#
#   e2e_accessibilite      AT-SPI allumé (org.a11y.Status IsEnabled) : bus et registre démarrés,
#                          après e2e_bus (commun.sh) ; e2e_gestionnaire openbox donne le clavier
#                          comme sur un bureau
#   sonde …                tests/e2e/outils/sonde_atspi.py (pyatspi, /usr/bin/python3)

e2e_accessibilite() {
    e2e_requiert gdbus
    [[ -x /usr/libexec/at-spi-bus-launcher ]] || e2e_echec "at-spi2-core absent"
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || e2e_echec "python3-pyatspi absent"
    unset NO_AT_BRIDGE
    export QT_ACCESSIBILITY=1
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled '<true>' >/dev/null ||
        e2e_echec "le bus d'accessibilité ne s'allume pas"
    e2e_attends_que 5 "le bus d'accessibilité ne donne pas son adresse" \
        gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress
    e2e_info "AT-SPI allumé"
}

sonde() {
    /usr/bin/python3 "$CV_SOURCE/tests/e2e/outils/sonde_atspi.py" "$@"
}
