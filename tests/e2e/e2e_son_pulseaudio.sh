#!/usr/bin/env bash
# Le son sur un vrai PulseAudio (Xfce, KDE) : voir sons_serveur.sh.
source "$(dirname "$0")/sons_serveur.sh" pulseaudio
