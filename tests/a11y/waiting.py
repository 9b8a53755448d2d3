"""Waiting in the accessibility checks: a condition is polled until it holds, or a deadline that a
busy machine meets passes."""
import subprocess
import time

DEADLINE = 60  # seconds for anything to happen


def until(condition, what):
    end = time.time() + DEADLINE
    while time.time() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("gave up waiting for " + what)


def window_manager_running():
    """A desktop's window manager is up before its applications start: it has claimed the root
    window's _NET_SUPPORTING_WM_CHECK, without which xdotool cannot activate or focus a window."""
    return "window id #" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                           capture_output=True, text=True).stdout
