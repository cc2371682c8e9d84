#!/usr/bin/env bash
# L'heure dite sur un vrai serveur de son (PulseAudio ou PipeWire privé, évier nul enregistré,
# comme les tests de bout en bout) :
#   CV_BUILD=build bash bench/annonce.sh [processus=3] [phrases=3] [pulseaudio|pipewire]
# 1. Le temps processeur d'une annonce et d'une minute de travail (bench_annonce, sortie réelle
#    puis muette), sur PulseAudio seulement.
# 2. Où tombent les mots : `processus` lancements de bench_annonce --joue, chacun disant
#    « 14 heures 25 minutes » `phrases` fois et notant l'heure réelle de chaque lancement ; chaque
#    mot est retrouvé dans l'enregistrement par corrélation. Par mot : sa place depuis le premier
#    mot de la phrase et l'écart au programme (0 ; 1,2 ; 2,0 ; 3,2 s), le retard du lancement
#    lui-même sur le programme, la latence entre l'appel et le premier échantillon entendu. Le
#    premier son de chaque processus (connexion au serveur comprise) est compté à part.
# 3. Un son coupé : « 25 » puis le clic 84 (18 ms) 0,3 s plus tard ; rien ne doit sonner après
#    la fin du clic.
# Écrit « mesure <clé> programme <valeur> » dans $BENCH_RESULTATS (sinon les artefacts) ; sur
# PipeWire, les clés des étapes 2 et 3 finissent par « _pipewire ».
# shellcheck source=../tests/e2e/commun.sh
source "$(dirname "$0")/../tests/e2e/commun.sh"
PROCESSUS=${1:-3}
PHRASES=${2:-3}
SERVEUR=${3:-pulseaudio}
SUFFIXE=
[[ $SERVEUR == pipewire ]] && SUFFIXE=_pipewire
e2e_prepare $((PROCESSUS * PHRASES * 6 + 200))
e2e_requiert sox
[[ $SERVEUR == pipewire ]] && e2e_bus
e2e_son "$SERVEUR"
exe=$CV_BUILD/bench/bench_annonce
[[ -x "$exe" ]] || e2e_echec "bench_annonce absent : construire la cible bench_annonce"
RESULTATS=${BENCH_RESULTATS:-$E2E_ARTEFACTS/resultats.txt}
for n in 14 70 25 71; do
    sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"
done

if [[ -z $SUFFIXE ]]; then
    QT_QPA_PLATFORM=offscreen "$exe" --phrases 4 2>"$E2E_ARTEFACTS/bench_cout.log" >"$E2E_ARTEFACTS/cout.txt" ||
        e2e_echec "bench_annonce a échoué (voir $E2E_ARTEFACTS/bench_cout.log)"
    grep -v '^mesure ' "$E2E_ARTEFACTS/cout.txt"
    grep '^mesure ' "$E2E_ARTEFACTS/cout.txt" >>"$RESULTATS"
fi

e2e_enregistre phrases.wav
e2e_dors 0.3
: >"$E2E_ARTEFACTS/lancements.txt"
for ((k = 1; k <= PROCESSUS; ++k)); do
    QT_QPA_PLATFORM=offscreen "$exe" --joue 14 25 --fois "$PHRASES" --ecart 4.5 >"$E2E_TEMP/l.txt" \
        2>>"$E2E_ARTEFACTS/bench_annonce.log" || e2e_echec "bench_annonce a échoué (voir $E2E_ARTEFACTS/bench_annonce.log)"
    sed "s/^son /son $k /" "$E2E_TEMP/l.txt" >>"$E2E_ARTEFACTS/lancements.txt"
    e2e_dors 0.5
done
e2e_dors 1.2
e2e_arrete_enregistrement

for n in 14 70 25 71; do
    e2e_sons phrases.wav --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9 | sed "s/^/$n /"
done >"$E2E_ARTEFACTS/trouves.txt"

