#!/usr/bin/env bash
# Fabrique les échantillons sonores de l'horloge : N.wav, N étant le numéro de l'échantillon.
# Les .wav sont versionnés : ce script se lance à la main, la construction n'en a pas besoin.
# Deux passages donnent des fichiers identiques à l'octet près (sox -R, voix déterministe).
# Usage : fabrique.sh [--espeak]   (--espeak impose la voix de secours)
set -euo pipefail

ici=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# -R : graines fixes pour le tramage et le bruit du pluck ; pas de commentaire,
# donc pas de bloc LIST dans les fichiers.
SOX=(sox -R --no-show-progress)
SORTIE_U8=(--comment "" -c 1 -e unsigned-integer -b 8)

# --- Moteur de voix -----------------------------------------------------------

# Pico est dans la section non-free de Debian : on l'ajoute aux sources existantes
# plutôt que d'en écrire de nouvelles.
activer_pico() {
	local sources=/etc/apt/sources.list.d/debian.sources
	[[ $(id -u) -eq 0 && -f $sources ]] && command -v apt-get >/dev/null || return 1
	echo "pico2wave absent : ajout de non-free à $sources et installation de libttspico-utils" >&2
	sed -i '/^Components:/{/[[:space:]]non-free\([[:space:]]\|$\)/!s/$/ non-free/}' "$sources"
	apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libttspico-utils
}

if [[ ${1:-} == --espeak ]]; then
	MOTEUR=espeak
elif command -v pico2wave >/dev/null || { activer_pico && command -v pico2wave >/dev/null; }; then
	MOTEUR=pico
else
	echo "pico2wave indisponible : voix de secours espeak-ng" >&2
	MOTEUR=espeak
fi

# La voix par défaut de Pico est un peu pressée pour une horloge ; son propre
# réglage de débit évite les artefacts d'un étirement après coup.
dire() { # texte fichier
	case $MOTEUR in
	pico) pico2wave -l fr-FR -w "$2" "<speed level=\"90\">$1</speed>" ;;
	espeak) espeak-ng -v fr -s 130 -w "$2" "$1" ;;
	esac
}

# --- Voix ---------------------------------------------------------------------

# 1 et 21 ne servent que d'heures, d'où le féminin (« une heure »).
declare -A TEXTE=(
	[1]="une" [2]="deux" [3]="trois" [4]="quatre" [5]="cinq" [6]="six" [7]="sept"
	[8]="huit" [9]="neuf" [10]="dix" [11]="onze" [12]="douze" [13]="treize"
	[14]="quatorze" [15]="quinze" [16]="seize" [17]="dix-sept" [18]="dix-huit"
	[19]="dix-neuf" [20]="vingt" [21]="vingt-et-une" [22]="vingt-deux"
	[23]="vingt-trois" [25]="vingt-cinq" [30]="trente" [35]="trente-cinq"
	[40]="quarante" [45]="quarante-cinq" [50]="cinquante" [55]="cinquante-cinq"
	[99]="zéro" [70]="heures" [71]="minutes"
)
VOIX=(1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 25 30 35 40 45 50 55 99 70 71)

TAUX=11025
AVANT=551 # 50 ms de silence avant la voix

# La phrase enchaîne les mots sur des pauses fixes (1,2 s après un nombre, 0,8 s
# après « heures ») : la voix doit s'être tue avant le mot suivant.
fin_maxi() {
	case $1 in
	70) echo 0.75 ;;
	71) echo 1.78 ;; # dernier mot : seule la durée totale (1,93 s) le borne
	*) echo 1.15 ;;
	esac
}

# Durée totale minimale, en échantillons ; « minutes » garde la longueur d'origine.
duree_mini() {
	case $1 in
	71) echo 10254 ;; # 0,93 s
	*) echo 6285 ;;   # 0,57 s
	esac
}

# Seuil bas : les consonnes d'attaque (t, s, f) sont faibles et ne doivent pas sauter.
rogner() { # entrée sortie
	"${SOX[@]}" "$1" "$2" silence 1 0.002 0.1% reverse silence 1 0.002 0.1% reverse
}

for n in "${VOIX[@]}"; do
	dire "${TEXTE[$n]}" "$tmp/brut$n.wav"
	rogner "$tmp/brut$n.wav" "$tmp/net$n.wav"
done

# Un seul gain pour tous les mots, pour qu'ils gardent le même niveau dans la phrase ;
# 8 bits laissent peu de dynamique, on monte donc jusqu'à -1 dB du plus fort.
gain=$(for n in "${VOIX[@]}"; do "${SOX[@]}" "$tmp/net$n.wav" -n stat -v 2>&1; done |
	awk 'NR == 1 || $1 < m { m = $1 } END { printf "%.4f", m * 0.891 }')

