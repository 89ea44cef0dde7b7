#!/usr/bin/python3
# The real program's power readings from Debian's real upowerd, fed by a
# umockdev testbed with an AC adapter and a battery, and a run under the
# AC-only rule that an unplug ends. Run it under umockdev-wrapper (so that
# upowerd, started from here, sees the testbed and hears its uevents) and
# tests/linux/with_atspi (so that the window can be read):
#   with_atspi umockdev-wrapper /usr/bin/python3 upowerd_unplug.py PROGRAM
# A private system bus carries upowerd; the handset is a pseudo-terminal in a
# second testbed that only the program sees, which has no power supply in it:
# whatever the window says of the power came from upowerd.
import os
import shutil
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version('UMockdev', '1.0')
gi.require_version('Atspi', '2.0')
from gi.repository import Atspi, GLib, UMockdev  # noqa: E402

SOURCE_PREFIX = '現在の電源 '
STOPPED_ON_BATTERY = 'バッテリ稼動のため停止'


def fail(message):
    print('upowerd_unplug: ' + message, file=sys.stderr)
    sys.exit(1)


def wait_for(what, probe, seconds=20):
    """Polls `probe` until it gives something true; the program and upowerd
    answer on their own clocks, so this is the one place that waits."""
    deadline = time.monotonic() + seconds
    while True:
        got = probe()
        if got:
            return got
        if time.monotonic() > deadline:
            fail('timed out waiting for ' + what)
        time.sleep(0.1)


