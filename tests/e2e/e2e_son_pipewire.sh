#!/usr/bin/env bash
# L'horloge sur un vrai PipeWire (celui du GNOME de Debian : pipewire, wireplumber et
# pipewire-pulse) : démarré après elle, tué puis relancé, sortie par défaut changée, volume de la
# voix ; voir sons_serveur.sh.
source "$(dirname "$0")/sons_serveur.sh" pipewire
exit 0
