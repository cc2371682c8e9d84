#!/usr/bin/env bash
# L'horloge sur un vrai PulseAudio (celui de Xfce et de KDE) : démarré après elle, tué puis
# relancé, sortie par défaut changée, volume de la voix ; voir sons_serveur.sh.
source "$(dirname "$0")/sons_serveur.sh" pulseaudio
exit 0
