'''python-dbusmock template: the org.freedesktop.PowerManagement inhibitor
that KDE Plasma's and Xfce's power managers serve on the session bus.

Inhibit hands out a new cookie; UnInhibit takes a cookie back (an unknown one
is an error); HasInhibit says whether any cookie is out.
'''
BUS_NAME = 'org.freedesktop.PowerManagement'
MAIN_OBJ = '/org/freedesktop/PowerManagement/Inhibit'
MAIN_IFACE = 'org.freedesktop.PowerManagement.Inhibit'
SYSTEM_BUS = False


def load(mock, parameters):
    mock.cookies = set()
    mock.next_cookie = 1
    mock.AddMethods(MAIN_IFACE, [
        ('Inhibit', 'ss', 'u',
         'ret = self.next_cookie\n'
         'self.next_cookie += 1\n'
         'self.cookies.add(ret)'),
        ('UnInhibit', 'u', '',
         'if args[0] not in self.cookies:\n'
         '    raise dbus.exceptions.DBusException("unknown cookie", name="org.freedesktop.PowerManagement.Inhibit.Error")\n'
         'self.cookies.discard(args[0])'),
        ('HasInhibit', '', 'b', 'ret = len(self.cookies) > 0'),
    ])
