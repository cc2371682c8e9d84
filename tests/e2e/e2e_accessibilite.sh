#!/usr/bin/env bash
# Le vrai programme écouté comme un lecteur d'écran, par le vrai bus AT-SPI (at-spi2-core,
# pyatspi) sous openbox, puis appelé par le bus de session :
# 1. l'arbre : pas de décor, pas d'objet interactif sans nom ; l'heure a le focus au démarrage ;
# 2. 30 s au repos : au plus le changement de nom de l'heure à la minute (avant, le témoin du
#    tic en envoyait 133 par minute) ;
# 3. les paramètres : Tab entre dans « Annonces » sur l'option cochée ; Échap, et le focus revient
#    à l'heure ; les alarmes : le bouton fléché de l'heure annonce sa nouvelle valeur ;
# 4. l'aide (F1) : un document nommé dont les liens sont des liens ; l'action d'un lien mène le
#    curseur à sa partie ; Tab donne le focus au lien suivant ; Échap, et le focus revient à l'heure ;
# 5. « DireHeure » par dbus-send : « quatorze heures trente sept minutes » entendu, chaque mot à
#    sa place ; une seconde horloge ne prend pas le nom de la première ;
# 6. la boîte du message d'une alarme : une alerte qui a le focus et dit le texte du fichier ;
#    Entrée la ferme, et le focus revient à l'heure.
# shellcheck source=commun.sh
source "$(dirname "$0")/commun.sh"
# shellcheck source=accessibilite.sh
source "$(dirname "$0")/accessibilite.sh"
e2e_prepare 300
e2e_requiert xdotool sox dbus-send xprop

e2e_x
e2e_son
e2e_bus
e2e_accessibilite
e2e_gestionnaire openbox

JOUR=2027-03-15
touche() {
    xdotool key --clearmodifiers "$1"
    e2e_dors 0.4
}

e2e_copie_dossier premier
# Chaque demi-heure : rien ne tombe pendant le test, et l'option cochée n'est pas la première.
sed -i -E 's/^(déclenche_annonce =)[^\r]*/\1 1/' "$E2E_DOSSIER/CV32.ini"
e2e_lance_programme --heure "$JOUR 14:37:02" --env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
PREMIER=$E2E_PROGRAMME_PID
DECALAGE=$E2E_DECALAGE
e2e_dors 1

# ---------------------------------------------------------------- 1. arbre et focus
sonde arbre >"$E2E_ARTEFACTS/arbre_horloge.txt" || e2e_echec "arbre illisible"
grep -q '^[0-9]*|invalid|' "$E2E_ARTEFACTS/arbre_horloge.txt" && e2e_echec "un décor est dans l'arbre"
sonde attends-focus label "14 heures 37" 5 >/dev/null || e2e_echec "l'heure n'a pas le focus au démarrage : $(sonde focus)"

# ---------------------------------------------------------------- 2. repos
sonde evenements 30 >"$E2E_ARTEFACTS/evenements_repos.txt" || e2e_echec "écoute impossible"
e2e_info "au repos, 30 s : $(tr '\n' ' ' <"$E2E_ARTEFACTS/evenements_repos.txt")"
read -r _ total <"$E2E_ARTEFACTS/evenements_repos.txt"
((total <= 1)) || e2e_echec "$total événements en 30 s de repos"
if ((total == 1)); then
    grep -q 'accessible-name label' "$E2E_ARTEFACTS/evenements_repos.txt" || e2e_echec "événement inattendu au repos"
fi

# ---------------------------------------------------------------- 3. fenêtres
touche ctrl+p
sonde arbre >"$E2E_ARTEFACTS/arbre_reglages.txt"
grep -q '|dialog|Paramètres de Chrono Vocalis 95|' "$E2E_ARTEFACTS/arbre_reglages.txt" ||
    e2e_echec "les paramètres ne se nomment pas"
xdotool search --onlyvisible --name '^CHRONO VOCALIS 95$' >/dev/null || e2e_echec "titre des paramètres changé"
# Après « Auto démarre » et la colonne des réglages ajoutés, Tab entre dans « Annonces » par
# l'option cochée.
for ((i = 0; i < 15; ++i)); do
    [[ "$(sonde focus)" == "check box|Démarrage automatique" ]] && break
    touche Tab
done
for ((i = 0; i < 15; ++i)); do
    touche Tab
    [[ "$(sonde focus)" == "radio button|"* ]] && break
done
e2e_egal "radio button|Annonce chaque demi-heure" "$(sonde focus)" "Tab dans « Annonces »"
touche Escape
sonde attends-focus label "14 heures 37" 5 >/dev/null || e2e_echec "focus après les paramètres : $(sonde focus)"

