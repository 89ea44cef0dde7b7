'''python-dbusmock template: a desktop portal that offers only Inhibit.

Inhibit answers one request object; closing that object ends the inhibition.
'''
import dbus

BUS_NAME = 'org.freedesktop.portal.Desktop'
MAIN_OBJ = '/org/freedesktop/portal/desktop'
MAIN_IFACE = 'org.freedesktop.portal.Inhibit'
SYSTEM_BUS = False

REQUEST = '/org/freedesktop/portal/desktop/request/1_1/murrelet'


def load(mock, parameters):
    mock.AddObject(REQUEST, 'org.freedesktop.portal.Request', {}, [('Close', '', '', '')])
    mock.AddMethods(MAIN_IFACE, [('Inhibit', 'sua{sv}', 'o', 'ret = dbus.ObjectPath("%s")' % REQUEST)])
