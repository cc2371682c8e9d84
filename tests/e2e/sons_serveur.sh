# shellcheck shell=bash
# Une journée de l'horloge sur un vrai serveur de son (e2e_son_pulseaudio.sh, e2e_son_pipewire.sh).
# Heure fictive 14:14:32, annonce toutes les 5 mn, alarme 1 à 14:15 avec son propre son :
# 1. le serveur part 5 s après l'horloge : « Dire l'heure » (D-Bus) s'entend ensuite ;
# 2. serveur tué (« Dire l'heure » demandé pendant la panne : rien ne casse), relancé 5 s plus
#    tard : l'annonce de 14:15 à ses places (± 50 ms, 100 ms sur PipeWire), le son de l'alarme, « Dire l'heure » ;
# 3. sortie par défaut changée : « Dire l'heure » ne s'entend que là ; les flux de l'horloge y
#    sont, en pause, sous son nom et son icône, rôle « event » (voix) ou « alarm » ;
# 4. second lancement, volume_voix = 50 : amplitude efficace des mots moitié (± 10 %) de l'étape 3.
# Nulle part un échantillon à pleine échelle (les sons culminent sous 0,85 : ce serait un claquement).
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
for r in ALH1:14 ALMN1:15 AL1:True ALMSG1:False ALAPP1:False "ALSON1:$son_alarme"; do
    regle "${r%%:*}" "${r#*:}"
done
grep -qxF "ALSON1 =$son_alarme$cr" "$ini" || e2e_echec "ALSON1 mal réglé dans $ini"

JOUR=2027-03-15
# a_temps "heure fictive" quoi : le test n'a pas pris de retard sur son programme (machine chargée).
a_temps() {
    ((${EPOCHREALTIME%[.,]*} + E2E_DECALAGE < $(date -d "$JOUR $1" +%s))) || e2e_echec "$2 après $1 : test en retard"
}
dire_heure() {
    dbus-send --session --type=method_call --dest=fr.chronovocalis.ChronoVocalis \
        /fr/chronovocalis/ChronoVocalis fr.chronovocalis.ChronoVocalis.DireHeure || e2e_echec "DireHeure refusé"
}

# Ressemblance d'un mot enregistré à son échantillon. PipeWire décale parfois de 5 à 10 ms la
# première syllabe du premier mot d'un flux qui sort de pause (le serveur a pourtant tout le mot
# avant) : 0,85 au lieu de 0,999. Un autre de ces quatre mots n'y dépasse pas 0,65.
RESSEMBLANCE=0.8
# Écart admis entre les mots de l'annonce de la minute : PipeWire fait partir le premier son d'un
# flux neuf jusqu'à 55 ms en retard sur une machine chargée (vu pendant une construction), et les
# mots suivants partent à l'heure du programme ; PulseAudio reste à quelques ms.
ECART_ANNONCE=0.05
[[ "$SERVEUR" == pipewire ]] && ECART_ANNONCE=0.1

# crete fichier.wav : le plus grand |x| ; le clic de PipeWire sur les flux 8 bits était à -1,0.
crete() {
    sox "$1" -n stat 2>&1 |
        awk '/^(Maximum|Minimum) amplitude/ { v = $3 < 0 ? -$3 : $3; if (v > m) m = v } END { print m + 0 }'
}

# entendus fichier.wav "n:écart …" [tolérance, 0.05] : chaque son attendu autant de fois que dans
# la liste, dans cet ordre, à son écart du précédent (± tolérance) ; le premier dans PREMIER.
# « Dire l'heure » par D-Bus lance parfois un mot 0,1 à 0,25 s en retard (avec l'ancienne sortie
# de son aussi) : 0,3 s de tolérance pour lui, ECART_ANNONCE pour l'annonce de la minute.
entendus() {
    local f=$1 attendus=$2 tolerance=${3:-0.05} l n k avant=
    local -A nombre=() positions=() pris=()
    local -a p
    for l in $attendus; do
        n=${l%%:*}
        nombre[$n]=$((${nombre[$n]:-0} + 1))
    done
    for n in "${!nombre[@]}"; do
        positions[$n]=$(e2e_sons "$f" --correle "$E2E_TEMP/ref$n.wav" --score-min "$RESSEMBLANCE" | cut -d' ' -f1 | tr '\n' ' ')
        read -r -a p <<<"${positions[$n]}"
        e2e_egal "${nombre[$n]}" "${#p[@]}" "$f : nombre de sons $n entendus"
    done
    for l in $attendus; do
        n=${l%%:*}
        k=${pris[$n]:-0}
        pris[$n]=$((k + 1))
        read -r -a p <<<"${positions[$n]}"
        [[ -n "$avant" ]] && e2e_proche "$(e2e_calcule "${p[$k]} - $avant")" "${l#*:}" "$tolerance" "$f : son $n"
        [[ -z "$avant" ]] && PREMIER=${p[$k]}
        avant=${p[$k]}
    done
    local crete
    crete=$(crete "$E2E_ARTEFACTS/$f")
    e2e_info "$f : $attendus entendus à leur place, crête $crete"
    e2e_verifie "$f : échantillon à pleine échelle ($crete)" awk "BEGIN { exit !($crete < 0.99) }"
}

# ---------------------------------------------------------------- 1. serveur après l'horloge
e2e_lance_programme --heure "$JOUR 14:14:32" "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
e2e_attends_heure_fictive "$JOUR 14:14:37"
e2e_son "$SERVEUR"
e2e_enregistre depart.wav
dire_heure
e2e_dors 5
e2e_arrete_enregistrement

