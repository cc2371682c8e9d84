#!/usr/bin/python3
"""Le serveur de notifications de KDE Plasma 5.27 réduit à son interrupteur « Ne pas déranger » :
org.freedesktop.Notifications sur le bus de session, avec Inhibit et UnInhibit, la propriété
Inhibited et son signal PropertiesChanged. Plasma ne tourne pas sans son bureau ; les tests le
remplacent par celui-ci.
"""
import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

INTERFACE = "org.freedesktop.Notifications"


class Notifications(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.inhibitions = {}
        self.suivante = 1

    def inhibe(self):
        return dbus.Boolean(bool(self.inhibitions))

    def change(self, avant):
        if self.inhibe() != avant:
            self.PropertiesChanged(INTERFACE, {"Inhibited": self.inhibe()}, [])

    @dbus.service.method(INTERFACE, in_signature="ssa{sv}", out_signature="u")
    def Inhibit(self, application, raison, indications):
        avant = self.inhibe()
        cle = self.suivante
        self.suivante += 1
        self.inhibitions[cle] = (application, raison)
        self.change(avant)
        return cle

    @dbus.service.method(INTERFACE, in_signature="u")
    def UnInhibit(self, cle):
        avant = self.inhibe()
        self.inhibitions.pop(int(cle), None)
        self.change(avant)

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, nom):
        if interface == INTERFACE and nom == "Inhibited":
            return self.inhibe()
        raise dbus.exceptions.DBusException("propriété inconnue : " + nom,
                                            name="org.freedesktop.DBus.Error.UnknownProperty")

    @dbus.service.signal(dbus.PROPERTIES_IFACE, signature="sa{sv}as")
    def PropertiesChanged(self, interface, changees, invalidees):
        pass


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
serveur = Notifications(bus)
nom = dbus.service.BusName(INTERFACE, bus, do_not_queue=True)
GLib.MainLoop().run()
