#!/usr/bin/env bash
# Le paquet Debian, de bout en bout, sur la machine elle-même (root) :
# 1. construit depuis le dépôt (outils/paquet.sh, sans tests), vérifié par lintian (aucune
#    erreur), installé par apt-get ; l'entrée du menu et la fiche AppStream installées sont
#    validées ;
# 2. deux utilisateurs ordinaires créés pour l'occasion, chacun avec son HOME, ses dossiers XDG
#    (le second avec un XDG_DATA_HOME à lui) et son autorisation d'accès à l'écran, démarrent
#    l'horloge ensemble par la ligne Exec de l'entrée du menu : leur dossier naît avec les
#    réglages livrés, le module de son vient de l'installation, SIGTERM y écrit les réglages ;
#    une position changée dans CV32.ini place la fenêtre au démarrage suivant ; « Démarre = True »
#    fait écrire un lanceur autostart qui démarre le lanceur du paquet, qui remet l'horloge dans
#    son dossier ; un fichier livré effacé revient, un fichier changé reste ; rien ne se mêle ;
# 3. le paquet retiré puis purgé, chaque dossier reste.
# Paquet purgé, paquets tirés par l'installation retirés et utilisateurs effacés à la fin, même
# en cas d'échec. Sans root, le test est sauté (code 77).
# shellcheck source=commun.sh
source "$(dirname "$0")/commun.sh"
e2e_prepare 1500
if [[ $(id -u) -ne 0 ]]; then
    e2e_info "sauté : il faut être root (apt-get, useradd)"
    exit 77
fi
e2e_requiert Xvfb xauth mcookie xdotool setpriv useradd userdel lintian desktop-file-validate appstreamcli \
    dpkg-deb apt-get

id_bureau=fr.chronovocalis.ChronoVocalis
titre='^ [0-9]{2}:[0-9]{2} - '
export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -y -q -o DPkg::Lock::Timeout=300)
chmod 711 "$E2E_TEMP"

if dpkg-query -W -f='${Status}' chronovocalis 2>/dev/null | grep -q 'ok installed'; then
    e2e_echec "chronovocalis est déjà installé sur cette machine : le test ne le remplace pas"
fi

# ------------------------------------------------------------ remise en état de la machine

declare -a utilisateurs=()
# Les paquets tirés sont ceux qu'a configurés l'installation elle-même (journal d'apt-get) :
# pas ceux qu'un autre installerait sur la machine pendant le test.
tires=

remet_machine() {
    local u
    # Les programmes des utilisateurs d'abord (e2e_nettoie arrête tout ce qui a été lancé).
    for u in "${utilisateurs[@]}"; do
        [[ -d "$E2E_TEMP/maisons/$u" ]] && cp -a "$E2E_TEMP/maisons/$u" "$E2E_ARTEFACTS/maison_$u" 2>/dev/null
    done
    e2e_nettoie
    if dpkg-query -W -f='${db:Status-Abbrev}' chronovocalis 2>/dev/null | grep -q '^[ir]'; then
        dpkg --purge chronovocalis >>"$E2E_ARTEFACTS/apt.log" 2>&1 ||
            e2e_info "ATTENTION : purge de chronovocalis impossible (voir apt.log)"
    fi
    if [[ -n "$tires" ]]; then
        e2e_info "paquets tirés par l'installation, retirés : $tires"
        # shellcheck disable=SC2086 # une liste de noms de paquets
        "${apt[@]}" purge $tires >>"$E2E_ARTEFACTS/apt.log" 2>&1 ||
            e2e_info "ATTENTION : retrait de $tires impossible"
    fi
    for u in "${utilisateurs[@]}"; do
        userdel -r "$u" >>"$E2E_ARTEFACTS/utilisateurs.log" 2>&1
        id "$u" >/dev/null 2>&1 && e2e_info "ATTENTION : l'utilisateur $u n'a pas pu être effacé"
    done
    return 0
}
trap 'statut=$?; remet_machine; (exit $statut); e2e__sortie' EXIT

# ------------------------------------------------------------ 1. construction et installation