def start_system_bus(work):
    bus = subprocess.Popen(['dbus-daemon', '--session', '--nofork', '--nopidfile', '--print-address=1'],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    address = bus.stdout.readline().strip()
    if not address:
        fail('the private system bus did not start')
    return bus, address


def power_testbed():
    bed = UMockdev.Testbed.new()
    ac = bed.add_device('power_supply', 'AC', None, ['type', 'Mains', 'online', '1'], [])
    battery = bed.add_device('power_supply', 'BAT0', None, [
        'type', 'Battery', 'present', '1', 'status', 'Charging', 'capacity', '80',
        'energy_full', '60000000', 'energy_full_design', '60000000', 'energy_now', '48000000',
        'voltage_now', '12000000'], [])
    return bed, ac, battery


def handset_testbed():
    """A USB modem whose product is the handset's name, served by cdc_acm,
    with its /dev node a pseudo-terminal, as tests/linux/fake_machine.h has it."""
    bed = UMockdev.Testbed.new()
    root = bed.get_root_dir()
    usb = bed.add_device('usb', '1-1', None, ['product', 'KESTRA T48R'], ['DEVTYPE', 'usb_device'])
    interface = bed.add_device('usb', '1-1:1.0', usb, [], ['DEVTYPE', 'usb_interface'])
    tty = bed.add_device('tty', 'ttyACM0', interface, [], [])
    # umockdev links neither the driver nor the tty's device.
    os.makedirs(root + '/sys/bus/usb/drivers/cdc_acm')
    os.symlink('../../../bus/usb/drivers/cdc_acm', root + interface + '/driver')
    os.symlink('..', root + tty + '/device')
    master, slave = os.openpty()
    os.makedirs(root + '/dev', exist_ok=True)
    os.symlink(os.ttyname(slave), root + '/dev/ttyACM0')
    os.close(slave)
    return bed, master


def write_settings(config):
    folder = os.path.join(config, 'murrelet', 'Software', 'Quillon SoftWare', 'Gannetry')
    os.makedirs(folder)
    with open(os.path.join(folder, 'V2.0.conf'), 'w', encoding='utf-8') as f:
        f.write('sz KestraName KESTRA\\sT48R\n'
                'dword ACPowerFlag 1\n'
                'dword BatteryPowerFlag 0\n'
                'dword BatteryParcent 20\n'
                'dword SuspendDisable 0\n'
                'dword HourTimer 3\n'
                'dword MinTimer 0\n'
                'dword ShutDownFlag 0\n'
                'dword AutoCharge 0\n'
                'dword StartWithSession 0\n')


class Window:
    """The program's window as a screen reader sees it over AT-SPI."""

    def __init__(self, pid):
        self.pid = pid

    def _application(self):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            try:
                if app is not None and app.get_process_id() == self.pid:
                    return app
            except GLib.Error:
                continue
        return None

    def controls(self):
        """Every control's (role, name, value), in tree order."""
        app = self._application()
        if app is None:
            return []
        found = []

        def walk(node, depth):
            if node is None or depth > 30:
                return
            try:
                role = node.get_role_name()
                name = node.get_name() or ''
                value = node.get_current_value() if 'Value' in node.get_interfaces() else None
                found.append((role, name, value, node))
                for i in range(node.get_child_count()):
                    walk(node.get_child_at_index(i), depth + 1)
            except GLib.Error:
                return
        walk(app, 0)
        return found

    def source(self):
        for role, name, _, _ in self.controls():
            if role == 'label' and name.startswith(SOURCE_PREFIX):
                return name[len(SOURCE_PREFIX):]
        return None

    def percent(self):
        for role, _, value, _ in self.controls():
            if role == 'progress bar':
                return value
        return None

    def panel0(self):
        for role, _, _, node in self.controls():
            if role == 'status bar':
                return node.get_child_at_index(0).get_name() if node.get_child_count() > 0 else None
        return None

    def press(self, label):
        for role, name, _, node in self.controls():
            if role == 'push button' and name == label:
                if 'Action' not in node.get_interfaces() or node.get_n_actions() == 0:
                    fail('the button ' + label + ' has no action')
                node.do_action(0)
                return
        fail('no button ' + label)


def main():
    if len(sys.argv) != 2:
        fail('usage: upowerd_unplug.py PROGRAM')
    program = os.path.realpath(sys.argv[1])
    if 'libumockdev-preload' not in os.environ.get('LD_PRELOAD', ''):
        fail('run under umockdev-wrapper')
    work = tempfile.mkdtemp(prefix='murrelet-upowerd-')
    children = []
    started = time.monotonic()
    try:
        bus, system_bus = start_system_bus(work)
        children.append(bus)
        power, ac, battery = power_testbed()
        conf = os.path.join(work, 'UPower.conf')
        open(conf, 'w').close()
        os.makedirs(os.path.join(work, 'upower'))
        # The testbed's folder reaches children only through the environment
        # they are given: os.environ does not see what umockdev set.
        daemon_log = open(os.path.join(work, 'upowerd.log'), 'w')
        upowerd = subprocess.Popen(['/usr/libexec/upowerd', '-v'], stdout=daemon_log, stderr=subprocess.STDOUT,
                                   env=dict(os.environ, UMOCKDEV_DIR=power.get_root_dir(),
                                            DBUS_SYSTEM_BUS_ADDRESS=system_bus,
                                            UPOWER_HISTORY_DIR=os.path.join(work, 'upower'),
                                            UPOWER_CONF_FILE_NAME=conf))
        children.append(upowerd)

        handset, master = handset_testbed()
        # A new testbed takes umockdev's folder for this process; the power
        # testbed's uevents need it back.
        GLib.setenv('UMOCKDEV_DIR', power.get_root_dir(), True)
        config = os.path.join(work, 'config')
        runtime = os.path.join(work, 'runtime')
        os.makedirs(runtime, mode=0o700)
        write_settings(config)
        program_log = open(os.path.join(work, 'program.log'), 'w')
        murrelet = subprocess.Popen([program], stdout=program_log, stderr=subprocess.STDOUT,
                                    env=dict(os.environ, UMOCKDEV_DIR=handset.get_root_dir(),
                                             DBUS_SYSTEM_BUS_ADDRESS=system_bus, XDG_CONFIG_HOME=config,
                                             XDG_RUNTIME_DIR=runtime))
        children.append(murrelet)
        window = Window(murrelet.pid)

        source = wait_for('the window to show AC power', lambda: (window.source() or '').startswith('AC電源')
                          and window.source())
        percent = wait_for('the battery percentage', lambda: window.percent() == 80 and window.percent())
        print(f'upowerd_unplug: the window shows {source!r} and {percent:g} %')
        window.press('充電開始')
        running = wait_for('the run to start', lambda: (window.panel0() or '').startswith('充電中') and window.panel0())
        print(f'upowerd_unplug: panel 0 says {running!r}')

        unplugged = time.monotonic()
        power.set_attribute(ac, 'online', '0')
        power.set_attribute(battery, 'status', 'Discharging')
        power.uevent(ac, 'change')
        power.uevent(battery, 'change')
        wait_for(STOPPED_ON_BATTERY, lambda: window.panel0() == STOPPED_ON_BATTERY)
        wait_for('the window to show battery power', lambda: (window.source() or '').startswith('バッテリ'))
        print(f'upowerd_unplug: unplugged; panel 0 says {STOPPED_ON_BATTERY!r} after '
              f'{(time.monotonic() - unplugged) * 1000:.0f} ms, the source {window.source()!r}')
        if murrelet.poll() is not None:
            fail(f'the program ended with {murrelet.returncode}')
        os.close(master)
    except SystemExit:
        for name in ('program.log', 'upowerd.log'):
            print(f'--- {name}', file=sys.stderr)
            with open(os.path.join(work, name), errors='replace') as f:
                sys.stderr.write(f.read()[-4000:])
        raise
    finally:
        for child in reversed(children):
            child.terminate()
        for child in reversed(children):
            try:
                child.wait(10)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()
        shutil.rmtree(work, ignore_errors=True)
    print(f'upowerd_unplug: passed in {time.monotonic() - started:.1f} s')


if __name__ == '__main__':
    main()
