# shellcheck shell=bash
# La journée d'un utilisateur sur un vrai serveur de son, lue par e2e_son_pulseaudio.sh et
# e2e_son_pipewire.sh. Un lancement de l'horloge (heure fictive 14:14:38, annonce toutes les
# 5 mn, alarme 1 à 14:15 avec un son à elle), puis un second pour le volume :
# 1. L'horloge démarre 5 s avant le serveur ; une fois celui-ci prêt, « Dire l'heure » (D-Bus
#    DireHeure) s'entend mot par mot, à sa place.
# 2. Le serveur tué ; « Dire l'heure » pendant qu'il manque ne s'entend pas et ne casse rien ;
#    relancé 5 s plus tard : l'annonce de 14:15 s'entend mot par mot à sa place, puis le son de
#    l'alarme ; un « Dire l'heure » ensuite aussi.
# 3. La sortie par défaut passe à un autre évier : « Dire l'heure » ne s'entend que là.
#    Les flux de l'horloge portent son nom et son icône ; rôle « event » pour la voix, « alarm »
#    pour l'alarme ; gardés d'un son au suivant, ils suivent la sortie et restent en pause entre
#    deux sons.
# 4. volume_voix = 50 : les mots ont la moitié (± 10 %) de l'amplitude efficace de l'étape 3.
# Dans chaque enregistrement, aucun échantillon à pleine échelle (|x| ≥ 0,99) : les sons du
# programme culminent sous 0,85, tout ce qui l'atteint est un claquement.
# shellcheck source=commun.sh
source "$(dirname "${BASH_SOURCE[0]}")/commun.sh"

SERVEUR=$1
e2e_prepare 200
e2e_requiert sox soxi dbus-send
e2e_x
e2e_bus
e2e_copie_dossier

for n in 14 15 70 71; do
    sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"
done
son_alarme=$E2E_TEMP/cloche.wav
sox -n -r 22050 -c 1 -b 16 "$son_alarme" synth 0.6 sine 660 vol 0.5
sox "$son_alarme" -r 44100 "$E2E_TEMP/refalarme.wav"

ini=$E2E_DOSSIER/CV32.ini
cr=$'\r'
regle() { sed -i -E "s|^($1) =[^$cr]*|\\1 =$2|" "$ini"; }
regle 'd.clenche_annonce' 3
regle ALH1 14
regle ALMN1 15
regle AL1 True
regle ALMSG1 False
regle ALAPP1 False
regle ALSON1 "$son_alarme"
grep -qxF "ALSON1 =$son_alarme$cr" "$ini" || e2e_echec "ALSON1 mal réglé dans $ini"

JOUR=2027-03-15

# dire_heure : la commande de l'action « Dire l'heure » du lanceur ; heure réelle dans DEMANDE.
dire_heure() {
    DEMANDE=${EPOCHREALTIME/,/.}
    dbus-send --session --type=method_call --dest=fr.chronovocalis.ChronoVocalis \
        /fr/chronovocalis/ChronoVocalis fr.chronovocalis.ChronoVocalis.DireHeure ||
        e2e_echec "DireHeure refusé"
}

# entendus fichier.wav "n:écart …" [tolérance, 0.05] : chaque son attendu s'y trouve autant de
# fois que dans la liste, dans cet ordre, à son écart du précédent (± tolérance) ; position du
# premier dans PREMIER. L'annonce de la minute tient ses places à 50 ms ; « Dire l'heure » par
# D-Bus lance parfois un mot 0,1 à 0,25 s en retard, avec l'ancienne sortie de son comme avec
# celle-ci : ses mots sont vérifiés dans l'ordre, à 0,3 s près.
entendus() {
    local f=$1 attendus=$2 tolerance=${3:-0.05} l n k avant=
    local -A nombre=() positions=() pris=()
    local -a p
    for l in $attendus; do
        n=${l%%:*}
        nombre[$n]=$((${nombre[$n]:-0} + 1))
    done
    for n in "${!nombre[@]}"; do
        positions[$n]=$(e2e_sons "$f" --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9 | cut -d' ' -f1 | tr '\n' ' ')
        read -r -a p <<<"${positions[$n]}"
        e2e_egal "${nombre[$n]}" "${#p[@]}" "$f : nombre de sons $n entendus"
    done
    PREMIER=
    for l in $attendus; do
        n=${l%%:*}
        k=${pris[$n]:-0}
        pris[$n]=$((k + 1))
        read -r -a p <<<"${positions[$n]}"
        [[ -z "$PREMIER" ]] && PREMIER=${p[$k]}
        if [[ -n "$avant" ]]; then
            e2e_verifie "$f : son $n à ${p[$k]} s, ${l#*:} s après le précédent (à $avant s)" \
                awk "BEGIN { d = ${p[$k]} - $avant - ${l#*:}; exit !(d >= -$tolerance && d <= $tolerance) }"
        fi
        avant=${p[$k]}
    done
    e2e_info "$f : $attendus entendus à leur place"
}

