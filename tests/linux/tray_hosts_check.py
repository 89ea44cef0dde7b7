#!/usr/bin/python3
"""The real program's notification-area icon on real notification hosts, each
on a private display, session bus and AT-SPI bus, with openbox as the window
manager. The settings dialog's icon box is read as a screen reader reads it.

  tray_hosts_check.py xembed PROGRAM WORK_FOLDER
      trayer, an XEmbed tray, and no StatusNotifierWatcher: the program starts
      before the tray (its box disabled, with its description), then docks
      its icon into the tray that came late (its box enabled); minimising
      hides the window behind the icon, a click on the docked icon brings it
      back; the tray quitting brings a hidden window back, the tray restarted
      takes the icon again.
  tray_hosts_check.py sni PROGRAM WORK_FOLDER   (inside with_fake_handset ... pty)
      xfce4-panel with only its status tray, a StatusNotifier host and watcher:
      the program's item is registered and painted in the panel, idle and
      during a run started from the window; the panel quitting brings a hidden
      window back; an XEmbed tray that comes instead cannot hold an icon that
      Qt serves over D-Bus, so minimising leaves the window minimised, not
      hidden; the panel restarted takes the item again.

The screens go to $MURRELET_SHOTS_DIR (else the work folder):
linux-tray-icon.png and linux-tray-icon-charging.png.
"""
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import time

MAIN_TITLE = "Murrelet Ver2.0"
BOX_NAME = "通知領域にアイコンを表示する。"
NO_AREA = "このデスクトップには通知領域がないため、アイコンを表示できません。"
WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"

processes = []
work = ""


def fail(message):
    print("FAIL:", message)
    for name in sorted(os.listdir(work)):
        if name.endswith(".log"):
            print(f"--- {name}")
            print("".join(open(os.path.join(work, name), errors="replace").readlines()[-25:]))
    sys.exit(1)


