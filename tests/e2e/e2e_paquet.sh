#!/usr/bin/env bash
# Le paquet Debian, de bout en bout, sur la machine elle-même (root) :
# 1. construit depuis le dépôt (outils/paquet.sh, sans tests), vérifié par lintian (aucune
#    erreur), installé par apt-get ; l'entrée du menu et la fiche AppStream installées sont
#    validées ;
# 2. deux utilisateurs ordinaires créés pour l'occasion, chacun avec son HOME, ses dossiers XDG
#    (le second avec un XDG_DATA_HOME à lui) et son autorisation d'accès à l'écran, démarrent
#    l'horloge ensemble par la ligne Exec de l'entrée du menu : leur dossier naît avec les
#    réglages livrés, le module de son vient de l'installation, SIGTERM y écrit les réglages ;
#    rien n'est écrit dans leur menu, où la copie qu'en faisait la 3.0 est retirée si elle est
#    restée telle quelle et gardée si elle a changé ; une position changée dans CV32.ini place la
#    fenêtre au démarrage suivant ; « Démarre = True » fait copier l'entrée du paquet dans
#    l'autostart, qui remet l'horloge dans son dossier ; un fichier livré effacé revient, un
#    fichier changé reste ; rien ne se mêle ;
# 3. la session Xfce du second (son bus, xfwm4, xfce4-panel, xfsettingsd) : la classe de la
#    fenêtre est le StartupWMClass de l'entrée ; Ctrl+P puis Entrée ferment les réglages sans
#    créer de lanceur autostart ; la commande de l'aide, attachée à Ctrl+Alt+H par xfconf comme le
#    fait le réglage du clavier d'Xfce, fait dire l'heure ; sous weston, l'identifiant d'application
#    est le nom de l'entrée du menu ;
# 4. le paquet retiré puis purgé, chaque dossier reste.
# Paquet purgé, paquets tirés par l'installation retirés et utilisateurs effacés à la fin, même
# en cas d'échec. Sans root, le test est sauté (code 77).
# shellcheck source=commun.sh
source "$(dirname "$0")/commun.sh"
e2e_prepare 1500
if [[ $(id -u) -ne 0 ]]; then
    e2e_info "sauté : il faut être root (apt-get, useradd)"
    exit 77
fi
e2e_requiert Xvfb xauth mcookie xdotool xprop setpriv useradd userdel lintian desktop-file-validate \
    appstreamcli dpkg-deb apt-get dbus-daemon xfwm4 xfce4-panel xfsettingsd xfconf-query gdbus weston

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

# L'environnement d'un utilisateur ; session : ce qu'y ajoute sa session de bureau.
declare -a session=()
env_de() {
    local u=$1
    ENV=(HOME="${maison[$u]}" USER="$u" LOGNAME="$u" PATH=/usr/bin:/bin LC_ALL=C.UTF-8
        DISPLAY="$DISPLAY" XAUTHORITY="${maison[$u]}/.Xauthority" XDG_RUNTIME_DIR="$E2E_TEMP/run_$u"
        PULSE_SERVER="$PULSE_SERVER" PULSE_CLIENTCONFIG="$PULSE_CLIENTCONFIG" QT_QPA_PLATFORM=xcb
        DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TEMP/pas-de-bus" QT_ACCESSIBILITY=0 NO_AT_BRIDGE=1
        E2E_JETON="$E2E_JETON")
    [[ "$u" == "$ub" ]] && ENV+=(XDG_DATA_HOME="${donnees[$u]}")
    ENV+=("${session[@]}")
}

# lance_comme utilisateur journal dossier_courant commande… : en arrière-plan, comme cet
# utilisateur ; setpriv fait exec : le PID (E2E_PID) est celui de la commande.
lance_comme() {
    local u=$1 nom=$2 ici=$3
    shift 3
    env_de "$u"
    e2e_demarre "$nom" setpriv --reuid="$u" --regid="$u" --init-groups --reset-env -- \
        env -C "$ici" -i "${ENV[@]}" "$@"
}

# comme utilisateur commande… : au premier plan.
comme() {
    local u=$1
    shift
    env_de "$u"
    setpriv --reuid="$u" --regid="$u" --init-groups --reset-env -- env -C / -i "${ENV[@]}" "$@"
}

