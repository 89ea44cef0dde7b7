#!/usr/bin/python3
"""Works a running program's controls as an assistive technology does, over AT-SPI.

    atspi_act.py PID toggle NAME       the action "Toggle" of the check box NAME
    atspi_act.py PID value NAME NUMBER  the Value interface's current value of NAME

NAME is the accessible name a screen reader says. Exits 0 when every control
was found and acted on.
"""
import sys

import pyatspi


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid:
            return app
    raise SystemExit(f"no application with process {pid} on the AT-SPI bus")


def find(node, name):
    if node.name == name and node.getRole() != pyatspi.ROLE_LABEL:
        return node
    for child in node:
        if child is None:
            continue
        found = find(child, name)
        if found is not None:
            return found
    return None


def main(argv):
    pid, commands = int(argv[1]), argv[2:]
    app = application(pid)
    while commands:
        verb, name = commands[0], commands[1]
        control = find(app, name)
        if control is None:
            raise SystemExit(f"no control named {name!r}")
        if verb == "toggle":
            action = control.queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            if "Toggle" not in names:
                raise SystemExit(f"{name!r} has no Toggle action, only {names}")
            action.doAction(names.index("Toggle"))
            commands = commands[2:]
        elif verb == "value":
            control.queryValue().currentValue = float(commands[2])
            commands = commands[3:]
        else:
            raise SystemExit(f"unknown command {verb}")


if __name__ == "__main__":
    main(sys.argv)
