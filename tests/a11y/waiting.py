"""Waiting in the accessibility checks: a condition is polled until it holds, or a deadline that a
busy machine meets passes."""
import contextlib
import subprocess
import tempfile
import time

DEADLINE = 60  # seconds for anything to happen


def until(condition, what, seconds=DEADLINE):
    end = time.time() + seconds
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


@contextlib.contextmanager
def window_manager(attempts=3):
    """Openbox, running on the display until the block ends. A start in which openbox exits, or
    does not manage the display within a third of the deadline, is tried again; a failure shows
    what each openbox printed (with --debug)."""
    printed = []
    for _ in range(attempts):
        with tempfile.TemporaryFile() as log:
            openbox = subprocess.Popen(["openbox", "--sm-disable", "--debug"], stdout=log,
                                       stderr=subprocess.STDOUT)
            try:
                until(lambda: window_manager_running() or openbox.poll() is not None,
                      "the window manager", DEADLINE / attempts)
            except AssertionError:
                pass  # a start that stalled: killed below and tried again, as one that exited
            if window_manager_running():
                try:
                    yield
                finally:
                    openbox.terminate()
                    openbox.wait()
                return
            openbox.kill()
            openbox.wait()
            log.seek(0)
            printed.append(f"openbox ended with {openbox.returncode}, having printed:\n"
                           + log.read().decode(errors="replace")[-3000:])
    raise AssertionError("gave up waiting for the window manager:\n" + "\n".join(printed))
