#!/usr/bin/env bash
# Installe ce qui manque sur une Debian 12 : « programme » pour construire et lancer l'horloge,
# « paquet » pour construire aussi le paquet Debian, « tests » pour tout ce que demandent en plus
# les tests de bout en bout (paquet compris) et le fuzzing (clang).
set -euo pipefail

paquets_programme=(
    cmake ninja-build g++ qt6-base-dev libpulse-dev libgl-dev
    qt6-translations-l10n pulseaudio-utils fonts-liberation fonts-dejavu-core
    qt6-wayland libglib2.0-dev pkg-config libxcb1-dev
)
paquets_paquet=(
    debhelper dpkg-dev fakeroot lintian appstream desktop-file-utils librsvg2-bin
)
paquets_tests=(
    xvfb xauth x11-utils xdotool imagemagick trayer pulseaudio sox faketime
    desktop-file-utils procps psmisc clang-14 libclang-rt-14-dev
    dbus-daemon dbus-bin at-spi2-core python3-pyatspi python3-gi openbox orca
    clang-format-14 clang-tidy-14 shellcheck
    libglib2.0-bin xfwm4 xfce4-panel xfconf xfce4-settings tint2 weston dconf-service
    dconf-gsettings-backend gsettings-desktop-schemas python3-dbus python3-gi x11-xserver-utils
    xbindkeys libkf5globalaccel-bin gnome-settings-daemon-common libxdamage-dev
    pipewire wireplumber pipewire-pulse
)

liste=("${paquets_programme[@]}")
case ${1:-programme} in
paquet) liste+=("${paquets_paquet[@]}") ;;
tests) liste+=("${paquets_paquet[@]}" "${paquets_tests[@]}") ;;
esac

manquants=()
for p in "${liste[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        manquants+=("$p")
    fi
done
[ ${#manquants[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi
echo "Installation de : ${manquants[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${manquants[@]}"