# sans_claquement fichier.wav : aucun échantillon à pleine échelle.
sans_claquement() {
    local crete
    crete=$(sox "$E2E_ARTEFACTS/$1" -n stat 2>&1 |
        awk '/^(Maximum|Minimum) amplitude/ { v = $3 < 0 ? -$3 : $3; if (v > m) m = v } END { print m + 0 }')
    e2e_info "$1 : crête $crete"
    awk -v c="$crete" 'BEGIN { exit !(c < 0.99) }' || e2e_echec "$1 : échantillon à pleine échelle ($crete)"
}

# latence "quoi" : du dernier dire_heure au premier mot entendu (enregistrement arrêté).
latence() {
    local l
    l=$(e2e_calcule "($PREMIER - $(e2e_position "$DEMANDE")) * 1000")
    e2e_info "$1 : premier mot $l ms après la demande"
    awk -v l="$l" 'BEGIN { exit !(l >= 0 && l < 1000) }' || e2e_echec "$1 : premier mot à $l ms de la demande"
}

# releve_flux nom, puis flux_horloge : ce que le serveur sait des flux, relevé toutes les 0,1 s
# dans nom.log ; pour chaque flux de l'horloge relié à un évier, « évier rôle nom icône
# identifiant », sans doublon (un flux que PipeWire n'a pas encore relié est sur l'évier 2³²-1).
releve_flux() {
    RELEVE=$1
    e2e_demarre "$RELEVE" bash -c 'while :; do pactl list sink-inputs; sleep 0.1; done'
    RELEVE_PID=$E2E_PID
}
flux_horloge() {
    e2e_arrete "$RELEVE_PID"
    awk -F' = ' '
        /^Sink Input #/ { if (nom != "") print evier, role, media, icone, id; nom = ""; role = media = icone = id = "-" }
        /^[[:space:]]*Sink: / { evier = $0; sub(/.*Sink: /, "", evier) }
        /application.name = / { nom = $2 }
        /application.icon_name = / { icone = $2 }
        /application.id = / { id = $2 }
        /media.role = / { role = $2 }
        /media.name = / { media = $2 }
        END { if (nom != "") print evier, role, media, icone, id }
        /application.name = / && $2 != "\"Chrono Vocalis 95\"" { nom = "" }
    ' "$E2E_ARTEFACTS/$RELEVE.log" | tr -d '"' | grep -v '^4294967295 ' | sort -u
}

# ---------------------------------------------------------------- 1. serveur après l'horloge
e2e_lance_programme --heure "$JOUR 14:14:38" "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
e2e_attends_heure_fictive "$JOUR 14:14:43"
e2e_son "$SERVEUR"
e2e_enregistre depart.wav
e2e_attends_heure_fictive "$JOUR 14:14:44"
dire_heure
e2e_attends_heure_fictive "$JOUR 14:14:49"
e2e_arrete_enregistrement
entendus depart.wav "14:0 70:1.2 14:0.8 71:1.2" 0.3
latence "serveur prêt après l'horloge"
sans_claquement depart.wav

# ---------------------------------------------------------------- 2. serveur relancé
e2e_son_arrete
e2e_attends_heure_fictive "$JOUR 14:14:51"
dire_heure
e2e_dors 1
e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté sans serveur de son"
e2e_attends_heure_fictive "$JOUR 14:14:55"
e2e_son "$SERVEUR"
e2e_enregistre relance.wav
releve_flux flux_alarme
e2e_attends_heure_fictive "$JOUR 14:15:07"
e2e_arrete_enregistrement
flux_horloge >"$E2E_ARTEFACTS/flux_alarme.txt"
entendus relance.wav "14:0 70:1.2 15:0.8 71:1.2"
minute=$(e2e_position_heure "$JOUR 14:15:00")
e2e_verifie "annonce de 14:15 à $PREMIER s, minute à $minute s" \
    awk "BEGIN { d = $PREMIER - $minute; exit !(d >= 0 && d < 1.0) }"