e2e__us
debut=$E2E__US
DEB_BUILD_OPTIONS=nocheck bash "$CV_SOURCE/outils/paquet.sh" >"$E2E_ARTEFACTS/construction.log" 2>&1 || {
    tail -n 40 "$E2E_ARTEFACTS/construction.log"
    e2e_echec "construction du paquet (voir construction.log)"
}
e2e__us
version=$(dpkg-parsechangelog -l "$CV_SOURCE/debian/changelog" -S Version)
deb=$CV_SOURCE/build-paquet/chronovocalis_${version}_$(dpkg --print-architecture).deb
[[ -f "$deb" ]] || e2e_echec "paquet absent : $deb"
e2e_info "paquet construit en $(((E2E__US - debut) / 1000000)) s : $(basename "$deb"), $(du -k "$deb" | cut -f1) Ko," \
    "$(dpkg-deb -f "$deb" Installed-Size) Ko installé"
e2e_info "Depends: $(dpkg-deb -f "$deb" Depends)"
e2e_info "Recommends: $(dpkg-deb -f "$deb" Recommends)"

lintian --display-info "$deb" >"$E2E_ARTEFACTS/lintian.log" 2>&1
sed 's/^/  lintian : /' "$E2E_ARTEFACTS/lintian.log"
grep -q '^E: ' "$E2E_ARTEFACTS/lintian.log" && e2e_echec "lintian signale des erreurs"

e2e__us
debut_installation=$E2E__US
"${apt[@]}" install "$deb" >"$E2E_ARTEFACTS/apt.log" 2>&1
statut_apt=$?
# Les paquets nouveaux seulement : un paquet mis à jour au passage reste.
tires=$(sed -n 's/^Selecting previously unselected package \([^ :]*\)\(:[^ ]*\)\{0,1\}\.$/\1/p' "$E2E_ARTEFACTS/apt.log" |
    grep -vx chronovocalis | tr '\n' ' ')
((statut_apt == 0)) || e2e_echec "apt-get install (voir apt.log)"
[[ -z "$tires" ]] || e2e_info "tirés par l'installation : $tires"
e2e__us
fin_installation=$E2E__US
e2e_info "apt-get install : $(e2e_calcule "($fin_installation - $debut_installation) / 1000000") s"

for f in /usr/lib/chronovocalis/chronovocalis /usr/bin/chronovocalis; do
    [[ -x "$f" ]] || e2e_echec "$f absent ou non exécutable"
done
[[ -f /usr/lib/chronovocalis/chronoson.so ]] || e2e_echec "module de son absent"
for f in CV32.ini MSG1.ASC MSG2.ASC MSG3.ASC MSG4.ASC MSG5.ASC MSG6.ASC fond.bmp VOCALIS.html; do
    cmp -s "/usr/share/chronovocalis/$f" "$CV_SOURCE/resources/$([[ $f == fond.bmp ]] && echo images || { [[ $f == VOCALIS.html ]] || echo defaults; })/$f" ||
        e2e_echec "/usr/share/chronovocalis/$f n'est pas le fichier livré"
done
for t in 16 22 24 32 48 64 128 256; do
    [[ -f /usr/share/icons/hicolor/${t}x$t/apps/$id_bureau.png ]] || e2e_echec "icône ${t}x$t absente"
done
[[ -f /usr/share/icons/hicolor/scalable/apps/$id_bureau.svg ]] || e2e_echec "icône vectorielle absente"

entree=/usr/share/applications/$id_bureau.desktop
sortie=$(desktop-file-validate "$entree" 2>&1) || e2e_echec "desktop-file-validate refuse $entree : $sortie"
[[ "$sortie" != *error* && "$sortie" != *warning* ]] || e2e_echec "desktop-file-validate : $sortie"
appstreamcli validate --no-net "/usr/share/metainfo/$id_bureau.metainfo.xml" >"$E2E_ARTEFACTS/appstream.log" 2>&1 ||
    e2e_echec "appstreamcli validate : $(cat "$E2E_ARTEFACTS/appstream.log")"

