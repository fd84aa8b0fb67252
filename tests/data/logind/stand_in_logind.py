#!/usr/bin/python3
"""A stand-in for logind on a private bus, for the tests.

Usage: stand_in_logind.py BUS_ADDRESS accept|refuse LOG_FILE

Owns org.freedesktop.login1 and answers Manager.PowerOff and Manager.Reboot: each call is
appended to LOG_FILE ("PowerOff interactive=True"), then accepted or refused with
org.freedesktop.DBus.Error.AccessDenied. SIGUSR1 makes it announce PrepareForShutdown(true).
LOG_FILE.ready appears once the name is owned.
"""
import signal
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

MANAGER = "org.freedesktop.login1.Manager"


class Manager(dbus.service.Object):
    def __init__(self, bus, mode, log):
        super().__init__(bus, "/org/freedesktop/login1")
        self.mode = mode
        self.log = log

    def _request(self, what, interactive):
        with open(self.log, "a") as f:
            f.write(f"{what} interactive={bool(interactive)}\n")
        if self.mode == "refuse":
            raise dbus.exceptions.DBusException(
                "Operation not permitted by the stand-in",
                name="org.freedesktop.DBus.Error.AccessDenied")

    @dbus.service.method(MANAGER, in_signature="b")
    def PowerOff(self, interactive):
        self._request("PowerOff", interactive)

    @dbus.service.method(MANAGER, in_signature="b")
    def Reboot(self, interactive):
        self._request("Reboot", interactive)

    @dbus.service.signal(MANAGER, signature="b")
    def PrepareForShutdown(self, start):
        pass

    @dbus.service.signal(MANAGER, signature="b")
    def PrepareForSleep(self, start):
        pass


def main():
    address, mode, log = sys.argv[1], sys.argv[2], sys.argv[3]
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(address)
    manager = Manager(bus, mode, log)
    name = dbus.service.BusName("org.freedesktop.login1", bus)  # noqa: F841 (kept while running)

    def announce():
        manager.PrepareForShutdown(True)
        return True

    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, announce)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, lambda: loop.quit() or False)
    open(log + ".ready", "w").close()
    loop = GLib.MainLoop()
    loop.run()


if __name__ == "__main__":
    main()
