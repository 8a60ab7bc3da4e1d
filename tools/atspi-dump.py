#!/usr/bin/python3
"""Prints the accessibility tree of the running Vantor as a screen reader gets it over
AT-SPI: one node a line, indented by depth, with its role and name (and description, when
it has one). Nodes that are not on screen are marked, so an open panel can be told from one
that is only built.

Needs the session's accessibility bus and, for Qt to join it, either a desktop with
accessibility on or QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 in Vantor's environment. Debian
packages: python3-gi, gir1.2-atspi-2.0.

    python3 tools/atspi-dump.py            # Vantor's tree
    python3 tools/atspi-dump.py --list     # the applications on the bus
"""
import argparse
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# A tree deeper than this is a loop in what the application reports, not a window.
MAX_DEPTH = 64
# Milliseconds a hung application may take per call, before a node is given up.
CALL_TIMEOUT_MS = 2000


def text_of(call):
    try:
        return call() or ""
    except GLib.Error as error:
        return f"<{error.message}>"


def describe(node):
    role = text_of(node.get_role_name)
    name = text_of(node.get_name)
    line = f'{role} "{name}"'
    description = text_of(node.get_description)
    if description:
        line += f" ({description})"
    try:
        if not node.get_state_set().contains(Atspi.StateType.SHOWING):
            line += " [not showing]"
    except GLib.Error:
        pass
    return line


def dump(node, depth, out):
    out.write("  " * depth + describe(node) + "\n")
    if depth >= MAX_DEPTH:
        out.write("  " * (depth + 1) + "… deeper nodes left out\n")
        return
    try:
        count = node.get_child_count()
    except GLib.Error as error:
        out.write("  " * (depth + 1) + f"<children unreadable: {error.message}>\n")
        return
    for index in range(count):
        try:
            child = node.get_child_at_index(index)
        except GLib.Error as error:
            out.write("  " * (depth + 1) + f"<child {index} unreadable: {error.message}>\n")
            continue
        if child is not None:
            dump(child, depth + 1, out)


def applications():
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(index)
        if app is not None:
            yield app


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--app", default="Vantor",
                        help="the application's name on the bus (default: Vantor)")
    parser.add_argument("--list", action="store_true",
                        help="list the applications on the bus and stop")
    args = parser.parse_args()

    Atspi.set_timeout(CALL_TIMEOUT_MS, CALL_TIMEOUT_MS)
    apps = list(applications())
    if args.list:
        for app in apps:
            print(text_of(app.get_name))
        return 0
    chosen = [app for app in apps if text_of(app.get_name).lower() == args.app.lower()]
    if not chosen:
        names = ", ".join(text_of(app.get_name) for app in apps) or "none"
        print(f"atspi-dump: no application named {args.app} on the accessibility bus "
              f"(there: {names}). Is it running with accessibility on "
              f"(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)?", file=sys.stderr)
        return 1
    for app in chosen:
        dump(app, 0, sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main())