# Chaque lancement (« son processus numéro heure remise ») est apparié au son du même numéro
# trouvé le plus près après lui. Chaque son est daté par les blocs reçus dans la seconde qui
# l'entoure (l'enregistrement de PulseAudio dérive de l'heure réelle : voir l'enregistreur).
awk -v origine="$E2E_ORIGINE" -v resultats="$RESULTATS" -v suffixe="$SUFFIXE" '
    function heure(p,   i, o) {
        o = -1
        for (i = 1; i <= b; ++i)
            if (fin[i] > p - 0.5 && fin[i] < p + 0.5 && (o < 0 || est[i] < o)) o = est[i]
        return (o < 0 ? origine : o) + p
    }
    FILENAME ~ /blocs/ { fin[++b] = $1; est[b] = $2; next }
    FILENAME ~ /trouves/ { n[++t] = $1; pos[t] = $2; next }
    {
        proc = $2; num = $3; lance = $4 - origine; best = -1
        for (i = 1; i <= t; ++i)
            if (n[i] == num && pos[i] >= lance - 0.05 && (best < 0 || pos[i] < pos[best])) best = i
        if (proc != dernier) { dernier = proc; k = -1; froid = 1 } else froid = 0
        k = (k + 1) % 4
        if (k == 0) { phrase++; p0 = (best > 0 ? heure(pos[best]) : -1); l0 = lance }
        prevu = (k == 0 ? 0 : k == 1 ? 1.2 : k == 2 ? 2.0 : 3.2)
        if (best < 0 || p0 < 0) { printf "phrase %d son %s : introuvable\n", phrase, num; manque++; next }
        ici = heure(pos[best]); ecart = (ici - p0 - prevu) * 1000; retard = (lance - l0 - prevu) * 1000
        latence = (ici - $4) * 1000
        printf "phrase %d son %-2s  place %.4f s (prévu %.1f) écart %+6.1f ms | lancement %+6.1f ms | latence %5.1f ms%s | remise %.2f ms\n",
            phrase, num, ici - p0, prevu, ecart, retard, latence, (froid ? " (premier son)" : ""), $5
        a = ecart < 0 ? -ecart : ecart
        if (k > 0) { if (a > pire) pire = a; somme += a; nb++; printf "mesure ecart_debut_ms%s programme %.1f\n", suffixe, a >> resultats }
        if (froid) printf "mesure latence_premier_son_ms%s programme %.1f\n", suffixe, latence >> resultats
        else printf "mesure latence_ms%s programme %.1f\n", suffixe, latence >> resultats
    }
    END {
        printf "écart au programme : max %.1f ms, moyenne %.1f ms sur %d mots%s\n",
            pire, (nb ? somme / nb : 0), nb, (manque ? " ; " manque " sons introuvables" : "")
        if (manque) printf "mesure sons_introuvables%s programme %d\n", suffixe, manque >> resultats
    }' "$E2E_ARTEFACTS/phrases.origine.blocs" "$E2E_ARTEFACTS/trouves.txt" "$E2E_ARTEFACTS/lancements.txt" | tee "$E2E_ARTEFACTS/debuts.txt"

# Le son coupé : la fin du dernier son entendu, comptée depuis le lancement du clic.
e2e_enregistre coupe.wav
e2e_dors 0.3
QT_QPA_PLATFORM=offscreen "$exe" --coupe >"$E2E_ARTEFACTS/coupe.txt" 2>>"$E2E_ARTEFACTS/bench_annonce.log" ||
    e2e_echec "bench_annonce --coupe a échoué"
e2e_dors 0.5
e2e_arrete_enregistrement
clic=$(awk '$2 == 84 { t = $3 } END { print t }' "$E2E_ARTEFACTS/coupe.txt")
e2e_sons coupe.wav --seuil -50 --silence 30 >"$E2E_ARTEFACTS/coupe_sons.txt"
awk -v clic="$(e2e_position "$clic")" -v resultats="$RESULTATS" -v suffixe="$SUFFIXE" '
    { fin = $2 }
    END {
        apres = (fin - clic) * 1000
        printf "son coupé : « 25 » (0,93 s) puis le clic (18 ms) lancé 0,3 s plus tard ; le son entendu finit %.0f ms après le lancement du clic\n", apres
        printf "mesure coupe_fin_ms%s programme %.1f\n", suffixe, apres >> resultats
    }' "$E2E_ARTEFACTS/coupe_sons.txt"
