#!/usr/bin/env bash
# Construit le paquet Debian du programme : build-paquet/chronovocalis_<version>_<arch>.deb.
# Les sources sont celles du dossier de travail (fichiers suivis par git et nouveaux fichiers
# non ignorés), copiées dans build-paquet/chronovocalis-<version>/ : le dépôt reste propre.
# DEB_BUILD_OPTIONS est transmis (nocheck : ni tests construits ni tests passés) ; ccache sert
# quand il est installé. Installe d'abord ce qui manque pour construire.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
sortie=$racine/build-paquet
bash "$racine/outils/installe.sh" paquet

version=$(dpkg-parsechangelog -l "$racine/debian/changelog" -S Version)
arch=$(dpkg --print-architecture)
sources=$sortie/chronovocalis-$version
rm -rf "$sources" "$sortie"/chronovocalis*_"$version"_*
mkdir -p "$sources"

# Un fichier suivi mais effacé du dossier de travail n'est pas copié.
git -C "$racine" ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do
        [[ -f "$racine/$f" ]] && printf '%s\0' "$f"
    done | tar -C "$racine" --null -T - -cf - | tar -C "$sources" -xf -

if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=${CCACHE_BASEDIR:-$racine}
fi
DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-} parallel=$(nproc)"
export DEB_BUILD_OPTIONS
(cd "$sources" && dpkg-buildpackage -b -us -uc)

paquet=$sortie/chronovocalis_${version}_$arch.deb
[[ -f "$paquet" ]] || {
    echo "paquet absent : $paquet" >&2
    exit 1
}
echo "Paquet : $paquet ($(du -k "$paquet" | cut -f1) Ko)"
