#!/usr/bin/python3
# A polkit authentication agent for the end-to-end test: no dialog, no
# password. It registers for one process (the one that will run pkexec),
# creates READY_FILE, and then answers every request the same way:
#   allow    report that root has authenticated (polkitd accepts that answer
#            only from root, so this agent runs as root)
#   dismiss  report that the user closed the dialog
# Usage: test_agent.py allow|dismiss PID READY_FILE
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

answer, pid, ready = sys.argv[1], int(sys.argv[2]), sys.argv[3]
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SystemBus()
authority = dbus.Interface(
    bus.get_object("org.freedesktop.PolicyKit1", "/org/freedesktop/PolicyKit1/Authority"),
    "org.freedesktop.PolicyKit1.Authority")
AGENT = "org.freedesktop.PolicyKit1.AuthenticationAgent"


class Agent(dbus.service.Object):
    @dbus.service.method(AGENT, in_signature="sssa{ss}sa(sa{sv})", out_signature="")
    def BeginAuthentication(self, action_id, message, icon_name, details, cookie, identities):
        print(f"test agent: {answer} for {action_id}: {message}", flush=True)
        if answer == "dismiss":
            raise dbus.exceptions.DBusException(
                "dismissed", name="org.freedesktop.PolicyKit1.Error.Cancelled")
        root = ("unix-user", {"uid": dbus.UInt32(0, variant_level=1)})
        authority.AuthenticationAgentResponse2(dbus.UInt32(0), cookie, root)

    @dbus.service.method(AGENT, in_signature="s", out_signature="")
    def CancelAuthentication(self, cookie):
        pass


# polkit names a process by its id and its start time (field 22 of stat).
with open(f"/proc/{pid}/stat") as stat:
    start_time = int(stat.read().rsplit(")", 1)[1].split()[19])
subject = ("unix-process", {"pid": dbus.UInt32(pid, variant_level=1),
                            "start-time": dbus.UInt64(start_time, variant_level=1)})
agent = Agent(bus, "/example/hushgate/TestAgent")
authority.RegisterAuthenticationAgent(subject, "C", "/example/hushgate/TestAgent")
open(ready, "w").close()
GLib.MainLoop().run()
