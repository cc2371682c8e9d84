#!/usr/bin/env bash
# Installe ce qui manque sur une Debian 12 : « programme » pour construire et lancer l'horloge,
# « tests » pour tout ce que demandent en plus les tests de bout en bout et le fuzzing (clang).
set -euo pipefail

paquets_programme=(
    cmake ninja-build g++ qt6-base-dev qt6-multimedia-dev libgl-dev
    libqt6multimedia6 qt6-translations-l10n pulseaudio-utils fonts-liberation fonts-dejavu-core
    qt6-wayland
)
paquets_tests=(
    xvfb xauth x11-utils xdotool imagemagick trayer pulseaudio sox faketime
    desktop-file-utils procps psmisc clang-14 libclang-rt-14-dev
    dbus-daemon libglib2.0-bin xfwm4 xfce4-panel xfconf openbox tint2 weston
)

liste=("${paquets_programme[@]}")
if [ "${1:-programme}" = tests ]; then
    liste+=("${paquets_tests[@]}")
fi

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
