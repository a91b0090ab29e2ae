#!/usr/bin/env python3
"""Reads the desktop program through the accessibility bus, as a screen reader does.

Usage: atspi_tree_test.py PINPROBE PINPROBE_CLI

Starts a private D-Bus session (whose accessibility bus the launcher brings up on demand) and an
X server of its own, runs the program there, and reads its window over AT-SPI: every check box and
button has a name, the traces take the focus and tell the bus so, and the status line names the
recording after the start-up capture and after File > Open. Exits 77 (skipped) with a message
where the bus or the X server cannot be had.
"""

import ctypes
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
# Debian's pyatspi is built for the system's interpreter, whatever python3 is first on PATH.
SYSTEM_PYTHON = "/usr/bin/python3"
A11Y_BUS_SERVICE = "/usr/share/dbus-1/services/org.a11y.Bus.service"
DEADLINE_SECONDS = 30
NAME_CHANGE = "object:property-change:accessible-name"
PRESS_MILLISECONDS = 300
# How long a call waits for its answer, and how long a new program may take to give its first.
ATSPI_TIMEOUTS = (2000, 0)

# The controls a screen reader must be able to name, by role and name.
EXPECTED_CONTROLS = [
    ("check box", "Port trigger on channel 1, Error"),
    ("check box", "Port trigger on channel 5, Busy"),
    ("check box", "Memory trigger on channel 2, Select"),
    ("check box", "Memory trigger on channel 4, Acknowledge"),
    ("push button", "New Sample"),
    ("push button", "MemTrig"),
    ("push button", "Break"),
    ("push button", "Zoom Out"),
    ("push button", "Zoom In"),
    ("scroll bar", "Position in the recording"),
    ("chart", "Traces"),
]


def skip(reason):
    print(f"SKIP: {reason}")
    return SKIPPED


def outer(pinprobe, cli):
    """Checks the tools and runs the test again inside its own bus and X server."""
    tools = ("dbus-run-session", "xvfb-run", "xdotool")
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        return skip("the accessibility bus cannot start here: no " + ", ".join(missing))
    if not os.path.exists(A11Y_BUS_SERVICE):
        return skip("the accessibility bus cannot start here: at-spi2-core is not installed")
    probe = subprocess.run([SYSTEM_PYTHON, "-c", "import pyatspi"], capture_output=True)
    if probe.returncode != 0:
        return skip("the accessibility bus cannot be read here: python3-pyatspi is not installed")
    # The bus outside the X server would start the accessibility services without its display.
    command = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "dbus-run-session", "--",
               SYSTEM_PYTHON, os.path.abspath(__file__), "--inner", pinprobe, cli]
    return subprocess.run(command, stdin=subprocess.DEVNULL).returncode


class Bus:
    """The accessibility bus as a client sees it, with the events it was told of."""

    def __init__(self, pyatspi, glib):
        self.pyatspi = pyatspi
        self.glib = glib
        self.context = glib.MainContext.default()
        # A call that gets no answer fails soon, also in the program's first seconds.
        pyatspi.setTimeout(*ATSPI_TIMEOUTS)
        self.events = []
        pyatspi.Registry.registerEventListener(
            self.events.append, "object:state-changed:focused", NAME_CHANGE)

    def pump(self):
        while self.context.pending():
            self.context.iteration(False)

    def wait_for(self, what, find):
        """Polls `find` until it gives something, pumping events; fails at the deadline. A call
        that timed out (the program was busy) is tried again."""
        deadline = time.monotonic() + DEADLINE_SECONDS
        last_error = None
        while time.monotonic() < deadline:
            self.pump()
            try:
                found = find()
            except self.glib.Error as error:
                found, last_error = None, error
            if found:
                return found
            time.sleep(0.05)
        raise AssertionError(f"timed out waiting for {what} (last error: {last_error})")

    def application(self, name):
        desktop = self.pyatspi.Registry.getDesktop(0)
        return next((app for app in desktop if app is not None and app.name == name), None)

    def press(self, node):
        """A press that may open a modal dialog, whose loop holds the answer back: the press is
        not waited for, also not in the program's first seconds."""
        self.pyatspi.setTimeout(PRESS_MILLISECONDS, 0)
        try:
            node.queryAction().doAction(0)
        except Exception:  # noqa: BLE001 - the late answer is all that failed
            pass
        finally:
            self.pyatspi.setTimeout(*ATSPI_TIMEOUTS)


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def role_of(node):
    """The role of an object that may be gone by now (the file chooser's), or ""."""
    try:
        return node.getRoleName()
    except Exception:  # noqa: BLE001 - an object that left the bus has no role
        return ""


def name_of(node):
    try:
        return node.name
    except Exception:  # noqa: BLE001 - nor a name
        return ""


def find(node, role, name=None):
    for child in descendants(node):
        if child.getRoleName() == role and (name is None or child.name == name):
            return child
    return None


def client_area(frame):
    """The window without its menus: what the template and the bands put there."""
    return next(c for c in (frame.getChildAtIndex(i) for i in range(frame.childCount))
                if c.getRoleName() != "menu bar")


