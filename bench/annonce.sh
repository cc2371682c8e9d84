#!/usr/bin/env bash
# L'heure dite sur un vrai serveur de son (PulseAudio privé, évier nul enregistré, comme les tests
# de bout en bout) :
#   CV_BUILD=build bash bench/annonce.sh [fois=5]
# D'abord le temps processeur d'une annonce (bench_annonce, sortie réelle puis muette).
# Ensuite où tombent les mots : bench_annonce --joue dit « 14 heures 25 minutes » plusieurs fois et note l'heure réelle de
# chaque lancement ; chaque mot est retrouvé dans l'enregistrement par corrélation. On imprime,
# mot par mot : la place mesurée depuis le premier mot de la phrase et son écart au programme
# (0 ; 1,2 ; 2,0 ; 3,2 s), le retard du lancement lui-même sur le programme (ce que coûtent les
# remises précédentes), et la latence entre lancement et son entendu.
# shellcheck source=../tests/e2e/commun.sh
source "$(dirname "$0")/../tests/e2e/commun.sh"
FOIS=${1:-5}
e2e_prepare 300
e2e_requiert sox
e2e_son
exe=$CV_BUILD/bench/bench_annonce
[[ -x "$exe" ]] || e2e_echec "bench_annonce absent : construire la cible bench_annonce"
for n in 14 70 25 71; do
    sox "$CV_SOURCE/resources/sons/$n.wav" -b 16 "$E2E_TEMP/ref$n.wav"
done

QT_QPA_PLATFORM=offscreen "$exe" --phrases 4 2>"$E2E_ARTEFACTS/bench_cout.log" | tee "$E2E_ARTEFACTS/cout.txt" ||
    e2e_echec "bench_annonce a échoué (voir $E2E_ARTEFACTS/bench_cout.log)"

e2e_enregistre phrases.wav
e2e_dors 0.3
QT_QPA_PLATFORM=offscreen "$exe" --joue 14 25 --fois "$FOIS" --ecart 4.5 >"$E2E_ARTEFACTS/lancements.txt" \
    2>"$E2E_ARTEFACTS/bench_annonce.log" || e2e_echec "bench_annonce a échoué (voir $E2E_ARTEFACTS/bench_annonce.log)"
e2e_dors 1.2
e2e_arrete_enregistrement

for n in 14 70 25 71; do
    e2e_sons phrases.wav --correle "$E2E_TEMP/ref$n.wav" --score-min 0.9 | sed "s/^/$n /"
done >"$E2E_ARTEFACTS/trouves.txt"

# Chaque lancement est apparié au son du même numéro trouvé le plus près après lui.
awk -v origine="$E2E_ORIGINE" '
    FILENAME ~ /trouves/ { n[++t] = $1; pos[t] = $2; next }
    {
        num = $2; lance = $3 - origine; best = -1
        for (i = 1; i <= t; ++i)
            if (n[i] == num && pos[i] >= lance - 0.05 && (best < 0 || pos[i] < pos[best])) best = i
        k = (FNR - 1) % 4
        if (k == 0) { phrase++; p0 = (best > 0 ? pos[best] : -1); l0 = lance }
        prevu = (k == 0 ? 0 : k == 1 ? 1.2 : k == 2 ? 2.0 : 3.2)
        if (best < 0 || p0 < 0) { printf "phrase %d son %s : introuvable\n", phrase, num; manque++; next }
        ecart = (pos[best] - p0 - prevu) * 1000; retard = (lance - l0 - prevu) * 1000
        latence = (pos[best] - lance) * 1000
        printf "phrase %d son %-2s  place %.4f s (prévu %.1f) écart %+6.1f ms | lancement %+6.1f ms | latence %5.1f ms | remise %.2f ms\n",
            phrase, num, pos[best] - p0, prevu, ecart, retard, latence, $4
        a = ecart < 0 ? -ecart : ecart; if (a > pire) pire = a; if (k > 0) { somme += a; nb++ }
        if (latence > lmax) lmax = latence; if (lmin == "" || latence < lmin) lmin = latence
    }
    END {
        printf "écart au programme : max %.1f ms, moyenne %.1f ms sur %d mots ; latence de %.1f à %.1f ms%s\n",
            pire, (nb ? somme / nb : 0), nb, lmin, lmax, (manque ? " ; " manque " sons introuvables" : "")
    }' "$E2E_ARTEFACTS/trouves.txt" "$E2E_ARTEFACTS/lancements.txt" | tee "$E2E_ARTEFACTS/debuts.txt"
