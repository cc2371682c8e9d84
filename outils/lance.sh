#!/usr/bin/env bash
# Installe ce qui manque, construit le programme et son module de son (pas les tests), puis lance
# l'horloge dans son dossier (réglages par défaut au premier lancement).
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
bash "$racine/outils/installe.sh" programme
bash "$racine/outils/construit.sh" chronovocalis
cd "$racine/build/ChronoVocalis"
exec ./chronovocalis
