#!/usr/bin/python3
"""Ce qu'un lecteur d'écran voit du programme, par le vrai bus AT-SPI (pyatspi).

    sonde_atspi.py arbre                     tous les objets : profondeur, rôle, nom, états, valeur
    sonde_atspi.py focus                     l'objet qui a le focus, « rôle|nom »
    sonde_atspi.py attends-focus RÔLE NOM S  attend jusqu'à S s qu'un objet ainsi ait le focus
    sonde_atspi.py description               l'objet qui a le focus, « rôle|nom|description »
    sonde_atspi.py evenements S [FICHIER]    compte S s les événements du programme, par type
                                             (FICHIER : créé quand l'écoute est en place)
    sonde_atspi.py valeurs S [FICHIER]       les changements de valeur pendant S s, « nom valeur »
    sonde_atspi.py document NOM              le document ainsi nommé : « rôle|nom|liens », puis
                                             chaque lien « rôle|nom|actions »
    sonde_atspi.py suis NOM LIEN             fait l'action du lien, puis dit la ligne du curseur
    sonde_atspi.py boite S                   attend jusqu'à S s une boîte (alerte ou dialogue) :
                                             « rôle|nom », ses textes « texte|… », puis l'objet
                                             focalisé en elle, « focus|rôle|nom » (vide si aucun)

Le programme est cherché par son nom d'application sur le bus (variable CV_APPLICATION).
"""
import os
import sys
import time

import pyatspi

NOM_APPLICATION = os.environ.get("CV_APPLICATION", "Chrono Vocalis 95")


def application(delai=20.0):
    fin = time.monotonic() + delai
    while True:
        bureau = pyatspi.Registry.getDesktop(0)
        for i in range(bureau.childCount):
            app = bureau.getChildAtIndex(i)
            if app is not None and app.name == NOM_APPLICATION:
                return app
        if time.monotonic() > fin:
            sys.exit("application « %s » absente du bus AT-SPI" % NOM_APPLICATION)
        time.sleep(0.2)


def valeur(obj):
    try:
        v = obj.queryValue()
    except NotImplementedError:
        return None
    return v.currentValue


def parcours(obj, profondeur=0):
    yield profondeur, obj
    for i in range(obj.childCount):
        enfant = obj.getChildAtIndex(i)
        if enfant is not None:
            yield from parcours(enfant, profondeur + 1)


def etats(obj):
    return sorted(pyatspi.stateToString(s) for s in obj.getState().getStates())


def arbre():
    for profondeur, obj in parcours(application()):
        v = valeur(obj)
        relations = []
        for r in obj.getRelationSet():
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                relations += ["étiqueté par " + r.getTarget(i).name for i in range(r.getNTargets())]
        print("%d|%s|%s|%s|%s|%s" % (profondeur, obj.getRoleName(), obj.name, ",".join(etats(obj)),
                                     "" if v is None else "%g" % v, ";".join(relations)))


def focalise():
    for _, obj in parcours(application()):
        if obj.getState().contains(pyatspi.STATE_FOCUSED):
            return "%s|%s" % (obj.getRoleName(), obj.name)
    return "|"


def description():
    for _, obj in parcours(application()):
        if obj.getState().contains(pyatspi.STATE_FOCUSED):
            return "%s|%s|%s" % (obj.getRoleName(), obj.name, obj.description)
    return "||"


def attends_focus(role, nom, delai):
    fin = time.monotonic() + float(delai)
    vu = focalise()
    while vu != "%s|%s" % (role, nom) and time.monotonic() < fin:
        time.sleep(0.1)
        vu = focalise()
    print(vu)
    return 0 if vu == "%s|%s" % (role, nom) else 1


def ecoute(duree, fichier, traite):
    app = application()
    pid = app.get_process_id()

    def rappel(ev):
        try:
            if ev.source is not None and ev.source.get_process_id() == pid:
                traite(ev)
        except Exception:  # un objet disparu entre l'événement et sa lecture
            traite(ev)

    # Les familles qu'Orca écoute : un programme tranquille n'y envoie rien.
    types = ["object:", "window:", "focus:"]
    pyatspi.Registry.registerEventListener(rappel, *types)
    if fichier:
        open(fichier, "w").close()
    fin = time.monotonic() + float(duree)

    def arret():
        if time.monotonic() >= fin:
            pyatspi.Registry.stop()
            return False
        return True

    from gi.repository import GLib
    GLib.timeout_add(100, arret)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(rappel, *types)