# lance utilisateur dossier_courant commande… : l'horloge (le lanceur du paquet, puis elle).
lance() {
    local u=$1
    shift
    e2e__us
    LANCE_US[$u]=$E2E__US
    lance_comme "$u" "horloge_$u" "$@"
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

# --- premier démarrage, les deux ensemble, par la ligne Exec du menu ; dans leur menu, la copie de
# l'entrée qu'écrivait la 3.0 : restée telle quelle chez le premier, changée chez le second.

ancienne_copie() {
    printf '%s\n' '[Desktop Entry]' Type=Application 'Name=Chrono Vocalis 95' 'GenericName=Horloge parlante' \
        "Comment=Horloge parlante : annonce l'heure à voix haute et sonne six alarmes par jour" \
        'Exec="/usr/bin/chronovocalis"' TryExec=/usr/bin/chronovocalis Icon=$id_bureau Terminal=false \
        'Categories=Utility;Clock;' "$@" 'Actions=DireHeure;' '' '[Desktop Action DireHeure]' "Name=Dire l'heure" \
        'Exec=dbus-send --session --type=method_call --dest=fr.chronovocalis.ChronoVocalis /fr/chronovocalis/ChronoVocalis fr.chronovocalis.ChronoVocalis.DireHeure'
}
declare -A copie_30
for u in "$ua" "$ub"; do
    copie_30[$u]=${donnees[$u]}/applications/$id_bureau.desktop
    install -d -o "$u" -g "$u" "$(dirname "${donnees[$u]}")" "${donnees[$u]}" "${donnees[$u]}/applications"
done
ancienne_copie >"${copie_30[$ua]}"
ancienne_copie NoDisplay=true >"${copie_30[$ub]}"
chown "$ua:" "${copie_30[$ua]}"
chown "$ub:" "${copie_30[$ub]}"
changee=$(cat "${copie_30[$ub]}")

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
    # La copie du lanceur, que prend l'autostart : l'entrée du menu du paquet.
    cmp -s "$entree" "$d/$id_bureau.desktop" || e2e_echec "la copie du lanceur dans $d n'est pas l'entrée du paquet"
    [[ -e "${config[$u]}/autostart/$id_bureau.desktop" ]] && e2e_echec "autostart écrit dès le démarrage pour $u"
done
# Rien d'écrit dans les menus : la copie de la 3.0 restée telle quelle est partie, la changée reste.
[[ -e "${copie_30[$ua]}" ]] && e2e_echec "la copie de l'entrée écrite par la 3.0 cache toujours l'entrée du paquet"
e2e_egal "$changee" "$(cat "${copie_30[$ub]}")" "copie de l'entrée changée par $ub"
e2e_egal "" "$(ls "${donnees[$ua]}/applications")" "menu de $ua"
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
cmp -s "$entree" "$autostart" || e2e_echec "le lanceur autostart n'est pas l'entrée du paquet"
exec_auto=$(cle_entree "$autostart" Exec)
cp "$autostart" "$E2E_ARTEFACTS/autostart.desktop"
# Lancé comme le ferait la session, depuis la racine : l'horloge revient dans son dossier.
lance "$ua" / "$exec_auto"
fenetre_de "$ua"
eval "$(xdotool getwindowgeometry --shell "$FENETRE")"
e2e_egal "300 200" "$X $Y" "position de l'horloge démarrée par l'autostart"
e2e_egal "$(dossier_de "$ua")" "$(readlink "/proc/${PID_HORLOGE[$ua]}/cwd")" "dossier courant de l'horloge"
ferme "$ua"

# ------------------------------------------------------------ 3. la session Xfce du second

# Son bus, son gestionnaire de fenêtres, son panneau et le démon des réglages d'Xfce (qui tient
# les raccourcis clavier), tous comme lui ; le panneau dans son XDG_CONFIG_HOME, lu par xfconfd.
e2e__us
debut_xfce=$E2E__US
bus_ub=$E2E_TEMP/run_$ub/bus
lance_comme "$ub" "bus_$ub" / dbus-daemon --session --nofork --nopidfile --address="unix:path=$bus_ub"
pids_xfce=("$E2E_PID")
e2e_attends_que --pid "$E2E_PID" 10 "le bus de session de $ub ne s'ouvre pas" test -S "$bus_ub"
session=(DBUS_SESSION_BUS_ADDRESS="unix:path=$bus_ub" XDG_CURRENT_DESKTOP=XFCE)
lance_comme "$ub" "xfwm4_$ub" / xfwm4 --compositor=off --sm-client-disable
pids_xfce+=("$E2E_PID")
e2e_attends_que --pid "$E2E_PID" 10 "xfwm4 ne s'annonce pas" e2e__gestionnaire_annonce
e2e_config_panneau_xfce "${config[$ub]}"
chown -R "$ub:" "${config[$ub]}"
lance_comme "$ub" "panneau_$ub" / xfce4-panel --disable-wm-check
pids_xfce+=("$E2E_PID")
e2e_attends_que --pid "$E2E_PID" 20 "xfce4-panel n'inscrit pas d'hôte StatusNotifier" comme "$ub" bash -c \
    "gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
    --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered |
    grep -q true"
lance_comme "$ub" "xfsettingsd_$ub" / xfsettingsd --no-daemon --sm-client-disable
pids_xfce+=("$E2E_PID")
lance "$ub" / "$exec_menu"
fenetre_de "$ub"
horloge=$FENETRE

# La classe de la fenêtre (second texte de WM_CLASS) : celle que nomme l'entrée du menu.
classe=$(xprop -id "$horloge" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\(.*\)"$/\1/p')
e2e_egal "$(cle_entree "$entree" StartupWMClass)" "$classe" "classe de la fenêtre et StartupWMClass de l'entrée"

# Ctrl+P puis Entrée, au clavier seul : les réglages se ferment sans rien changer.
xdotool windowactivate --sync "$horloge" 2>/dev/null
e2e_dors 0.5
xdotool key --clearmodifiers ctrl+p
e2e_attends_fenetre '^CHRONO VOCALIS 95$' 10
e2e_capture xfce_reglages
xdotool key --clearmodifiers Return
e2e_attends_disparition '^CHRONO VOCALIS 95$'
[[ -e "${config[$ub]}/autostart/$id_bureau.desktop" ]] && e2e_echec "Entrée dans les réglages a créé un lanceur autostart"

# La commande de l'aide attachée à Ctrl+Alt+H comme le fait le réglage du clavier d'Xfce
# (« Raccourcis d'applications ») : l'heure est dite.
commande=$(sed -n 's/^<pre>\(dbus-send .*\)<\/pre>$/\1/p' /usr/share/chronovocalis/VOCALIS.html)
[[ -n "$commande" ]] || e2e_echec "pas de commande « Dire l'heure » dans l'aide installée"
comme "$ub" xfconf-query -c xfce4-keyboard-shortcuts -p '/commands/custom/<Primary><Alt>h' -n -t string \
    -s "$commande" || e2e_echec "xfconf-query : raccourci refusé"
# xfsettingsd prend la touche quand il lit le changement : sur une machine chargée, après la
# première frappe parfois ; jusqu'à trois essais.
for essai in 1 2 3; do
    e2e_dors 1
    e2e_enregistre "raccourci_xfce$essai.wav"
    xdotool key --clearmodifiers ctrl+alt+h
    e2e_dors 5
    e2e_arrete_enregistrement
    sons=$(e2e_sons "raccourci_xfce$essai.wav" | wc -l)
    ((sons >= 3)) && break
done
((sons >= 3)) || e2e_echec "Ctrl+Alt+H sous Xfce : $sons sons entendus (l'heure dite en compte au moins 3)"
ferme "$ub"
e2e_egal False "$(valeur_ini Démarre "$(dossier_de "$ub")/CV32.ini")" "Démarre de $ub après Ctrl+P, Entrée"
e2e__us
e2e_info "session Xfce : classe « $classe », réglages fermés par Entrée, heure dite par Ctrl+Alt+H ($sons sons)," \
    "$(((E2E__US - debut_xfce) / 1000000)) s"
session=()
for ((i = ${#pids_xfce[@]} - 1; i >= 0; --i)); do
    e2e_arrete "${pids_xfce[$i]}"
done

# Sous Wayland (weston, comme lui) : l'identifiant d'application est le nom de l'entrée du menu.
lance_comme "$ub" "weston_$ub" / weston --backend=headless-backend.so --socket=wayland-cv --idle-time=0
weston=$E2E_PID
e2e_attends_que --pid "$weston" 10 "weston n'ouvre pas sa prise" test -S "$E2E_TEMP/run_$ub/wayland-cv"
session=(QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-cv WAYLAND_DEBUG=client)
lance "$ub" / "$exec_menu"
e2e_attends_que --pid "${PID_HORLOGE[$ub]}" 10 "pas de fenêtre Wayland pour $ub" \
    grep -q 'xdg_toplevel@[0-9]*\.set_app_id' "$E2E_ARTEFACTS/horloge_$ub.log"
app_id=$(sed -n 's/.*xdg_toplevel@[0-9]*\.set_app_id("\([^"]*\)").*/\1/p' "$E2E_ARTEFACTS/horloge_$ub.log")
e2e_egal "$id_bureau" "$app_id" "identifiant Wayland de l'horloge installée"
ferme "$ub"
session=()
e2e_arrete "$weston"

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

# ------------------------------------------------------------ 4. retrait, purge

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