touche ctrl+a
sonde arbre >"$E2E_ARTEFACTS/arbre_alarmes.txt"
awk -F'|' '$2 ~ /push button|check box|radio button|spin button|text/ && $3 == "" { print; n++ } END { exit n > 0 }' \
    "$E2E_ARTEFACTS/arbre_reglages.txt" "$E2E_ARTEFACTS/arbre_alarmes.txt" || e2e_echec "objet interactif sans nom"
heure=$(awk -F'|' '$2 == "spin button" && $3 == "Heure" { print $5 }' "$E2E_ARTEFACTS/arbre_alarmes.txt")
[[ -n "$heure" ]] || e2e_echec "pas de bouton fléché « Heure » avec sa valeur"
for ((i = 0; i < 15; ++i)); do
    [[ "$(sonde focus)" == "spin button|Heure" ]] && break
    touche Tab
done
e2e_egal "spin button|Heure" "$(sonde focus)" "focus sur l'heure de l'alarme"
pret=$E2E_TEMP/valeurs.pret
sonde valeurs 3 "$pret" >"$E2E_ARTEFACTS/valeurs.txt" &
ecoute=$!
for ((i = 0; i < 100; ++i)); do
    [[ -e "$pret" ]] && break
    e2e_dors 0.05
done
touche Up
wait "$ecoute"
attendu="Heure $(((heure + 1) % 24))"
grep -qx "${attendu}.0\|$attendu" "$E2E_ARTEFACTS/valeurs.txt" ||
    e2e_echec "changement de valeur non annoncé : $(tr '\n' ' ' <"$E2E_ARTEFACTS/valeurs.txt")"
touche Down
touche Escape
sonde attends-focus label "14 heures 37" 5 >/dev/null || e2e_echec "focus après les alarmes : $(sonde focus)"

# ---------------------------------------------------------------- 4. aide
aide="Aide de Chrono Vocalis 95"
touche F1
sonde document "$aide" >"$E2E_ARTEFACTS/document_aide.txt" || e2e_echec "pas de document « $aide »"
IFS='|' read -r role nom nliens <"$E2E_ARTEFACTS/document_aide.txt"
e2e_info "aide : $role « $nom », $nliens liens"
[[ "$role" == document* ]] || e2e_echec "rôle du texte de l'aide : $role"
((nliens >= 21)) || e2e_echec "$nliens liens dans l'aide, moins que le sommaire"
grep -qx 'link|La fenêtre des réglages|Press,.*' "$E2E_ARTEFACTS/document_aide.txt" ||
    e2e_echec "pas de lien « La fenêtre des réglages » qu'on active"
e2e_egal "7. La fenêtre des réglages" "$(sonde suis "$aide" "La fenêtre des réglages")" "ligne du curseur après le lien suivi"
# Tab jusqu'au texte, puis en haut du texte : c'est alors le Tab de Qt lui-même qui choisit le
# premier lien, et le lecteur d'écran doit l'apprendre (l'état seul ne suffit pas à Orca).
vu=
for ((i = 0; i < 8; ++i)); do
    vu=$(sonde focus)
    [[ "$vu" == "document frame|$aide" ]] && break
    touche Tab
done
[[ "$vu" == "document frame|$aide" ]] || e2e_echec "Tab n'atteint pas le texte de l'aide : $vu"
touche ctrl+Home
sonde evenements 3 >"$E2E_ARTEFACTS/evenements_tab_aide.txt" &
ecoute=$!
e2e_dors 1
touche Tab
vu=$(sonde focus)
wait "$ecoute"
e2e_info "focus sous Tab dans l'aide : $vu ; $(tr '\n' ' ' <"$E2E_ARTEFACTS/evenements_tab_aide.txt")"
e2e_egal "link|Ce que fait le programme" "$vu" "focus au premier Tab dans le texte"
grep -q "^1 focus: link « Ce que fait le programme »" "$E2E_ARTEFACTS/evenements_tab_aide.txt" ||
    e2e_echec "le focus du lien n'est pas annoncé"
# Entrée suit le lien : le focus revient au document, où Orca lit la ligne du curseur.
sonde evenements 3 >"$E2E_ARTEFACTS/evenements_entree_aide.txt" &
ecoute=$!
e2e_dors 1
touche Return
wait "$ecoute"
grep -q "^1 focus: document frame « $aide »" "$E2E_ARTEFACTS/evenements_entree_aide.txt" ||
    e2e_echec "le focus ne revient pas au document après le lien suivi : $(tr '\n' ' ' <"$E2E_ARTEFACTS/evenements_entree_aide.txt")"
touche Escape
for ((i = 0; i < 50; ++i)); do
    [[ "$(sonde focus)" == "label|14 heures "* ]] && break
    e2e_dors 0.1
done
[[ "$(sonde focus)" == "label|14 heures "* ]] || e2e_echec "focus après l'aide : $(sonde focus)"

