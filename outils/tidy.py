#!/usr/bin/env python3
"""clang-tidy sur chaque unité du dépôt, sans refaire celles déjà trouvées propres.

Une unité est reconnue à l'empreinte de ce que clang-tidy lit vraiment : la version de l'outil,
.clang-tidy, les options de compilation et le texte préprocessé (en-têtes système compris), le
chemin du dépôt remplacé par un repère pour qu'un clone ailleurs retrouve les mêmes empreintes.
Les empreintes des unités propres sont gardées dans outils/tidy_propres.txt, versé au dépôt : une
machine neuve n'analyse que ce qui a changé depuis. --tout analyse tout quand même.

Usage : tidy.py RACINE [--tout]
"""

import concurrent.futures
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys

TIDY = "clang-tidy-14"
CLANG = "clang++-14"
DOSSIERS = ("src", "tests", "bench")
REPERE = b"@RACINE@"


def unites(racine, build):
    with open(os.path.join(build, "compile_commands.json"), encoding="utf-8") as f:
        entrees = json.load(f)
    choisies = {}
    for e in entrees:
        fichier = os.path.normpath(os.path.join(e["directory"], e["file"]))
        relatif = os.path.relpath(fichier, racine)
        if relatif.split(os.sep)[0] in DOSSIERS:
            args = e.get("arguments") or shlex.split(e["command"])
            choisies[relatif] = (fichier, e["directory"], args)
    return choisies


def options_sans_sortie(args, fichier):
    """Les options du compilateur, sans lui, sans -o/-c ni le fichier lui-même."""
    restes, saute = [], False
    for a in args[1:]:
        if saute:
            saute = False
        elif a == "-o":
            saute = True
        elif a == "-c" or os.path.normpath(a) == fichier or a.startswith("-o"):
            continue
        else:
            restes.append(a)
    return restes


def empreinte(racine, commun, unite):
    fichier, dossier, args = unite
    options = options_sans_sortie(args, fichier)
    texte = subprocess.run(
        [CLANG, *options, "-E", "-P", fichier, "-o", "-"],
        cwd=dossier,
        capture_output=True,
        check=True,
    ).stdout
    h = hashlib.sha256(commun)
    r = racine.encode()
    for o in options:
        h.update(o.encode().replace(r, REPERE) + b"\0")
    h.update(texte.replace(r, REPERE))
    return h.hexdigest()


def analyse(build, fichier):
    fin = subprocess.run(
        [TIDY, "-p", build, "--quiet", fichier], capture_output=True, text=True, check=False
    )
    remarques = fin.stdout
    propre = fin.returncode == 0 and not re.search(r": (warning|error):", remarques)
    if not propre and not remarques.strip():
        remarques = fin.stderr
    return propre, remarques


def main():
    racine = os.path.realpath(sys.argv[1])
    tout = "--tout" in sys.argv[2:]
    build = os.path.join(racine, "build")
    memoire = os.path.join(racine, "outils", "tidy_propres.txt")

    version = subprocess.run([TIDY, "--version"], capture_output=True, check=True).stdout
    with open(os.path.join(racine, ".clang-tidy"), "rb") as f:
        commun = version + b"\0" + f.read() + b"\0"

    connues = set()
    if os.path.exists(memoire) and not tout:
        with open(memoire, encoding="utf-8") as f:
            connues = {ligne.split()[0] for ligne in f if ligne.strip() and not ligne.startswith("#")}

    choisies = unites(racine, build)
    coeurs = os.cpu_count() or 1
    with concurrent.futures.ThreadPoolExecutor(coeurs) as pool:
        empreintes = dict(
            zip(choisies, pool.map(lambda u: empreinte(racine, commun, choisies[u]), choisies))
        )
        a_faire = sorted(u for u in choisies if empreintes[u] not in connues)
        resultats = dict(zip(a_faire, pool.map(lambda u: analyse(build, choisies[u][0]), a_faire)))

    sales = [u for u in a_faire if not resultats[u][0]]
    for u in sales:
        print(resultats[u][1], end="")
    # Seules les unités d'aujourd'hui restent : la mémoire ne grossit pas au fil des versions.
    propres = sorted(
        (u for u in choisies if u not in sales and (empreintes[u] in connues or u in resultats)),
    )
    with open(memoire, "w", encoding="utf-8") as f:
        f.write("# Empreintes des unités que clang-tidy a trouvées propres (outils/tidy.py).\n")
        for u in propres:
            f.write(f"{empreintes[u]} {u}\n")
    print(f"clang-tidy : {len(a_faire)} unités analysées, {len(choisies) - len(a_faire)} déjà "
          f"propres, {len(sales)} avec remarques")
    return 1 if sales else 0


if __name__ == "__main__":
    sys.exit(main())
