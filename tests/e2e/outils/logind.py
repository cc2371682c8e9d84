#!/usr/bin/python3
"""Tient la place de logind sur un bus du système d'essai : prend org.freedesktop.login1, écrit
« prêt », puis émet PrepareForSleep pour chaque ligne « true » ou « false » lue, et l'écrit."""
import sys

from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SYSTEM, None)
if Gio.bus_own_name_on_connection(bus, "org.freedesktop.login1", Gio.BusNameOwnerFlags.NONE, None, None) == 0:
    sys.exit("nom refusé")
print("prêt", flush=True)
for ligne in sys.stdin:
    bus.emit_signal(None, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
                    GLib.Variant("(b)", (ligne.strip() == "true",)))
    bus.flush_sync(None)
    print("PrepareForSleep", ligne.strip(), flush=True)