# L'alarme après la phrase (3,2 s) et la seconde d'attente du tic, le fichier ouvert et son flux créé.
mapfile -t trouves < <(e2e_sons relance.wav --correle "$E2E_TEMP/refalarme.wav" --score-min 0.8)
e2e_egal 1 "${#trouves[@]}" "sons de l'alarme entendus"
read -r position _ <<<"${trouves[0]}"
e2e_proche "$(e2e_calcule "$position - $PREMIER")" 4.2 0.3 "place du son de l'alarme"
sans_claquement relance.wav
grep -qx '[0-9]* alarm Alarme fr.chronovocalis.ChronoVocalis fr.chronovocalis.ChronoVocalis' \
    "$E2E_ARTEFACTS/flux_alarme.txt" || e2e_echec "flux de l'alarme : $(cat "$E2E_ARTEFACTS/flux_alarme.txt")"

e2e_enregistre relance_heure.wav
e2e_attends_heure_fictive "$JOUR 14:15:08"
dire_heure
e2e_attends_heure_fictive "$JOUR 14:15:14"
e2e_arrete_enregistrement
entendus relance_heure.wav "14:0 70:1.2 15:0.8 71:1.2" 0.3
latence "serveur relancé"
sans_claquement relance_heure.wav

# ---------------------------------------------------------------- 3. autre sortie par défaut
e2e_son_evier autre
pactl set-default-sink autre
autre=$(pactl list short sinks | awk '$2 == "autre" { print $1 }')
e2e_demarre ancienne bash -c 'exec parec -d horloge.monitor --raw --format=s16le --rate=44100 --channels=1 --channel-map=front-left >"$1"' \
    _ "$E2E_TEMP/ancienne.raw"
ancienne=$E2E_PID
e2e_enregistre sortie.wav autre
releve_flux flux_voix
dire_heure
e2e_attends_heure_fictive "$JOUR 14:15:22"
e2e_arrete_enregistrement
e2e_arrete "$ancienne"
flux_horloge >"$E2E_ARTEFACTS/flux_voix.txt"
entendus sortie.wav "14:0 70:1.2 15:0.8 71:1.2" 0.3
sans_claquement sortie.wav
sox -t raw -r 44100 -e signed -b 16 -c 1 "$E2E_TEMP/ancienne.raw" "$E2E_ARTEFACTS/ancienne.wav"
crete=$(sox "$E2E_ARTEFACTS/ancienne.wav" -n stat 2>&1 | awk '/^Maximum amplitude/ { print $3 }')
awk -v c="$crete" 'BEGIN { exit !(c < 0.01) }' || e2e_echec "l'ancienne sortie joue encore (crête $crete)"
# Le flux de l'alarme, en pause depuis 14:15, a suivi la sortie par défaut lui aussi.
e2e_egal "$autre alarm Alarme fr.chronovocalis.ChronoVocalis fr.chronovocalis.ChronoVocalis
$autre event Voix fr.chronovocalis.ChronoVocalis fr.chronovocalis.ChronoVocalis" \
    "$(cat "$E2E_ARTEFACTS/flux_voix.txt")" "flux de l'horloge (évier rôle nom icône identifiant)"
# Après le son, aucun flux de l'horloge ne fait tourner la sortie.
en_pause=$(pactl list sink-inputs | awk '/^Sink Input/ { c = "" } /Corked:/ { c = $2 }
    /application.name = "Chrono Vocalis 95"/ { print c }' | sort | uniq -c | tr -s ' ')
e2e_egal " 2 yes" "$en_pause" "flux de l'horloge en pause après le son"
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur"

# ---------------------------------------------------------------- 4. volume de la voix à 50 %
printf 'volume_voix = 50\r\n' >>"$ini"
e2e_lance_programme --heure "$JOUR 14:15:23" "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
e2e_attends_heure_fictive "$JOUR 14:15:26"
e2e_enregistre volume.wav autre
dire_heure
e2e_attends_heure_fictive "$JOUR 14:15:32"
e2e_arrete_enregistrement
entendus volume.wav "14:0 70:1.2 15:0.8 71:1.2" 0.3
for n in 14 70 15 71; do
    duree=$(soxi -D "$E2E_TEMP/ref$n.wav")
    read -r plein _ < <(e2e_sons sortie.wav --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9)
    read -r moitie _ < <(e2e_sons volume.wav --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9)
    rapport=$(e2e_calcule "$(sox "$E2E_ARTEFACTS/volume.wav" -n trim "$moitie" "$duree" stat 2>&1 |
        awk '/^RMS +amplitude/ { print $3 }') / $(sox "$E2E_ARTEFACTS/sortie.wav" -n trim "$plein" "$duree" stat 2>&1 |
        awk '/^RMS +amplitude/ { print $3 }')")
    e2e_info "son $n à 50 % : amplitude efficace × $rapport"
    e2e_proche "$rapport" 0.5 0.05 "amplitude efficace du son $n à 50 %"
done
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur"
