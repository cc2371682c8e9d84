# Le tableau des mesures, à partir des lignes « mesure <clé> <programme|temoin|fidele|machine> <valeur> » :
# médiane [min–max] de chaque figure, rapports du programme au témoin nu et au témoin fidèle,
# cible et verdict. Un rapport est la médiane des rapports de chaque paire : la k-ième mesure du
# programme et celle du témoin, prises dans le même tour, côte à côte (une machine qui ralentit
# pendant quelques tours les ralentit ensemble) ; à défaut, le rapport des médianes. Une cible
# absolue se juge sur la médiane ou sur le maximum.
$1 == "mesure" { v[$2, $3] = v[$2, $3] " " $4; n[$2, $3]++ }
function trie(cle, qui,    a, i, j, t, m) {
    m = split(v[cle, qui], a, " ")
    for (i = 1; i <= m; ++i) for (j = i + 1; j <= m; ++j) if (a[j] + 0 < a[i] + 0) { t = a[i]; a[i] = a[j]; a[j] = t }
    for (i = 1; i <= m; ++i) s[i] = a[i] + 0
    return m
}
function med(cle, qui,    m) {
    m = trie(cle, qui)
    if (m == 0) return ""
    return (m % 2 ? s[(m + 1) / 2] : (s[m / 2] + s[m / 2 + 1]) / 2)
}
function mini(cle, qui,    m) { m = trie(cle, qui); return m ? s[1] : "" }
function maxi(cle, qui,    m) { m = trie(cle, qui); return m ? s[m] : "" }
function cellule(cle, qui, f, echelle) {
    if (!n[cle, qui]) return "—"
    if (n[cle, qui] == 1) return sprintf(f, med(cle, qui) / echelle)
    return sprintf(f " [" f "–" f "]", med(cle, qui) / echelle, mini(cle, qui) / echelle, maxi(cle, qui) / echelle)
}
# Rapport du programme à un témoin, « — » s'il manque l'un des deux.
function rapport(cle, qui,    a, b, i, m, r) {
    if (!n[cle, "programme"] || !n[cle, qui] || med(cle, qui) <= 0) return ""
    if (n[cle, "programme"] != n[cle, qui] || n[cle, qui] < 2)
        return med(cle, "programme") / med(cle, qui)
    m = split(v[cle, "programme"], a, " ")
    split(v[cle, qui], b, " ")
    for (i = 1; i <= m; ++i) if (b[i] + 0 > 0) r = r " " (a[i] / b[i])
    v["rapport", qui] = r; n["rapport", qui] = m
    return med("rapport", qui)
}
# Une ligne : cible en rapport au témoin nu, au témoin fidèle et/ou absolue, jugée sur la médiane
# ou le maximum.
function ligne(libelle, cle, f, echelle, cibleNu, cibleFidele, cibleAbs, juge,    rn, rf, ok, valeur, cible) {
    if (!n[cle, "programme"]) return
    rn = rapport(cle, "temoin"); rf = rapport(cle, "fidele")
    ok = ""; cible = ""
    if (cibleNu != "") {
        cible = "≤ " cibleNu " × nu"
        ok = (rn != "" && rn <= cibleNu + 0) ? "oui" : "non"
    }
    if (cibleFidele != "") {
        cible = cible (cible != "" ? " et " : "") "≤ " cibleFidele " × fidèle"
        ok = (ok != "non" && rf != "" && rf <= cibleFidele + 0) ? "oui" : "non"
    }
    if (cibleAbs != "") {
        valeur = (juge == "max" ? maxi(cle, "programme") : med(cle, "programme")) / echelle
        cible = cible (cible != "" ? " et " : "") "≤ " cibleAbs (juge == "max" ? " (max)" : "")
        ok = (ok != "non" && valeur <= cibleAbs + 0) ? "oui" : "non"
    }
    printf "| %s | %s | %s | %s | %s | %s | %s | %s |\n", libelle, cellule(cle, "programme", f, echelle),
        cellule(cle, "temoin", f, echelle), cellule(cle, "fidele", f, echelle),
        (rn == "" ? "—" : sprintf("%.2f", rn)), (rf == "" ? "—" : sprintf("%.2f", rf)),
        (cible == "" ? "—" : cible), (ok == "" ? "—" : ok)
}
# Les figures du démarrage et du repos, sans bus de session (suffixe vide) ou avec (« _bus »).
function demarrage_et_repos(s, quand) {
    ligne("Démarrage, exec → première fenêtre posée (ms)" quand, "demarrage_ms" s, "%.1f", 1, "1.15", "", "", "")
    ligne("Démarrage, exec → premier dessin (ms)" quand, "dessin_ms" s, "%.1f", 1, "1.05", "", "", "")
    ligne("Temps processeur jusqu'à la pose (ms)" quand, "processeur_pose_ms" s, "%.1f", 1, "", "", "", "")
    ligne("RSS après 60 s de repos (Mo)" quand, "rss_kb" s, "%.1f", 1024, "1.35", "", "", "")
    ligne("PSS après 60 s de repos (Mo)" quand, "pss_kb" s, "%.1f", 1024, "", "", "", "")
    ligne("Fils d'exécution" quand, "fils" s, "%d", 1, "", "", "", "")
    ligne("Processeur au repos (%)" quand, "cpu_repos_pct" s, "%.3f", 1, "", "1.1", "", "")
    ligne("Réveils par seconde au repos" quand, "reveils_s" s, "%.2f", 1, "", "", "5", "med")
}
END {
    if (n["charge_1min", "machine"])
        printf "Charge de la machine (1 min) au début des tours : %s\n\n", cellule("charge_1min", "machine", "%.2f", 1)
    print "| Mesure | Programme : médiane [min–max] | Témoin nu | Témoin fidèle | Rapport au nu | Rapport au fidèle | Cible | Tenue |"
    print "|---|---|---|---|---|---|---|---|"
    demarrage_et_repos("", ", sans bus de session")
    demarrage_et_repos("_bus", ", avec bus de session")
    ligne("Processeur au repos, AT-SPI allumé (%)", "cpu_repos_pct_atspi", "%.3f", 1, "", "", "", "")
    ligne("Réveils par seconde au repos, AT-SPI allumé", "reveils_s_atspi", "%.2f", 1, "", "", "", "")
    ligne("JoueSon → premier échantillon entendu, PulseAudio (ms)", "latence_ms", "%.1f", 1, "", "", "35", "max")
    ligne("  premier son du processus, connexion au serveur comprise (ms)", "latence_premier_son_ms", "%.1f", 1, "", "", "35", "max")
    ligne("JoueSon → premier échantillon entendu, PipeWire (ms)", "latence_ms_pipewire", "%.1f", 1, "", "", "35", "max")
    ligne("  premier son du processus, connexion au serveur comprise (ms)", "latence_premier_son_ms_pipewire", "%.1f", 1, "", "", "35", "max")
    ligne("Écart des mots au programme 1,2 / 2,0 / 3,2 s, PulseAudio (ms)", "ecart_debut_ms", "%.1f", 1, "", "", "15", "max")
    ligne("Écart des mots au programme, PipeWire (ms)", "ecart_debut_ms_pipewire", "%.1f", 1, "", "", "15", "max")
    ligne("Son coupé : fin du son entendu après le lancement du clic de 18 ms, PulseAudio (ms)", "coupe_fin_ms", "%.0f", 1, "", "", "", "")
    ligne("Son coupé, PipeWire (ms)", "coupe_fin_ms_pipewire", "%.0f", 1, "", "", "", "")
    ligne("Processeur d'une annonce, jusqu'à la fin du dernier mot (ms)", "cpu_annonce_ms", "%.1f", 1, "", "", "20", "med")
    ligne("Processeur de la minute 14:00 : carillon, phrase (ms)", "cpu_minute_ms", "%.1f", 1, "", "", "", "")
    ligne("Processeur d'une minute avec alarme : son court, sans message (ms)", "cpu_minute_alarme_ms", "%.1f", 1, "", "", "", "")
    ligne("Réglages 1 Ko : chargement + enregistrement (ms)", "reglages_1ko_ms", "%.2f", 1, "", "", "5", "med")
    ligne("Réglages 100 Ko (ms)", "reglages_100ko_ms", "%.1f", 1, "", "", "", "")
    ligne("Réglages 1 Mo (ms)", "reglages_1000ko_ms", "%.1f", 1, "", "", "", "")
    ligne("Réglages 10 Mo (ms)", "reglages_10000ko_ms", "%.0f", 1, "", "", "", "")
    ligne("  par Mo au-delà de 1 Ko, jusqu'à 100 Ko (ms/Mo)", "reglages_par_mo_100ko", "%.0f", 1, "", "", "", "")
    ligne("  par Mo au-delà de 1 Ko, jusqu'à 1 Mo (ms/Mo)", "reglages_par_mo_1000ko", "%.0f", 1, "", "", "", "")
    ligne("  par Mo au-delà de 1 Ko, jusqu'à 10 Mo (ms/Mo)", "reglages_par_mo_10000ko", "%.0f", 1, "", "", "", "")
}
