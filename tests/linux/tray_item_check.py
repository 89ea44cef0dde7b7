#!/usr/bin/python3
"""The real program's notification-area icon over D-Bus, on a private session
bus and display: this script serves org.kde.StatusNotifierWatcher with a
registered host, as a panel does, and reads what the program's
StatusNotifierItem offers: its Status, its ToolTip, its menu
(com.canonical.dbusmenu) and what the menu's items do.

  tray_item_check.py PROGRAM WORK_FOLDER    (run under dbus-run-session and xvfb-run)

The watcher runs in a process of its own (this script with --watcher), as a
panel's does: the program asks it things while this script waits on the
program.
"""
import os
import shutil
import subprocess
import sys
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # A path alone names an object of the caller's connection.
        self.items.append((sender, service if not service.startswith("/") else sender))
        self.StatusNotifierItemRegistered(service)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    # Qt reads the watcher's properties through their introspection, which
    # dbus-python does not write: this is what a panel's watcher says.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
    def Introspect(self):
        return """<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
    <signal name="StatusNotifierHostUnregistered"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
    <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
  </interface>
</node>"""

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array([s for _, s in self.items], signature="s"),
            "IsStatusNotifierHostRegistered": True,
            "ProtocolVersion": dbus.Int32(0),
        }


def fail(message, log=None):
    print("FAIL:", message)
    if log and os.path.exists(log):
        print(open(log, encoding="utf-8", errors="replace").read())
    sys.exit(1)


def pump(seconds, done):
    """Asks done() until it holds or the time is up; returns done()."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if done():
            return True
        time.sleep(0.05)
    return done()


def write_store(config, tray_icon):
    folder = os.path.join(config, "murrelet", "Software", "Quillon SoftWare", "Gannetry")
    os.makedirs(folder, exist_ok=True)
    values = {"ACPowerFlag": 0, "BatteryPowerFlag": 0, "BatteryParcent": 30, "SuspendDisable": 1,
              "HourTimer": 0, "MinTimer": 0, "ShutDownFlag": 0, "AutoCharge": 0, "StartWithSession": 0,
              "TrayIcon": tray_icon}
    path = os.path.join(folder, "V2.0.conf")
    with open(path, "w", encoding="utf-8") as f:
        f.write("sz KestraName KESTRA\\sT48R\n")
        for name, value in values.items():
            f.write(f"dword {name} {value}\n")
    return path


def menu_items(bus, service, path):
    menu = dbus.Interface(bus.get_object(service, path), MENU)
    _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"))
    items = []
    for child in layout[2]:
        ident, props, _ = child
        if props.get("type", "standard") == "separator":
            continue
        items.append((int(ident), str(props.get("label", "")), bool(props.get("enabled", True))))
    return menu, items


def window_map_state(title):
    out = subprocess.run(["xwininfo", "-name", title], capture_output=True, text=True).stdout
    for line in out.splitlines():
        if "Map State:" in line:
            return line.split(":", 1)[1].strip()
    return "none"


def serve_watcher():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus)
    name = dbus.service.BusName(WATCHER, bus)
    loop = GLib.MainLoop()
    loop.run()
    del name, watcher


def main():
    if sys.argv[1] == "--watcher":
        serve_watcher()
        return
    program, work = sys.argv[1], os.path.realpath(sys.argv[2])
    shutil.rmtree(work, ignore_errors=True)
    config = os.path.join(work, "config")
    runtime = os.path.join(work, "runtime")
    os.makedirs(config)
    os.makedirs(runtime, mode=0o700)
    store = write_store(config, 1)
    log = os.path.join(work, "program.log")

    bus = dbus.SessionBus()
    watcher_process = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--watcher"])
    if not pump(10, lambda: bus.name_has_owner(WATCHER)):
        fail("the watcher did not start")
    watcher = dbus.Interface(bus.get_object(WATCHER, "/StatusNotifierWatcher"), dbus.PROPERTIES_IFACE)

    def items():
        return [str(s) for s in watcher.Get(WATCHER, "RegisteredStatusNotifierItems")]

    env = dict(os.environ, XDG_CONFIG_HOME=config, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb",
               DBUS_SYSTEM_BUS_ADDRESS="unix:path=" + os.path.join(work, "no-bus"))
    env.pop("XDG_CURRENT_DESKTOP", None)
    env.setdefault("QT_LOGGING_RULES", "qt.qpa.tray*=true")

    # A start at log-in: the icon stands, the window stays hidden behind it.
    with open(log, "w") as out:
        proc = subprocess.Popen([program, "--session-start"], env=env, stdout=out, stderr=subprocess.STDOUT)
    try:
        if not pump(20, items):
            fail("the program registered no StatusNotifierItem", log)
        service = sender = items()[0]
        item = bus.get_object(service, "/StatusNotifierItem")
        props = dbus.Interface(item, dbus.PROPERTIES_IFACE)
        # The first tick writes panel 0: no handset is connected here.
        expected_tip = "KESTRA T48Rが接続されていません。"
        pump(5, lambda: expected_tip in str(props.Get(ITEM, "ToolTip")[3]))
        every = props.GetAll(ITEM)
        tooltip = every["ToolTip"]
        print("Status:", every["Status"])
        print("ToolTip title:", repr(str(tooltip[2])), "text:", repr(str(tooltip[3])))
        if every["Status"] != "Active":
            fail("the item's Status is " + str(every["Status"]))
        tip = (str(tooltip[2]) + "\n" + str(tooltip[3])).strip()
        if not tip.startswith("Murrelet") or expected_tip not in tip:
            fail("the tooltip does not read Murrelet and panel 0: " + repr(tip))
        state = window_map_state("Murrelet Ver2.0")
        print("window after the log-in start:", state)
        if state == "IsViewable":
            fail("a start at log-in behind the icon showed the window")

        menu, items = menu_items(bus, service, every["Menu"])
        print("menu:", [(label, enabled) for _, label, enabled in items])
        labels = [label for _, label, _ in items]
        if labels != ["充電開始", "充電停止", "環境設定", "終了"]:
            fail("the menu holds " + repr(labels))
        enabled = {label: on for _, label, on in items}
        # No handset: the start button is disabled, and so is its item.
        if enabled != {"充電開始": False, "充電停止": False, "環境設定": True, "終了": True}:
            fail("the menu's enabled states are " + repr(enabled))

        # Activating the icon shows the window.
        dbus.Interface(item, ITEM).Activate(0, 0)
        if not pump(5, lambda: window_map_state("Murrelet Ver2.0") == "IsViewable"):
            fail("activating the icon did not show the window", log)
        print("window after Activate:", window_map_state("Murrelet Ver2.0"))

        # "終了" ends the program as the close box does.
        ident = [i for i, label, _ in items if label == "終了"][0]
        menu.Event(ident, "clicked", dbus.String("", variant_level=1), dbus.UInt32(0))
        try:
            code = proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            fail("the program did not end after 終了", log)
        if code != 0:
            fail("the program ended with %d" % code, log)
        gone = not bus.name_has_owner(sender)
        print("after 終了: exit code", code, "item gone:", gone)
        if not gone:
            fail("the item stayed on the bus after the program ended")
        text = open(store, encoding="utf-8").read()
        if "dword TrayIcon 1\n" not in text:
            fail("the close did not write TrayIcon:\n" + text)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        watcher_process.kill()
        watcher_process.wait()
    print("the icon stands on the StatusNotifier host, reads the run, and its menu acts")


if __name__ == "__main__":
    main()