def evenements(duree, fichier=None):
    comptes = {}

    def traite(ev):
        cle = ev.type
        try:
            cle += " " + ev.source.getRoleName() + " « " + ev.source.name + " »"
        except Exception:
            pass
        comptes[cle] = comptes.get(cle, 0) + 1

    ecoute(duree, fichier, traite)
    print("total %d" % sum(comptes.values()))
    for cle, n in sorted(comptes.items(), key=lambda c: -c[1]):
        print("%d %s" % (n, cle))


def valeurs(duree, fichier=None):
    def traite(ev):
        if ev.type.startswith("object:property-change:accessible-value") or \
                ev.type.startswith("object:value-changed"):
            print("%s %s" % (ev.source.name, valeur(ev.source)), flush=True)

    ecoute(duree, fichier, traite)


def trouve_document(nom, delai=10.0):
    fin = time.monotonic() + delai
    while True:
        for _, obj in parcours(application()):
            if obj.getRoleName().startswith("document") and obj.name == nom:
                return obj
        if time.monotonic() > fin:
            sys.exit("document « %s » absent" % nom)
        time.sleep(0.2)


def liens(doc):
    return [doc.getChildAtIndex(i) for i in range(doc.childCount)
            if doc.getChildAtIndex(i).getRole() == pyatspi.ROLE_LINK]


def document(nom):
    doc = trouve_document(nom)
    print("%s|%s|%d" % (doc.getRoleName(), doc.name, len(liens(doc))))
    for lien in liens(doc):
        action = lien.queryAction()
        noms = [action.getName(i) for i in range(action.nActions)]
        print("%s|%s|%s" % (lien.getRoleName(), lien.name, ",".join(noms)))


def ligne_du_curseur(doc):
    texte = doc.queryText()
    ligne, _, _ = texte.getTextAtOffset(texte.caretOffset, pyatspi.TEXT_BOUNDARY_LINE_START)
    return ligne.strip()


def suis(nom, nom_lien):
    doc = trouve_document(nom)
    for lien in liens(doc):
        if lien.name == nom_lien:
            action = lien.queryAction()
            noms = [action.getName(i) for i in range(action.nActions)]
            if not action.doAction(noms.index("Press")):
                sys.exit("action refusée")
            time.sleep(0.5)
            print(ligne_du_curseur(doc))
            return 0
    sys.exit("lien « %s » absent" % nom_lien)


def boite(delai):
    fin = time.monotonic() + float(delai)
    while True:
        app = application()
        for i in range(app.childCount):
            fenetre = app.getChildAtIndex(i)
            if fenetre is not None and fenetre.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) \
                    and fenetre.getState().contains(pyatspi.STATE_SHOWING):
                print("%s|%s" % (fenetre.getRoleName(), fenetre.name))
                focus = "focus|"
                for _, obj in parcours(fenetre):
                    if obj.getRole() == pyatspi.ROLE_LABEL and obj.name:
                        print("texte|%s" % obj.name.replace("\n", "\\n"))
                    if obj.getState().contains(pyatspi.STATE_FOCUSED):
                        focus = "focus|%s|%s" % (obj.getRoleName(), obj.name)
                print(focus)
                return 0
        if time.monotonic() > fin:
            sys.exit("aucune boîte en %s s" % delai)
        time.sleep(0.2)


def main():
    commande = sys.argv[1] if len(sys.argv) > 1 else ""
    if commande == "arbre":
        arbre()
    elif commande == "focus":
        print(focalise())
    elif commande == "description":
        print(description())
    elif commande == "attends-focus":
        return attends_focus(*sys.argv[2:5])
    elif commande == "evenements":
        evenements(*sys.argv[2:4])
    elif commande == "valeurs":
        valeurs(*sys.argv[2:4])
    elif commande == "document":
        document(sys.argv[2])
    elif commande == "suis":
        return suis(*sys.argv[2:4])
    elif commande == "boite":
        return boite(sys.argv[2])
    else:
        sys.exit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main())