for n in "${VOIX[@]}"; do
	net=$tmp/net$n.wav
	# N'accélérer que le mot qui dépasserait sa limite, de justesse et pas plus.
	longueur=$(soxi -D "$net")
	tempo=$(awk -v l="$longueur" -v f="$(fin_maxi "$n")" \
		'BEGIN { m = f - 0.05 - 0.03; if (l > m) printf "%.4f", l / m }')
	if [[ -n $tempo ]]; then
		echo "$n : accéléré ×$tempo" >&2
		"${SOX[@]}" "$net" "$tmp/vite$n.wav" tempo -s "$tempo"
		net=$tmp/vite$n.wav
	fi
	# Tramage -a : seule la voix est tramée, les silences restent à 128 exactement.
	"${SOX[@]}" "$net" "${SORTIE_U8[@]}" "$tmp/voix$n.wav" vol "$gain" rate -v $TAUX dither -a
	apres=$(($(duree_mini "$n") - AVANT - $(soxi -s "$tmp/voix$n.wav")))
	((apres >= 1103)) || apres=1103 # au moins 100 ms de silence après
	"${SOX[@]}" "$tmp/voix$n.wav" "${SORTIE_U8[@]}" "$ici/$n.wav" pad ${AVANT}s ${apres}s
done

# --- Sons synthétiques --------------------------------------------------------
# Le pluck n'existe qu'à 44,1 kHz : tout est synthétisé à ce taux puis rééchantillonné.
# Les longueurs sont données en échantillons à 44,1 kHz, multiples exacts du taux final.

synthe() { # sortie longueur_en_échantillons effets...
	local sortie=$1 n=$2
	shift 2
	# -r avant -n : le taux s'applique à la synthèse, sans rééchantillonnage caché ;
	# intermédiaires en flottant, le seul tramage est celui du fichier final.
	"${SOX[@]}" -r 44100 -n -c 1 -e floating-point -b 32 "$sortie" synth "${n}s" "$@"
}

# Note de pluck qui démarre après un délai ; aigus adoucis, la corde brute est criarde.
note() { # sortie note délai_s longueur_en_échantillons
	synthe "$1" "$4" pluck "$2" vol 0.5 highpass 60 lowpass 4000 fade q 0.002 pad "$3" trim 0 "$4"s
}

# Finition commune : mélange (les partiels courts sont complétés de silence), niveau,
# taux final, 8 bits tramés sans toucher aux silences.
finir() { # taux sortie entrées...
	local taux=$1 sortie=$2
	shift 2
	"${SOX[@]}" -m "$@" "${SORTIE_U8[@]}" "$sortie" gain -n -2 rate -v "$taux" dither -a
}

# 85 : carillon. Partiels inharmoniques d'une cloche, les aigus s'éteignant plus vite ;
# le bourdon légèrement désaccordé donne le battement qui fait « cloche ».
N=16316 # 0,37 s
synthe "$tmp/c0.wav" $N sine 442 vol 0.3 fade h 0.006 ${N}s 0.36
synthe "$tmp/c1.wav" $N sine 880 fade h 0.003 ${N}s 0.365
synthe "$tmp/c2.wav" $N sine 1760 vol 0.5 fade l 0.003 ${N}s 0.365
synthe "$tmp/c3.wav" $N sine 2429 vol 0.35 fade l 0.003 0.22 0.215
synthe "$tmp/c4.wav" $N sine 4752 vol 0.15 fade l 0.002 0.1 0.096
finir 11025 "$ici/85.wav" "$tmp"/c[0-4].wav

# 84 : clic. Un « toc » de bois très court, attaque adoucie pour ne pas claquer.
N=792 # 0,018 s
synthe "$tmp/k1.wav" $N sine 1800 fade q 0.0008 ${N}s 0.017
synthe "$tmp/k2.wav" $N sine 3150 vol 0.4 fade l 0.0005 0.009 0.0085
finir 11025 "$ici/84.wav" "$tmp"/k[12].wav

# 86 : fermeture. Arpège descendant sol-mi-do ; la dernière note s'éteint en douceur.
N=25136 # 0,57 s
note "$tmp/f1.wav" G5 0 $N
note "$tmp/f2.wav" E5 0.11 $N
note "$tmp/f3.wav" C5 0.22 $N
for f in "$tmp"/f[1-3].wav; do
	"${SOX[@]}" "$f" "$tmp/x.wav" fade h 0 ${N}s 0.25 && mv "$tmp/x.wav" "$f"
done
finir 22050 "$ici/86.wav" "$tmp"/f[1-3].wav

# 82 : « à propos ». Arpège montant do-mi-sol-do, plus vif et plus clair.
N=22932 # 0,52 s
note "$tmp/a1.wav" C5 0 $N
note "$tmp/a2.wav" E5 0.07 $N
note "$tmp/a3.wav" G5 0.14 $N
note "$tmp/a4.wav" C6 0.21 $N
for f in "$tmp"/a[1-4].wav; do
	"${SOX[@]}" "$f" "$tmp/x.wav" fade h 0 ${N}s 0.2 && mv "$tmp/x.wav" "$f"
done
finir 22050 "$ici/82.wav" "$tmp"/a[1-4].wav

echo "voix : $MOTEUR, gain ×$gain" >&2
