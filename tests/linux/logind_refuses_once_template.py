'''python-dbusmock template: logind whose first Inhibit call is refused, as
a daemon that answers too slowly once; every later call is the stock
template's.
'''
import dbus

from dbusmock.templates import logind
from dbusmock.templates.logind import BUS_NAME, MAIN_OBJ, MAIN_IFACE, SYSTEM_BUS  # noqa: F401
from dbusmock.templates.logind import ListInhibitors  # noqa: F401

_refused = []


def load(mock, parameters):
    logind.load(mock, parameters)


@dbus.service.method(MAIN_IFACE, in_signature='ssss', out_signature='h')
def Inhibit(self, what, who, why, mode):
    if not _refused:
        _refused.append(what)
        raise dbus.exceptions.DBusException('no answer in time', name='org.freedesktop.DBus.Error.NoReply')
    return logind.Inhibit(self, what, who, why, mode)