# La ligne Exec du menu : un chemin seul, sans guillemets ni code de champ.
# cle_entree fichier clé : la valeur dans le groupe [Desktop Entry] seul (l'action a son propre Exec).
cle_entree() { sed -n "/^\[Desktop Entry\]/,/^\[/s/^$2=//p" "$1"; }
exec_menu=$(cle_entree "$entree" Exec)
[[ "$exec_menu" =~ ^/[^[:space:]\"%]+$ ]] || e2e_echec "ligne Exec du menu inattendue : $exec_menu"
e2e_egal /usr/bin/chronovocalis "$exec_menu" "programme de l'entrée du menu"

# ------------------------------------------------------------ écran avec autorisation, son

biscuit=$(mcookie)
xauth -q -f "$E2E_TEMP/serveur.xauth" add :0 MIT-MAGIC-COOKIE-1 "$biscuit"
numero=$E2E_TEMP/x.numero
: >"$numero"
# shellcheck disable=SC2016 # bash -c reçoit ses arguments
e2e_demarre xvfb bash -c 'exec Xvfb -displayfd 3 -auth "$2" -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$1"' \
    _ "$numero" "$E2E_TEMP/serveur.xauth"
for ((i = 0; i < 200; ++i)); do
    [[ -s "$numero" ]] && break
    e2e_dors 0.05
done
[[ -s "$numero" ]] || e2e_echec "Xvfb n'a pas donné de numéro d'écran"
DISPLAY=:$(head -n 1 "$numero")
export DISPLAY XAUTHORITY=$E2E_TEMP/root.xauth
xauth -q add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$biscuit"
for ((i = 0; i < 100; ++i)); do
    xdpyinfo >/dev/null 2>&1 && break
    e2e_dors 0.05
done
xdpyinfo >/dev/null 2>&1 || e2e_echec "l'écran $DISPLAY ne répond pas"
XAUTHORITY=/dev/null xdpyinfo >/dev/null 2>&1 && e2e_echec "l'écran accepte un client sans autorisation"
e2e_info "Xvfb prêt sur $DISPLAY, accès par autorisation seulement"

e2e_son
chmod 711 "$XDG_RUNTIME_DIR"
chmod 755 "$XDG_RUNTIME_DIR/pulse"
chmod 666 "$XDG_RUNTIME_DIR/pulse/native"
chmod 644 "$PULSE_CLIENTCONFIG"

# ------------------------------------------------------------ les deux utilisateurs

mkdir -p "$E2E_TEMP/maisons"
chmod 711 "$E2E_TEMP/maisons"
declare -A maison donnees config
for lettre in a b; do
    u=cvpaq$$$lettre
    useradd -m -d "$E2E_TEMP/maisons/$u" -s /bin/sh -U "$u" >>"$E2E_ARTEFACTS/utilisateurs.log" 2>&1 ||
        e2e_echec "useradd $u"
    utilisateurs+=("$u")
    maison[$u]=$E2E_TEMP/maisons/$u
    config[$u]=${maison[$u]}/.config
    install -d -o "$u" -g "$u" -m 700 "$E2E_TEMP/run_$u"
    XAUTHORITY=${maison[$u]}/.Xauthority xauth -q add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$biscuit"
    chown "$u:" "${maison[$u]}/.Xauthority"
done
ua=${utilisateurs[0]} ub=${utilisateurs[1]}
# Le premier garde les dossiers XDG par défaut, le second a son propre XDG_DATA_HOME.
donnees[$ua]=${maison[$ua]}/.local/share
donnees[$ub]=${maison[$ub]}/Données
dossier_de() { echo "${donnees[$1]}/chronovocalis"; }

# lance utilisateur dossier_courant commande… : la commande comme cet utilisateur, dans son
# environnement à lui ; setpriv fait exec : le PID est celui du lanceur, puis de l'horloge.
lance() {
    local u=$1 ici=$2
    shift 2
    local -a env=(HOME="${maison[$u]}" USER="$u" LOGNAME="$u" PATH=/usr/bin:/bin LC_ALL=C.UTF-8
        DISPLAY="$DISPLAY" XAUTHORITY="${maison[$u]}/.Xauthority" XDG_RUNTIME_DIR="$E2E_TEMP/run_$u"
        PULSE_SERVER="$PULSE_SERVER" PULSE_CLIENTCONFIG="$PULSE_CLIENTCONFIG" QT_QPA_PLATFORM=xcb
        DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TEMP/pas-de-bus" QT_ACCESSIBILITY=0 NO_AT_BRIDGE=1
        E2E_JETON="$E2E_JETON")
    [[ "$u" == "$ub" ]] && env+=(XDG_DATA_HOME="${donnees[$u]}")
    e2e__us
    LANCE_US[$u]=$E2E__US
    e2e_demarre "horloge_$u" setpriv --reuid="$u" --regid="$u" --init-groups --reset-env -- \
        env -C "$ici" -i "${env[@]}" "$@"
    PID_HORLOGE[$u]=$E2E_PID
}
declare -A PID_HORLOGE LANCE_US

# fenetre_de utilisateur : attend la fenêtre de l'horloge de cet utilisateur ; son id dans FENETRE.
fenetre_de() {
    local u=$1 fin w
    e2e__us
    fin=$((E2E__US + 20000000))
    while :; do
        for w in $(xdotool search --onlyvisible --name "$titre" 2>/dev/null); do
            [[ "$(xdotool getwindowpid "$w" 2>/dev/null)" == "${PID_HORLOGE[$u]}" ]] && {
                FENETRE=$w
                return 0
            }
        done
        e2e__us
        ((E2E__US > fin)) && {
            e2e_capture "fenetre_absente_$u"
            e2e_echec "pas de fenêtre de l'horloge de $u en 20 s (voir horloge_$u.log)"
        }
        e2e_dors 0.05
    done
}

# ferme utilisateur : SIGTERM à l'horloge, qui doit finir d'elle-même et sans erreur.
ferme() {
    local statut=0
    kill -TERM "${PID_HORLOGE[$1]}"
    e2e_attends_fin "${PID_HORLOGE[$1]}" 20 || statut=$?
    e2e_egal 0 "$statut" "code de sortie de l'horloge de $1 après SIGTERM"
}

# Le programme écrit « clé =valeur », le fichier livré « clé = valeur ».
valeur_ini() { sed -n "s/^$1 *= *\\(.*\\)\r\$/\\1/p" "$2"; }
regle_ini() {
    sed -i "s/^$1 *=.*\r\$/$1 = $2\r/" "$3"
    [[ "$(valeur_ini "$1" "$3")" == "$2" ]] || e2e_echec "$1 introuvable dans $3"
}

# --- premier démarrage, les deux ensemble, par la ligne Exec du menu

lance "$ua" "${maison[$ua]}" "$exec_menu"
fenetre_de "$ua"
e2e__us
e2e_info "installation → première fenêtre : $(e2e_calcule "($E2E__US - $debut_installation) / 1000000") s" \
    "(apt-get $(e2e_calcule "($fin_installation - $debut_installation) / 1000000") s," \
    "premier lancement → fenêtre $(e2e_calcule "($E2E__US - ${LANCE_US[$ua]}) / 1000000") s)"
lance "$ub" / "$exec_menu"
fenetre_de "$ub"

for u in "$ua" "$ub"; do
    d=$(dossier_de "$u")
    [[ -d "$d" ]] || e2e_echec "pas de dossier $d pour $u"
    for f in CV32.ini MSG1.ASC MSG2.ASC MSG3.ASC MSG4.ASC MSG5.ASC MSG6.ASC fond.bmp; do
        cmp -s "$d/$f" "/usr/share/chronovocalis/$f" || e2e_echec "$d/$f n'est pas la copie du fichier livré"
    done
    [[ -f "$d/$id_bureau.desktop" ]] || e2e_echec "pas de copie du lanceur dans $d"
    menu=${donnees[$u]}/applications/$id_bureau.desktop
    [[ -f "$menu" ]] || e2e_echec "pas d'entrée du menu $menu"
    cmp -s "$menu" "$d/$id_bureau.desktop" || e2e_echec "la copie du lanceur n'est pas l'entrée du menu"
    # Une seule entrée : aucun autre lanceur de l'horloge dans le menu de l'utilisateur.
    e2e_egal "$id_bureau.desktop" "$(ls "${donnees[$u]}/applications")" "lanceurs du menu de $u"
    sortie=$(desktop-file-validate "$menu" 2>&1) || e2e_echec "desktop-file-validate refuse $menu : $sortie"
    e2e_egal '"/usr/bin/chronovocalis"' "$(cle_entree "$menu" Exec)" "Exec de l'entrée du menu de $u"
    e2e_egal 'DireHeure;' "$(cle_entree "$menu" Actions)" "action « Dire l'heure » de l'entrée du menu de $u"
    e2e_egal "$id_bureau" "$(sed -n 's/^Icon=//p' "$menu")" "icône de l'entrée du menu de $u"
    [[ -e "${config[$u]}/autostart/$id_bureau.desktop" ]] && e2e_echec "autostart écrit dès le démarrage pour $u"
done
# Le son se charge 300 ms après la fenêtre : celui de l'installation.
e2e_dors 1
for u in "$ua" "$ub"; do
    grep -q ' /usr/lib/chronovocalis/chronoson.so$' "/proc/${PID_HORLOGE[$u]}/maps" ||
        e2e_echec "le module de son de l'installation n'est pas chargé par l'horloge de $u"
done
e2e_capture deux_horloges
declare -A inode
for u in "$ua" "$ub"; do
    inode[$u]=$(stat -c %i "$(dossier_de "$u")/CV32.ini")
done

e2e_enregistre fermeture.wav
ferme "$ua"
e2e_arrete_enregistrement
sons=$(e2e_sons fermeture.wav | wc -l)
((sons >= 1)) || e2e_echec "aucun son entendu à la fermeture de l'horloge de $ua"
ferme "$ub"
for u in "$ua" "$ub"; do
    d=$(dossier_de "$u")
    # Réécrit à la fermeture (fichier remplacé d'un coup) : un nouveau fichier, à l'utilisateur.
    [[ "$(stat -c %U "$d/CV32.ini")" == "$u" ]] || e2e_echec "$d/CV32.ini n'appartient pas à $u"
    [[ "$(stat -c %i "$d/CV32.ini")" != "${inode[$u]}" ]] || e2e_echec "CV32.ini de $u n'a pas été réécrit à la fermeture"
done

# --- réglages changés à la main, un fichier livré effacé, un message changé

regle_ini CV_left 4500 "$(dossier_de "$ua")/CV32.ini" # 300 px
regle_ini CV_top 3000 "$(dossier_de "$ua")/CV32.ini"  # 200 px
regle_ini Démarre True "$(dossier_de "$ua")/CV32.ini"
regle_ini CV_left 9000 "$(dossier_de "$ub")/CV32.ini" # 600 px
regle_ini CV_top 7500 "$(dossier_de "$ub")/CV32.ini"  # 500 px
rm "$(dossier_de "$ub")/MSG3.ASC"
printf 'Message à moi\r\n' >"$(dossier_de "$ub")/MSG2.ASC"
chown "$ub:" "$(dossier_de "$ub")/MSG2.ASC"

lance "$ua" / "$exec_menu"
lance "$ub" /tmp "$exec_menu"
declare -A attendu=([$ua]="300 200" [$ub]="600 500")
for u in "$ua" "$ub"; do
    fenetre_de "$u"
    eval "$(xdotool getwindowgeometry --shell "$FENETRE")"
    e2e_egal "${attendu[$u]}" "$X $Y" "position de la fenêtre de $u, lue dans ses réglages"
done
cmp -s "$(dossier_de "$ub")/MSG3.ASC" /usr/share/chronovocalis/MSG3.ASC || e2e_echec "MSG3.ASC effacé n'est pas revenu"
e2e_egal "Message à moi" "$(tr -d '\r' <"$(dossier_de "$ub")/MSG2.ASC")" "MSG2.ASC changé par $ub"
e2e_capture deux_horloges_placees
ferme "$ua"
ferme "$ub"

for u in "$ua" "$ub"; do
    read -r x y <<<"${attendu[$u]}"
    e2e_egal "$((x * 15)) $((y * 15))" \
        "$(valeur_ini CV_left "$(dossier_de "$u")/CV32.ini") $(valeur_ini CV_top "$(dossier_de "$u")/CV32.ini")" \
        "position gardée dans les réglages de $u"
done

# --- démarrage automatique : seul le premier l'a demandé

autostart=${config[$ua]}/autostart/$id_bureau.desktop
[[ -f "$autostart" ]] || e2e_echec "pas de lanceur autostart pour $ua"
[[ -e "${config[$ub]}/autostart" ]] && e2e_echec "un dossier autostart est apparu pour $ub"
sortie=$(desktop-file-validate "$autostart" 2>&1) || e2e_echec "desktop-file-validate refuse $autostart : $sortie"
exec_auto=$(cle_entree "$autostart" Exec)
e2e_egal '"/usr/bin/chronovocalis"' "$exec_auto" "Exec du lanceur autostart"
e2e_egal /usr/bin/chronovocalis "$(cle_entree "$autostart" TryExec)" "TryExec du lanceur autostart"
grep -q '^Path=' "$autostart" && e2e_echec "le lanceur autostart fixe un dossier de travail"
cp "$autostart" "$E2E_ARTEFACTS/autostart.desktop"
# Lancé comme le ferait la session, depuis la racine : l'horloge revient dans son dossier.
exec_auto=${exec_auto#\"}
lance "$ua" / "${exec_auto%\"}"
fenetre_de "$ua"
eval "$(xdotool getwindowgeometry --shell "$FENETRE")"
e2e_egal "300 200" "$X $Y" "position de l'horloge démarrée par l'autostart"
e2e_egal "$(dossier_de "$ua")" "$(readlink "/proc/${PID_HORLOGE[$ua]}/cwd")" "dossier courant de l'horloge"
ferme "$ua"

# --- rien ne se mêle : chaque fichier sous un HOME est à son utilisateur, l'installation intacte

for u in "$ua" "$ub"; do
    etrangers=$(find "${maison[$u]}" ! -user "$u" -printf '%p ')
    [[ -z "$etrangers" ]] || e2e_echec "fichiers d'un autre sous le HOME de $u : $etrangers"
done
grep -q '^Message à moi' "$(dossier_de "$ua")/MSG2.ASC" && e2e_echec "le message de $ub est chez $ua"
dpkg --verify chronovocalis >"$E2E_ARTEFACTS/verification.log" 2>&1 ||
    e2e_echec "fichiers du paquet changés : $(cat "$E2E_ARTEFACTS/verification.log")"
for d in /usr/lib/chronovocalis /usr/share/chronovocalis; do
    e2e_egal "$(dpkg -L chronovocalis | grep "^$d/" | sort)" "$(find "$d" -mindepth 1 | sort)" "contenu de $d"
done

# ------------------------------------------------------------ 3. retrait, purge

declare -A empreinte
for u in "$ua" "$ub"; do
    empreinte[$u]=$(cd "$(dossier_de "$u")" && sha256sum -- * | sha256sum)
done
"${apt[@]}" remove chronovocalis >>"$E2E_ARTEFACTS/apt.log" 2>&1 || e2e_echec "apt-get remove (voir apt.log)"
[[ -e /usr/bin/chronovocalis ]] && e2e_echec "/usr/bin/chronovocalis reste après le retrait"
for u in "$ua" "$ub"; do
    e2e_egal "${empreinte[$u]}" "$(cd "$(dossier_de "$u")" && sha256sum -- * | sha256sum)" "dossier de $u après le retrait"
done
# Sans fichier de configuration, le paquet retiré est déjà oublié d'apt : dpkg --purge le confirme.
dpkg --purge chronovocalis >>"$E2E_ARTEFACTS/apt.log" 2>&1 || e2e_echec "dpkg --purge (voir apt.log)"
[[ -z "$(dpkg-query -W -f='${db:Status-Abbrev}' chronovocalis 2>/dev/null | tr -d ' ')" ||
    "$(dpkg-query -W -f='${db:Status-Abbrev}' chronovocalis 2>/dev/null)" == un* ]] ||
    e2e_echec "chronovocalis reste connu de dpkg après la purge"
for u in "$ua" "$ub"; do
    e2e_egal "${empreinte[$u]}" "$(cd "$(dossier_de "$u")" && sha256sum -- * | sha256sum)" "dossier de $u après la purge"
done
[[ -e /usr/share/chronovocalis || -e /usr/lib/chronovocalis || -e "$entree" ]] &&
    e2e_echec "des fichiers du paquet restent après la purge"
e2e_info "paquet retiré puis purgé : les deux dossiers des utilisateurs sont intacts"
