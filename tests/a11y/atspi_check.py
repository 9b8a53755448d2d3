#!/usr/bin/python3
"""The real window as assistive technology sees it, through AT-SPI (pyatspi), driven by real key
presses (xdotool). Run by atspi_test.sh inside a virtual display with a session bus, the AT-SPI
registry and a window manager.

  atspi_check.py QUELVAR EXAMPLES_FOLDER
"""
import os
import shutil
import subprocess
import sys
import tempfile
import threading

import pyatspi
from gi.repository import GLib

from waiting import until, window_manager



def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Quelvar":
            return app
    return None


def descendants(accessible, depth=0):
    yield accessible
    if depth < 8:
        for i in range(accessible.childCount):
            child = accessible.getChildAtIndex(i)
            if child is not None:
                yield from descendants(child, depth + 1)


def focused(app):
    for accessible in descendants(app):
        try:
            if accessible.getState().contains(pyatspi.STATE_FOCUSED):
                return accessible
        except Exception:
            pass
    return None


def in_registers(app):
    """The focus is on the register list or on one of its lines."""
    accessible = focused(app)
    if accessible is None:
        return False
    parent = accessible.parent
    return "Registers" in (accessible.name, parent.name if parent is not None else "")


def focused_text_field(app):
    accessible = focused(app)
    return accessible if accessible is not None and accessible.getRoleName() == "text" else None


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "50", *keys], check=True)


def main():
    quelvar, examples = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp()
    for name in os.listdir(examples):
        if name.startswith("multiply"):
            shutil.copy(os.path.join(examples, name), work)
    heard = []  # (event type, role, name) in the order AT-SPI delivered them

    def announced():
        """The texts of the notifications shown, in order."""
        return [n for t, r, n in heard if r == "notification" and t.endswith("showing")]

    gained = []  # (role, name, parent's name) of each control or item that gained the focus

    def listen(event):
        try:
            heard.append((event.type, event.source.getRoleName(), event.source.name))
            if event.type.endswith("focused") and event.detail1 == 1:
                parent = event.source.parent
                gained.append((event.source.getRoleName(), event.source.name,
                               parent.name if parent is not None else ""))
        except Exception:
            pass

    # The name changes keep pyatspi's copy of each name up to date.
    for kind in ("object:state-changed:showing", "object:state-changed:focused",
                 "object:property-change:accessible-name"):
        pyatspi.Registry.registerEventListener(listen, kind)
    window = subprocess.Popen([quelvar], cwd=work)
    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)

    def drive():
        app = None
        try:
            app = until(application, "the window on the AT-SPI bus")
            names = {(a.getRoleName(), a.name) for a in descendants(app)}
            for expected in [("list", "Registers"), ("list", "Program"),
                             ("push button", "Load Progrtam"), ("push button", "Next")]:
                check(expected in names, f"no {expected} in the tree")
            wid = until(lambda: subprocess.run(["xdotool", "search", "--name", "^Quelvar$"],
                                               capture_output=True, text=True).stdout.split(),
                        "the window")[0]
            until(lambda: subprocess.run(["xdotool", "windowactivate", "--sync", wid],
                                         capture_output=True).returncode == 0 and focused(app),
                  "the focus in the window")

            # Load through the dialog, accepted with Return: the window has the focus after it.
            key("F3")
            until(lambda: subprocess.run(["xdotool", "search", "--name", "^Open$"],
                                         capture_output=True).returncode == 0, "the Open dialog")
            # Typing starts once the dialog's name field has the focus, and Return waits for the
            # whole name to be in it: keys typed earlier go elsewhere.
            field = until(lambda: focused_text_field(app), "the focus in the dialog's name field")
            name = os.path.join(work, "multiply.rm")
            subprocess.run(["xdotool", "type", "--delay", "5", name], check=True)
            until(lambda: field.queryText().getText(0, -1) == name, "the name in the dialog")
            key("Return")
            until(lambda: subprocess.run(["xdotool", "search", "--name", "^Open$"],
                                         capture_output=True).returncode != 0, "the dialog to close")
            until(lambda: any(a.name == "J(2,4,9)" for a in descendants(app)), "the program")
            # Tab goes from the register list, which had the focus before Load, to the program.
            until(lambda: in_registers(app), "the focus back on the register list")
            start = len(gained)
            key("Tab")
            until(lambda: any("Program" in (name, parent) for role, name, parent in gained[start:]),
                  "Tab to move the focus to the program list after Load")

            # Steps: each is announced as a notification, with the register it changed, and the
            # focused program list's current item follows the framed line.
            # A client reads an announcement's text when it handles the event, so each key waits
            # for its own announcement: one made later would be read in its place.
            start = len(heard)
            for keys, announcement in [("shift+F9", "stepping from line 1: J(2,4,9)"),
                                       ("F7", "line 1: J(2,4,9), no jump"),
                                       ("F7", "line 2: Z(5), R5 -> 0")]:
                key(keys)
                until(lambda: announcement in announced(), "the announcement " + announcement)
            until(lambda: any(r == "list item" and n == "J(1,5,7)" and t.endswith("focused")
                              for t, r, n in heard[start:]), "line 3 as the current item")
            key("ctrl+F9")
            until(lambda: any("Stopped at line 10" in n for t, r, n in heard if r == "notification"),
                  "the end of the run")
        except AssertionError as failure:
            failures.append(str(failure))
            active = subprocess.run(["xdotool", "getactivewindow", "getwindowname"],
                                    capture_output=True, text=True)
            failures.append("  the active window then: " +
                            (active.stdout.strip() or active.stderr.strip()))
            focus = focused(app) if app is not None else None
            failures.append("  the focus then: " + ("nowhere" if focus is None else
                            f"{focus.getRoleName()} {focus.name!r} in {focus.parent.name!r}"))
        finally:
            GLib.idle_add(pyatspi.Registry.stop)

    threading.Thread(target=drive, daemon=True).start()
    pyatspi.Registry.start()
    window.kill()
    window.wait()
    shutil.rmtree(work, ignore_errors=True)
    print("announced:", *dict.fromkeys(announced()), sep="\n  ")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    with window_manager():
        sys.exit(main())