def wait_for(seconds, done):
    """Asks done() until it holds or the time is up; returns its last answer."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        answer = done()
        if answer:
            return answer
        time.sleep(0.05)
    return done()


def die_with_this_script():
    # A test killed at its timeout leaves no server, panel or tray behind.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def start(name, args, **kw):
    log = open(os.path.join(work, name + ".log"), "w")
    proc = subprocess.Popen(args, stdout=log, stderr=subprocess.STDOUT, preexec_fn=die_with_this_script, **kw)
    processes.append(proc)
    return proc


def stop(proc):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def run(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout


def write_store(config, auto_charge):
    folder = os.path.join(config, "murrelet", "Software", "Quillon SoftWare", "Gannetry")
    os.makedirs(folder, exist_ok=True)
    values = {"ACPowerFlag": 0, "BatteryPowerFlag": 0, "BatteryParcent": 30, "SuspendDisable": 1,
              "HourTimer": 1, "MinTimer": 0, "ShutDownFlag": 0, "AutoCharge": auto_charge, "StartWithSession": 0,
              "TrayIcon": 1}
    with open(os.path.join(folder, "V2.0.conf"), "w", encoding="utf-8") as f:
        f.write("sz KestraName KESTRA\\sT48R\n")
        for name, value in values.items():
            f.write(f"dword {name} {value}\n")


def desktop():
    """A display, a session bus whose services (xfconfd, the AT-SPI bus)
    start in this work folder, openbox and the AT-SPI bus launcher."""
    read, write = os.pipe()
    start("xvfb", ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
          pass_fds=[write])
    os.close(write)
    with os.fdopen(read) as displayfd:
        display = displayfd.readline().strip()
    if not display:
        fail("Xvfb did not start")
    os.environ["DISPLAY"] = ":" + display
    read, write = os.pipe()
    start("bus", ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=%d" % write],
          pass_fds=[write])
    os.close(write)
    with os.fdopen(read) as busfd:
        address = busfd.readline().strip()
    if not address:
        fail("dbus-daemon did not start")
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
    start("openbox", ["openbox", "--sm-disable"])
    if not wait_for(10, lambda: "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")):
        fail("openbox did not start")
    start("atspi", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    if not wait_for(10, lambda: "unix:" in run("xprop", "-root", "AT_SPI_BUS")):
        fail("no AT-SPI bus")


def start_program(program):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               DBUS_SYSTEM_BUS_ADDRESS="unix:path=" + os.path.join(work, "no-bus"),
               QT_LOGGING_RULES="qt.qpa.tray*=true")
    env.pop("XDG_CURRENT_DESKTOP", None)
    env.pop("SESSION_MANAGER", None)
    proc = start("program", [program], env=env)
    main = wait_for(20, lambda: window_id(MAIN_TITLE))
    if not main:
        fail("no main window")
    if not wait_for(10, lambda: map_state(main) == "IsViewable"):
        fail("the main window is not in view")
    return proc, main


def window_id(title, under=None):
    args = ["xwininfo", "-tree"] + (["-id", under] if under else ["-root"])
    for line in run(*args).splitlines():
        words = line.split(None, 1)
        if len(words) == 2 and words[1].startswith(f'"{title}": ("murrelet"'):
            return words[0]
    return None


def map_state(window):
    if not window:
        return "none"  # (xwininfo with no window waits for a click on one)
    for line in run("xwininfo", "-id", window).splitlines():
        if "Map State:" in line:
            return line.split(":", 1)[1].strip()
    return "none"


def wm_state(window):
    """Normal, Iconic, or Withdrawn when the window manager lets it go."""
    out = run("xprop", "-id", window, "WM_STATE")
    return out.split("window state:", 1)[1].split()[0] if "window state:" in out else "Withdrawn"


def minimise(main):
    run("xdotool", "windowminimize", main)


def atspi_app(pid):
    import pyatspi
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def atspi_find(node, name, role):
    if node.name == name and node.getRole() == role:
        return node
    for child in node:
        if child is not None:
            found = atspi_find(child, name, role)
            if found is not None:
                return found
    return None


def press(pid, name):
    import pyatspi
    app = wait_for(10, lambda: atspi_app(pid))
    control = app and wait_for(5, lambda: atspi_find(app, name, pyatspi.ROLE_PUSH_BUTTON))
    if not control:
        fail(f"no button {name!r} over AT-SPI")
    action = control.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))


def icon_box(pid):
    """The settings dialog's icon box as a screen reader finds it: opened
    with the window's settings button, closed with its cancel button."""
    import pyatspi
    press(pid, "環境設定")
    if not wait_for(10, lambda: map_state(window_id("環境設定")) == "IsViewable"):
        fail("the settings dialog did not open")
    app = atspi_app(pid)
    box = wait_for(10, lambda: atspi_find(app, BOX_NAME, pyatspi.ROLE_CHECK_BOX))
    if not box:
        fail("the settings dialog shows no icon box")
    states = box.getState()
    seen = (states.contains(pyatspi.STATE_ENABLED), box.description)
    press(pid, "ｷｬﾝｾﾙ")
    if not wait_for(5, lambda: map_state(window_id("環境設定")) != "IsViewable"):
        fail("the settings dialog did not close")
    return seen


def expect_box(pid, enabled, when):
    seen = icon_box(pid)
    print(f"{when}: icon box enabled {seen[0]}, description {seen[1]!r}")
    if seen != (enabled, "" if enabled else NO_AREA):
        fail(f"{when}: the icon box is {seen}")


def host_quits_while_hidden(main, host, name):
    """The host quits while the window hides behind the icon: it comes back."""
    minimise(main)
    if not wait_for(5, lambda: wm_state(main) == "Withdrawn"):
        fail("the window did not hide a second time")
    stop(host)
    t0 = time.monotonic()
    if not wait_for(10, lambda: map_state(main) == "IsViewable"):
        fail("the %s quit and the window stayed hidden" % name)
    print("%s quit: the window back after %.2f s" % (name, time.monotonic() - t0))


def hidden_then_back(main, show, when):
    """Minimised behind the icon the window is hidden; show() brings it back."""
    minimise(main)
    if not wait_for(5, lambda: map_state(main) != "IsViewable" and wm_state(main) == "Withdrawn"):
        fail(f"{when}: minimising did not hide the window behind the icon: {wm_state(main)}")
    show()
    if not wait_for(5, lambda: map_state(main) == "IsViewable"):
        fail(f"{when}: the window did not come back from the icon")


def shots_dir():
    folder = os.environ.get("MURRELET_SHOTS_DIR") or work
    os.makedirs(folder, exist_ok=True)
    return folder


def crop_shot(name, geometry):
    path = os.path.join(shots_dir(), name)
    whole = os.path.join(work, "screen.png")
    subprocess.run(["import", "-window", "root", whole], check=True)
    subprocess.run(["convert", whole, "-crop", geometry, "+repage", path], check=True)
    return path


