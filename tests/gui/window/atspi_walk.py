#!/usr/bin/env python3
"""The program as a screen reader meets it: through the AT-SPI bus.

Run under dbus-run-session and an X server (xvfb-run). Starts the program,
walks its windows (the main window's views, the editor, its three dialogs) for
focusable controls without a name, and checks that an arrow key in the grid
moves the focused cell. Keys go in through xdotool, as a user types them.
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

program = sys.argv[1]
env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
           LANGUAGE=os.environ.get("LANGUAGE", "ja"))
env.pop("QT_ACCESSIBILITY", None)
# A home of its own: no recovery offer from other runs comes first.
home = tempfile.mkdtemp()
env.update(XDG_DATA_HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home)
app_process = subprocess.Popen([program], env=env)
failures = []


def wait_for(what, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        found = what()
        if found:
            return found
        time.sleep(0.2)
    return None


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is not None and a.name.lower() == "quorvan":
            return a
    return None


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True)
    time.sleep(0.6)


def focus_newest_window():
    # There is no window manager: the keyboard goes where it is sent.
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(app_process.pid)],
                           capture_output=True, text=True).stdout.split()
    if found:
        subprocess.run(["xdotool", "windowfocus", "--sync", found[-1]])
        time.sleep(0.4)


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def top_windows():
    app = application()
    return [app.getChildAtIndex(i) for i in range(app.childCount)] if app else []


def check_names(where):
    for window in top_windows():
        states = window.getState()
        if not states.contains(pyatspi.STATE_ACTIVE) and not states.contains(pyatspi.STATE_SHOWING):
            continue
        for node in walk(window):
            s = node.getState()
            if node.getRole() == pyatspi.ROLE_TABLE_CELL:
                continue
            if s.contains(pyatspi.STATE_FOCUSABLE) and s.contains(pyatspi.STATE_SHOWING) and not node.name.strip():
                failures.append("%s: %s without a name in %s" % (where, node.getRoleName(), window.name))


def focused_cell():
    for window in top_windows():
        for node in walk(window):
            if node.getRole() == pyatspi.ROLE_TABLE:
                table = node.queryTable()
                for i in range(node.childCount):
                    cell = node.getChildAtIndex(i)
                    if cell is not None and cell.getState().contains(pyatspi.STATE_FOCUSED):
                        return table.getRowAtIndex(i), table.getColumnAtIndex(i)
    return None


try:
    if not wait_for(lambda: application() and top_windows()):
        failures.append("the program never appeared on the accessibility bus")
    else:
        time.sleep(1.5)
        focus_newest_window()
        check_names("table settings view")
        key("ctrl+2")
        check_names("cell settings view")
        first = wait_for(focused_cell, 5)
        key("Right")
        moved = wait_for(lambda: focused_cell() if focused_cell() != first else None, 5)
        if first is None or moved != (first[0], first[1] + 1):
            failures.append("arrow right: focused cell %s -> %s" % (first, moved))
        key("Down")
        down = focused_cell()
        if moved is None or down != (moved[0] + 1, moved[1]):
            failures.append("arrow down: focused cell %s -> %s" % (moved, down))
        key("shift+F2")
        check_names("cell editor")
        for shortcut in ("ctrl+shift+l", "ctrl+shift+p", "ctrl+shift+f"):
            key(shortcut)
            check_names("dialog of " + shortcut)
            key("Escape")
finally:
    app_process.kill()
    app_process.wait()

for f in failures:
    print("FAIL:", f)
print("PASS" if not failures else "%d failures" % len(failures))
sys.exit(1 if failures else 0)