# ---------------------------------------------------------------- 2. serveur relancé
e2e_son_arrete
dire_heure
e2e_dors 5
e2e_vivant "$E2E_PROGRAMME_PID" || e2e_echec "le programme s'est arrêté sans serveur de son"
e2e_son "$SERVEUR"
e2e_enregistre relance.wav
a_temps 14:14:59 "serveur relancé"
e2e_attends_heure_fictive "$JOUR 14:15:07"
e2e_arrete_enregistrement
minute=$(e2e_position_heure "$JOUR 14:15:00")
e2e_enregistre relance_heure.wav
e2e_attends_heure_fictive "$JOUR 14:15:08"
dire_heure
e2e_dors 5.5
e2e_arrete_enregistrement

# ---------------------------------------------------------------- 3. autre sortie par défaut
e2e_son_evier autre
pactl set-default-sink autre
autre=$(pactl list short sinks | awk '$2 == "autre" { print $1 }')
e2e_demarre ancienne parec -d horloge.monitor --file-format=wav --channels=1 --channel-map=front-left \
    "$E2E_ARTEFACTS/ancienne.wav"
ancienne=$E2E_PID
e2e_enregistre sortie.wav autre
a_temps 14:15:48 "changement de sortie"
dire_heure
e2e_dors 6
e2e_arrete_enregistrement
e2e_arrete "$ancienne"
crete=$(crete "$E2E_ARTEFACTS/ancienne.wav")
e2e_verifie "l'ancienne sortie joue encore (crête $crete)" awk "BEGIN { exit !($crete < 0.01) }"
# « évier en pause rôle nom icône identifiant » de chaque flux de l'horloge.
flux=$(pactl list sink-inputs | awk -F' = ' '
    /^Sink Input #/ { if (nom) print evier, pause, role, media, icone, id; nom = 0 }
    /^[[:space:]]*Sink: / { evier = $0; sub(/.*: /, "", evier) }
    /^[[:space:]]*Corked: / { pause = $0; sub(/.*: /, "", pause) }
    /application.name = "Chrono Vocalis 95"/ { nom = 1 }
    /application.icon_name = / { icone = $2 }
    /application.id = / { id = $2 }
    /media.role = / { role = $2 }
    /media.name = / { media = $2 }
    END { if (nom) print evier, pause, role, media, icone, id }' | tr -d '"' | sort)
e2e_egal "$autre yes alarm Alarme fr.chronovocalis.ChronoVocalis fr.chronovocalis.ChronoVocalis
$autre yes event Voix fr.chronovocalis.ChronoVocalis fr.chronovocalis.ChronoVocalis" "$flux" "flux de l'horloge"
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur"

# Les enregistrements, lus une fois l'heure passée : sous charge, leur analyse retarderait la suite.
entendus depart.wav "14:0 70:1.2 14:0.8 71:1.2" 0.3
entendus relance.wav "14:0 70:1.2 15:0.8 71:1.2" "$ECART_ANNONCE"
e2e_verifie "annonce de 14:15 à $PREMIER s, minute à $minute s" \
    awk "BEGIN { d = $PREMIER - $minute; exit !(d >= 0 && d < 1.0) }"
# L'alarme après la phrase (3,2 s) et la seconde d'attente du tic, fichier ouvert et flux créé.
mapfile -t trouves < <(e2e_sons relance.wav --correle "$E2E_TEMP/refalarme.wav" --score-min 0.8)
e2e_egal 1 "${#trouves[@]}" "sons de l'alarme entendus"
e2e_proche "$(e2e_calcule "${trouves[0]%% *} - $PREMIER")" 4.2 0.3 "place du son de l'alarme"
entendus relance_heure.wav "14:0 70:1.2 15:0.8 71:1.2" 0.3
entendus sortie.wav "14:0 70:1.2 15:0.8 71:1.2" 0.3

# ---------------------------------------------------------------- 4. volume de la voix à 50 %
printf 'volume_voix = 50\r\n' >>"$ini"
e2e_lance_programme --heure "$JOUR 14:15:30" "$E2E_DOSSIER"
e2e_attends_fenetre '^ [0-9]{2}:[0-9]{2} - ' 20
e2e_attends_heure_fictive "$JOUR 14:15:33"
e2e_enregistre volume.wav autre
a_temps 14:15:48 "volume"
dire_heure
e2e_dors 5.5
e2e_arrete_enregistrement
entendus volume.wav "14:0 70:1.2 15:0.8 71:1.2" 0.3
rms() {
    local debut
    read -r debut _ < <(e2e_sons "$1" --correle "$E2E_TEMP/ref$2.wav" --score-min "$RESSEMBLANCE")
    sox "$E2E_ARTEFACTS/$1" -n trim "$debut" "$(soxi -D "$E2E_TEMP/ref$2.wav")" stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'
}
for n in 14 70 15 71; do
    rapport=$(e2e_calcule "$(rms volume.wav "$n") / $(rms sortie.wav "$n")")
    e2e_info "son $n à 50 % : amplitude efficace × $rapport"
    e2e_proche "$rapport" 0.5 0.05 "amplitude efficace du son $n à 50 %"
done
kill -TERM "$E2E_PROGRAMME_PID"
e2e_attends_fin "$E2E_PROGRAMME_PID" 15 || e2e_echec "le programme finit en erreur"
