'''python-dbusmock template: the org.freedesktop.PowerManagement inhibitor of a
manager that is slow to answer. Inhibit answers only when told: Answer() on
the mock interface sends each held-back question its cookie and says how many
there were, and Waiting() how many wait; with the parameter {"delay": SECONDS} each answers by itself after
that long. UnInhibit takes a cookie back; HasInhibit says whether any is out.
'''
import dbus
from gi.repository import GLib

BUS_NAME = 'org.freedesktop.PowerManagement'
MAIN_OBJ = '/org/freedesktop/PowerManagement/Inhibit'
MAIN_IFACE = 'org.freedesktop.PowerManagement.Inhibit'
SYSTEM_BUS = False

_held = []
_cookies = set()
_next = [1]
_delay = [None]


def load(mock, parameters):
    _delay[0] = parameters.get('delay')


def _grant(reply):
    cookie = _next[0]
    _next[0] += 1
    _cookies.add(cookie)
    reply(dbus.UInt32(cookie))
    return False


@dbus.service.method(MAIN_IFACE, in_signature='ss', out_signature='u', async_callbacks=('reply', 'error'))
def Inhibit(self, application, reason, reply, error):
    if _delay[0] is not None:
        GLib.timeout_add(int(_delay[0] * 1000), _grant, reply)
    else:
        _held.append(reply)


@dbus.service.method(MAIN_IFACE, in_signature='u', out_signature='')
def UnInhibit(self, cookie):
    _cookies.discard(cookie)


@dbus.service.method(MAIN_IFACE, in_signature='', out_signature='b')
def HasInhibit(self):
    return len(_cookies) > 0


@dbus.service.method('org.freedesktop.DBus.Mock', in_signature='', out_signature='u')
def Answer(self):
    held = list(_held)
    _held.clear()
    for reply in held:
        _grant(reply)
    return len(held)


@dbus.service.method('org.freedesktop.DBus.Mock', in_signature='', out_signature='u')
def Waiting(self):
    return len(_held)