# ---------------------------------------------------------------- 5. D-Bus
proprietaire() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.GetConnectionUnixProcessID fr.chronovocalis.ChronoVocalis 2>/dev/null |
        sed -n 's/.*uint32 \([0-9]*\).*/\1/p'
}
e2e_egal "$PREMIER" "$(proprietaire)" "détenteur du nom sur le bus"
e2e_copie_dossier second
e2e_lance_programme "$E2E_DOSSIER"
SECOND=$E2E_PROGRAMME_PID
e2e_dors 3
e2e_vivant "$SECOND" || e2e_echec "la seconde horloge s'est arrêtée"
e2e_egal "$PREMIER" "$(proprietaire)" "détenteur du nom avec une seconde horloge"
e2e_arrete "$SECOND" 10

# Loin de la seconde 0, où la demande attendrait le travail de la minute.
fictif=$((${EPOCHREALTIME%[.,]*} + DECALAGE))
if ((fictif % 60 > 40)); then
    e2e_dors $((62 - fictif % 60))
    fictif=$((${EPOCHREALTIME%[.,]*} + DECALAGE))
fi
minute=$(date -d "@$fictif" +%M)
unites=$((10#$minute % 10))
mots="14:0 70:1.2 $((10#$minute - unites)):0.8"
((unites)) && mots+=" $unites:0.8"
mots+=" 71:1.2"
e2e_info "DireHeure à 14:$minute fictives : sons $mots"
for l in $mots 84:0; do
    n=${l%%:*}
    sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"
done
# La commande même du lanceur.
e2e_enregistre heure.wav
dbus-send --session --type=method_call --dest=fr.chronovocalis.ChronoVocalis \
    /fr/chronovocalis/ChronoVocalis fr.chronovocalis.ChronoVocalis.DireHeure ||
    e2e_echec "dbus-send refusé"
e2e_dors 7
e2e_arrete_enregistrement
avant=
for l in $mots; do
    n=${l%%:*}
    mapfile -t trouves < <(e2e_sons heure.wav --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9)
    e2e_egal 1 "${#trouves[@]}" "sons $n entendus après DireHeure"
    read -r position _ <<<"${trouves[0]}"
    if [[ -n "$avant" ]]; then
        e2e_verifie "place du son $n : $position s, mot d'avant à $avant s" \
            awk "BEGIN { d = $position - $avant - ${l#*:}; exit !(d >= -0.05 && d <= 0.30) }"
    fi
    avant=$position
done
mapfile -t trouves < <(e2e_sons heure.wav --correle "$E2E_TEMP/ref84.wav" --score-min 0.9)
e2e_egal 0 "${#trouves[@]}" "clics entendus après DireHeure"
kill -TERM "$PREMIER"
e2e_attends_fin "$PREMIER" 15 || e2e_echec "le programme finit en erreur ($?)"

# ---------------------------------------------------------------- 6. message d'une alarme
# Le message seul : ni son ni retour de la fenêtre, qui garde l'heure au clavier.
e2e_copie_dossier alarme
sed -i -E 's/^(ALH4 =)[^\r]*/\1 14/; s/^(ALMN4 =)[^\r]*/\1 41/; s/^(ALMSG4 =)[^\r]*/\1 True/' \
    "$E2E_DOSSIER/CV32.ini"
printf 'Rendez-vous chez le médecin.\r\n' >"$E2E_DOSSIER/MSG4.ASC"
e2e_lance_programme --heure "$JOUR 14:40:52" --env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$E2E_DOSSIER"
ALARME=$E2E_PROGRAMME_PID
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
sonde attends-focus label "14 heures 40" 5 >/dev/null || e2e_echec "l'heure n'a pas le focus avant l'alarme : $(sonde focus)"
sonde boite 15 >"$E2E_ARTEFACTS/boite_alarme.txt" || e2e_echec "pas de boîte pour l'alarme 4"
e2e_info "boîte de l'alarme : $(tr '\n' ' ' <"$E2E_ARTEFACTS/boite_alarme.txt")"
e2e_egal "alert|Alarme 4" "$(head -n 1 "$E2E_ARTEFACTS/boite_alarme.txt")" "rôle et nom de la boîte"
grep -q '^texte|Rendez-vous chez le médecin\.' "$E2E_ARTEFACTS/boite_alarme.txt" ||
    e2e_echec "la boîte ne dit pas le message de MSG4.ASC"
e2e_egal "focus|push button|OK" "$(tail -n 1 "$E2E_ARTEFACTS/boite_alarme.txt")" "focus dans la boîte"
touche Return
sonde attends-focus label "14 heures 41" 5 >/dev/null || e2e_echec "focus après la boîte de l'alarme : $(sonde focus)"
sonde boite 0 >/dev/null 2>&1 && e2e_echec "la boîte est restée ouverte après Entrée"
kill -TERM "$ALARME"
e2e_attends_fin "$ALARME" 15 || e2e_echec "le programme de l'alarme finit en erreur ($?)"
exit 0
