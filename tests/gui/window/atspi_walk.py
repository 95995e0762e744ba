#!/usr/bin/env python3
# The program as a screen reader meets it, over the AT-SPI bus (run under
# dbus-run-session and xvfb-run): every focusable control of the main window,
# the help window, the cell editor and its three dialogs has a name, and an arrow key in the grid
# moves the focused cell. Keys go in through xdotool, as a user types them.
import os, subprocess, sys, tempfile, time
import pyatspi

home = tempfile.mkdtemp()  # no recovery offer from other runs comes first
env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
           XDG_DATA_HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home)
program = subprocess.Popen([sys.argv[1]], env=env)
failures = []


def windows():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
        if app is not None and app.name.lower() == "quorvan":
            return [app.getChildAtIndex(i) for i in range(app.childCount)]
    return []


def walk(node, depth=0):
    if node is not None and depth < 40:
        yield node
        for i in range(node.childCount):
            yield from walk(node.getChildAtIndex(i), depth + 1)


def key(name):
    # There is no window manager: the keyboard goes to the newest window.
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(program.pid)],
                           capture_output=True, text=True).stdout.split()
    if found:
        subprocess.run(["xdotool", "windowfocus", "--sync", found[-1]])
    subprocess.run(["xdotool", "key", name], check=True)
    time.sleep(0.8)


def check_names(where):
    for window in windows():
        for node in walk(window):
            s = node.getState()
            if (node.getRole() != pyatspi.ROLE_TABLE_CELL and s.contains(pyatspi.STATE_FOCUSABLE)
                    and s.contains(pyatspi.STATE_SHOWING) and not node.name.strip()):
                failures.append("%s: a %s without a name" % (where, node.getRoleName()))


def focused_cell():
    for node in (n for w in windows() for n in walk(w) if n.getRole() == pyatspi.ROLE_TABLE):
        for i in range(node.childCount):
            if node.getChildAtIndex(i).getState().contains(pyatspi.STATE_FOCUSED):
                return node.queryTable().getRowAtIndex(i), node.queryTable().getColumnAtIndex(i)


try:
    for _ in range(100):
        if windows():
            break
        time.sleep(0.2)
    time.sleep(1.5)
    check_names("table settings view")
    key("F1")  # the help window: a named window, its contents and page named; Escape closes it
    check_names("help window")
    help = [w for w in windows() if "ヘルプ" in w.name and w.getState().contains(pyatspi.STATE_SHOWING)]
    parts = [n.name for h in help if h.getRole() == pyatspi.ROLE_FRAME for n in walk(h)
             if n.getRole() in (pyatspi.ROLE_TREE, pyatspi.ROLE_LABEL) and n.getState().contains(pyatspi.STATE_FOCUSABLE)]
    key("Escape")
    if len(parts) != 2 or not all(parts) or any("ヘルプ" in w.name and w.getState().contains(pyatspi.STATE_SHOWING) for w in windows()):
        failures.append("help window: %s, or still open" % parts)
    key("ctrl+2")
    check_names("cell settings view")
    first = focused_cell()
    for arrow, step in (("Right", (0, 1)), ("Down", (1, 0))):
        key(arrow)
        now = focused_cell()
        if first is None or now != (first[0] + step[0], first[1] + step[1]):
            failures.append("%s: the focused cell went from %s to %s" % (arrow, first, now))
        first = now
    key("shift+F2")
    check_names("cell editor")
    for dialog in ("ctrl+shift+l", "ctrl+shift+p", "ctrl+shift+f"):
        key(dialog)
        check_names("dialog of " + dialog)
        key("Escape")
finally:
    program.kill()
    program.wait()

print("\n".join("FAIL: " + f for f in failures) or "PASS")
sys.exit(1 if failures else 0)