def colours(geometry):
    """How many colours the screen has in this area: one for an empty panel."""
    whole = os.path.join(work, "area.png")
    subprocess.run(["import", "-window", "root", whole], check=True)
    out = run("convert", whole, "-crop", geometry, "+repage", "-format", "%k", "info:")
    return int(out.strip() or 0)


# XEmbed: trayer.

def trayer():
    proc = start("trayer", ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                            "--height", "32", "--SetDockType", "true", "--transparent", "false"])
    return proc


def tray_panel():
    for line in run("xwininfo", "-root", "-tree").splitlines():
        words = line.split(None, 1)
        if len(words) == 2 and words[1].startswith('"panel": ("panel" "trayer")'):
            return words[0]
    return None


def docked_icon():
    """The program's icon window inside trayer's panel, if it is docked."""
    panel = tray_panel()
    return panel and window_id("Murrelet", under=panel)


def check_xembed(program):
    write_store(os.path.join(work, "config"), 0)
    proc, main = start_program(program)
    # No tray when the program starts: the box says why it cannot be ticked.
    expect_box(proc.pid, False, "no tray")
    hidden = [None]

    tray = trayer()
    t0 = time.monotonic()
    icon = wait_for(10, docked_icon)
    if not icon:
        fail("the icon did not dock into the tray that came after the program")
    print("icon docked into the late tray after %.2f s: %s in %s" % (time.monotonic() - t0, icon, tray_panel()))
    expect_box(proc.pid, True, "trayer")

    def click():
        run("xdotool", "mousemove", "--window", docked_icon(), "8", "8", "click", "1")

    hidden_then_back(main, click, "trayer")
    if not docked_icon():
        fail("the icon left the tray")

    host_quits_while_hidden(main, tray, "tray")
    expect_box(proc.pid, False, "tray gone")

    tray = trayer()
    t0 = time.monotonic()
    if not wait_for(10, docked_icon):
        fail("the icon did not dock into the restarted tray")
    print("tray restarted: the icon docked after %.2f s" % (time.monotonic() - t0))
    hidden_then_back(main, click, "trayer restarted")
    sys.stdout.flush()
    stop(proc)
    if proc.returncode != 0:
        fail("the program ended with %d" % proc.returncode)
    print("the icon docks into trayer, late or restarted, and the window is never hidden without it")


# StatusNotifier: xfce4-panel's status tray.

PANEL_CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="dark-mode" type="bool" value="false"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="icon-size" type="uint" value="22"/>
      <property name="size" type="uint" value="30"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray">
      <property name="square-icons" type="bool" value="true"/>
    </property>
  </property>