def dismiss_dialogs(bus, app):
    """Closes a message the capture may show ("Too Slow") with its only button."""
    try:
        for window in (app.getChildAtIndex(i) for i in range(app.childCount)):
            if role_of(window) in ("dialog", "alert"):
                button = find(window, "push button", "OK")
                if button is not None:
                    bus.press(button)
    except Exception:  # noqa: BLE001 - a window that closed meanwhile needs no answer
        pass


def status_text(bus, app, frame, pattern):
    dismiss_dialogs(bus, app)
    status = find(frame, "status bar")
    return status.name if status is not None and re.match(pattern, status.name) else None


def check_names(frame):
    client = client_area(frame)
    controls = [c for c in descendants(client) if c.getRoleName() in ("check box", "push button")]
    assert len(controls) == 15, f"{len(controls)} check boxes and buttons"
    unnamed = [c.getRoleName() for c in controls if not c.name.strip()]
    assert not unnamed, f"unnamed: {unnamed}"
    for role, name in EXPECTED_CONTROLS:
        assert find(client, role, name) is not None, f"no {role} named {name!r}"


def activate(bus, app, frame):
    """No window manager gives the window the keyboard here: xdotool does, once no message of
    the capture stands in the way."""
    dismiss_dialogs(bus, app)
    if frame.getState().contains(bus.pyatspi.STATE_ACTIVE):
        return True
    # The keyboard may be on the window already, with the program unaware after a message
    # closed: away from it first, so that it hears of the focus coming.
    release_keyboard()
    subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Pinprobe$", "windowfocus"],
                   capture_output=True, timeout=DEADLINE_SECONDS)
    return False


def release_keyboard():
    """Gives the X keyboard focus to whatever window the pointer is over."""
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    display = ctypes.c_void_p(x11.XOpenDisplay(None))
    pointer_root, current_time = 1, 0
    x11.XSetInputFocus(display, ctypes.c_ulong(pointer_root), pointer_root, current_time)
    x11.XCloseDisplay(display)


def check_focus(bus, app, frame):
    traces = find(frame, "chart", "Traces")
    bus.wait_for("the window to be active", lambda: activate(bus, app, frame))
    traces.queryComponent().grabFocus()
    bus.wait_for("the traces to be focused",
                 lambda: traces.getState().contains(bus.pyatspi.STATE_FOCUSED))
    bus.wait_for("the focus to be told", lambda: any(
        e.type.startswith("object:state-changed:focused") and e.detail1 == 1 and
        role_of(e.source) == "chart" for e in bus.events))


def open_file(bus, app, path):
    bus.press(find(app, "menu item", "Open..."))
    chooser = bus.wait_for("the file chooser", lambda: find(app, "dialog", "Open"))
    find(chooser, "text").queryEditableText().setTextContents(path)
    bus.press(find(chooser, "push button", "Open"))


def inner(pinprobe, cli):
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
    import pyatspi

    work = tempfile.mkdtemp(prefix="pinprobe-atspi-")
    recording = os.path.join(work, "run1.sco")
    subprocess.run([cli, "capture", "--simulate", "-o", recording], check=True,
                   capture_output=True)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_CONFIG_HOME=work)
    env.pop("QT_QPA_PLATFORM", None)
    try:
        bus = Bus(pyatspi, GLib)
        pyatspi.Registry.getDesktop(0).childCount  # the registry answers on the bus
    except Exception as error:  # noqa: BLE001 - any failure here means no bus
        return skip(f"the accessibility bus cannot start here: {error}")
    program = subprocess.Popen([pinprobe, "--simulate"], env=env, cwd=work)
    try:
        app = bus.wait_for("the program on the bus", lambda: bus.application("pinprobe"))
        frame = bus.wait_for("its window", lambda: find(app, "frame", "Pinprobe"))
        captured = bus.wait_for("the capture in the status line", lambda: status_text(
            bus, app, frame, r"Untitled: 5000 samples"))
        check_names(frame)
        check_focus(bus, app, frame)
        bus.events.clear()
        open_file(bus, app, recording)
        opened = bus.wait_for("the file in the status line", lambda: status_text(
            bus, app, frame, r"run1\.sco: 5000 samples"))
        bus.wait_for("the new text to be told", lambda: "status bar" in [
            role_of(e.source) for e in bus.events if e.type.startswith(NAME_CHANGE)])
        # The channel labels read the same for every recording: nothing to tell of them.
        told = [name_of(e.source) for e in bus.events if e.type.startswith(NAME_CHANGE)]
        assert not [t for t in told if t.startswith("Channel labels")], told
        print(f"status line after the capture: {captured}")
        print(f"status line after Open: {opened}")
        return 0
    finally:
        program.terminate()
        program.wait(timeout=DEADLINE_SECONDS)
        shutil.rmtree(work, ignore_errors=True)


def main(argv):
    if len(argv) == 4 and argv[1] == "--inner":
        return inner(argv[2], argv[3])
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    return outer(os.path.abspath(argv[1]), os.path.abspath(argv[2]))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
