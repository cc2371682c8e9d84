#!/usr/bin/env bash
# Le son sur un vrai PipeWire (GNOME : pipewire, wireplumber, pipewire-pulse) : voir sons_serveur.sh.
source "$(dirname "$0")/sons_serveur.sh" pipewire