</channel>
"""
PANEL_STRIP = "120x30+0+0"


def xfce_panel():
    # The panel is no client of the AT-SPI bus: only the program is read there.
    proc = start("panel", ["xfce4-panel", "--disable-wm-check"], env=dict(os.environ, NO_AT_BRIDGE="1"))
    return proc


def watcher_get(name):
    import dbus
    try:
        bus = dbus.SessionBus()
        watcher = bus.get_object(WATCHER, "/StatusNotifierWatcher")
        return watcher.Get(WATCHER, name, dbus_interface=dbus.PROPERTIES_IFACE)
    except dbus.exceptions.DBusException:
        return None


def program_items(pid):
    import dbus
    bus = dbus.SessionBus()
    found = []
    for item in watcher_get("RegisteredStatusNotifierItems") or []:
        service = str(item).split("/", 1)[0]
        try:
            daemon = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
            if daemon.GetConnectionUnixProcessID(service, dbus_interface="org.freedesktop.DBus") == pid:
                found.append(str(item))
        except dbus.exceptions.DBusException:
            pass
    return found


def item_icon(item):
    import dbus
    service, path = str(item).split("/", 1)
    props = dbus.Interface(dbus.SessionBus().get_object(service, "/" + path), dbus.PROPERTIES_IFACE)
    return bytes(b"".join(bytes(p[2]) for p in props.Get(ITEM, "IconPixmap")))


def check_sni(program):
    config = os.path.join(work, "config")
    channel = os.path.join(config, "xfce4", "xfconf", "xfce-perchannel-xml")
    os.makedirs(channel)
    with open(os.path.join(channel, "xfce4-panel.xml"), "w") as f:
        f.write(PANEL_CONFIG)
    write_store(config, 0)
    panel = xfce_panel()
    if not wait_for(20, lambda: bool(watcher_get("IsStatusNotifierHostRegistered"))):
        fail("xfce4-panel's status tray registered no StatusNotifier host")
    empty = colours(PANEL_STRIP)
    proc, main = start_program(program)
    items = wait_for(20, lambda: program_items(proc.pid))
    if not items:
        fail("the program registered no item with the panel's watcher: %s"
             % watcher_get("RegisteredStatusNotifierItems"))
    print("registered with the panel's watcher:", items)
    if not wait_for(10, lambda: colours(PANEL_STRIP) > empty + 8):
        fail("no icon painted in the panel (%d colours, %d when empty)" % (colours(PANEL_STRIP), empty))
    print("panel strip: %d colours before the program, %d with its icon" % (empty, colours(PANEL_STRIP)))
    expect_box(proc.pid, True, "xfce4-panel")

    # The window beside the panel for the screens.
    run("xdotool", "windowmove", main, "60", "50")
    wait_for(5, lambda: "Position: 60,50" in run("xdotool", "getwindowgeometry", main) or None)
    time.sleep(0.5)  # the frame and the icon drawn
    print("screen:", crop_shot("linux-tray-icon.png", "400x290+0+0"))

    idle = item_icon(items[0])
    press(proc.pid, "充電開始")
    if not wait_for(10, lambda: item_icon(items[0]) != idle):
        fail("the item's icon did not change for the run")
    time.sleep(0.5)
    print("screen during the run:", crop_shot("linux-tray-icon-charging.png", "400x290+0+0"))
    press(proc.pid, "充電停止")
    if not wait_for(10, lambda: item_icon(items[0]) == idle):
        fail("the item's icon did not come back after the run")

    def activate():
        import dbus
        service, path = items[0].split("/", 1)
        dbus.Interface(dbus.SessionBus().get_object(service, "/" + path), ITEM).Activate(0, 0)

    hidden_then_back(main, activate, "xfce4-panel")

    host_quits_while_hidden(main, panel, "panel")

    # An XEmbed tray instead: no place for an icon served over D-Bus.
    tray = trayer()
    if not wait_for(10, tray_panel):
        fail("trayer did not start")
    time.sleep(2.5)  # two ticks: the program has looked at the new tray
    minimise(main)
    if not wait_for(5, lambda: wm_state(main) == "Iconic"):
        fail("behind an XEmbed tray the window is %s, not minimised" % wm_state(main))
    time.sleep(1)
    if wm_state(main) != "Iconic" or docked_icon():
        fail("the window is %s, the icon docked: %s" % (wm_state(main), docked_icon()))
    print("trayer instead of the panel: the window minimised, not hidden")
    expect_box(proc.pid, False, "trayer after the panel")
    stop(tray)
    run("xdotool", "windowactivate", main)
    if not wait_for(5, lambda: map_state(main) == "IsViewable"):
        fail("the minimised window did not come back")

    panel = xfce_panel()
    t0 = time.monotonic()
    if not wait_for(20, lambda: program_items(proc.pid)):
        fail("the item did not register with the restarted panel")
    print("panel restarted: the item registered after %.2f s" % (time.monotonic() - t0))
    items = program_items(proc.pid)
    hidden_then_back(main, activate, "xfce4-panel restarted")
    sys.stdout.flush()
    stop(proc)
    if proc.returncode != 0:
        fail("the program ended with %d" % proc.returncode)
    print("the item stands in xfce4-panel, follows the run, and the window is never hidden without it")


def main():
    global work
    mode, program, work = sys.argv[1], sys.argv[2], os.path.realpath(sys.argv[3])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "config"))
    os.makedirs(os.path.join(work, "runtime"), mode=0o700)
    os.environ.update(HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"),
                      XDG_RUNTIME_DIR=os.path.join(work, "runtime"), LANG="C.UTF-8")
    for name in ("XDG_CURRENT_DESKTOP", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY"):
        os.environ.pop(name, None)
    t0 = time.monotonic()
    try:
        desktop()
        {"xembed": check_xembed, "sni": check_sni}[mode](program)
    finally:
        for proc in reversed(processes):
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
        for proc in reversed(processes):
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
    print("%s: %.1f s" % (mode, time.monotonic() - t0))


if __name__ == "__main__":
    main()
