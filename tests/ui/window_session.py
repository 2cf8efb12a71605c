# SPDX-License-Identifier: Apache-2.0
# The program's window on the X server, read over AT-SPI and driven with the keyboard (xdotool):
# starting it on the accessibility bus, waiting for a state, pressing keys and typing text.
# The scripts run inside on_xvfb.sh, which gives them an X server and the buses.
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

ITEM_VIEW_ROLES = {"table", "tree table", "tree", "list"}


def skip(reason):
    print(f"skipped: {reason}")
    sys.exit(77)


def program_environment():
    """On the X server (the test suite runs with QT_QPA_PLATFORM=offscreen, which has no bridge to
    the bus), in English, in UTC, with settings of its own."""
    return dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                LANG="C.UTF-8", LANGUAGE="", TZ="UTC", XDG_CONFIG_HOME=tempfile.mkdtemp())


def find_application(process, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if process.poll() is not None:
            sys.exit(f"the program ended with status {process.returncode}")
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == process.pid and app.childCount > 0:
                return app
        time.sleep(0.5)
    return None


def start_on_the_bus(program):
    """The program and its application on the bus, started once more when its first start does not
    show on the bus in time (on a busy machine the bus can answer its first start too late for the
    program's bridge)."""
    pyatspi.Registry.getDesktop(0)  # the registry running before the program looks for it
    env = program_environment()
    for seconds in (30, 60):
        process = subprocess.Popen([program], env=env)
        app = find_application(process, seconds)
        if app is not None:
            return process, app
        process.terminate()
        process.wait()
    sys.exit("the program did not appear on the accessibility bus")


def find(node, role, name=None):
    """The first showing descendant of `node` with `role` (and `name`), or None."""
    return pyatspi.findDescendant(node, lambda n: n is not None and n.getRoleName() == role
                                  and (name is None or n.name == name) and showing(n))


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def has_state(node, state):
    return node.getState().contains(state)


def focused_in(node, depth=0):
    """The focused control under `node`: not a cell (an item view is focused itself), not a page
    tab (the current tab reports focus whether or not its bar has it)."""
    if node is None or depth > 50 or (depth > 0 and not showing(node)):
        return None
    role = node.getRoleName()
    if has_state(node, pyatspi.STATE_FOCUSED) and role not in ("table cell", "page tab"):
        return node
    if role in ITEM_VIEW_ROLES:
        return None
    for child in node:
        found = focused_in(child, depth + 1)
        if found is not None:
            return found
    return None


def xdotool(*args, check=True):
    return subprocess.run(["xdotool", *args], check=check, capture_output=True, text=True).stdout.split()


class Window:
    """The running program: its windows over AT-SPI, its keyboard over xdotool."""

    def __init__(self, program):
        if shutil.which("xdotool") is None:
            skip("xdotool is not installed")
        self.process, self.app = start_on_the_bus(program)
        self.main = self.wait_for("the main window", lambda: next(
            (window for window in self.app if window is not None and window.getRoleName() == "frame" and showing(window)), None))
        self.main_x_window = xdotool("search", "--onlyvisible", "--pid", str(self.process.pid),
                                     "--name", f"^{self.main.name}$")[0]

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
        self.process.wait(10)

    def wait_for(self, what, condition, seconds=30):
        """The first true value of condition(), polled until `seconds` have passed; exits failing
        with `what` when none came."""
        deadline = time.time() + seconds
        while True:
            if self.process.poll() is not None:
                sys.exit(f"the program ended with status {self.process.returncode} while waiting for {what}")
            try:
                value = condition()
            except Exception:  # a node that went away while it was read: read again
                value = None
            if value:
                return value
            if time.time() > deadline:
                sys.exit(f"timed out waiting for {what}; the focus: {self.focus()}, the status bar: {self.status()!r}")
            time.sleep(0.1)

    def window(self, title):
        """The shown window of that title, or None."""
        for window in self.app:
            if window is not None and window.name == title and showing(window):
                return window
        return None

    def active_window(self):
        for window in self.app:
            if window is not None and showing(window) and has_state(window, pyatspi.STATE_ACTIVE):
                return window
        return None

    def focus(self):
        """(title of the active window, role, name) of the focused control, or None."""
        window = self.active_window()
        control = focused_in(window) if window is not None else None
        return None if control is None else (window.name, control.getRoleName(), control.name)

    def wait_for_focus(self, title, role, name):
        return self.wait_for(f"the focus on {role} {name!r} in {title!r}", lambda: self.focus() == (title, role, name))

    def give_focus_back(self):
        """What a window manager does when a dialog closes: Xvfb has none, and a closed dialog leaves
        the X focus on the root window, where the program gets no keys."""
        # Before the first key the X focus is nowhere (PointerRoot), which xdotool cannot name.
        if xdotool("getwindowfocus", check=False) != [self.main_x_window] and not self.dialog_shown():
            xdotool("windowfocus", "--sync", self.main_x_window)

    def dialog_shown(self):
        return any(window is not None and window.getRoleName() == "dialog" and showing(window) for window in self.app)

    def keys(self, *names):
        self.give_focus_back()
        xdotool("key", "--delay", "30", *names)

    def type(self, text):
        self.give_focus_back()
        xdotool("type", "--delay", "30", text)

    def tab_to(self, role, name, presses=12):
        """Presses Tab until the focus is on that control of the main window."""
        target = (self.main.name, role, name)
        for _ in range(presses):
            before = self.focus()
            if before == target:
                return
            self.keys("Tab")
            self.wait_for("the focus to move on Tab", lambda: self.focus() not in (before, None), 10)
        sys.exit(f"Tab did not reach {role} {name!r}")

    def column(self, table_name, column):
        """The cells of one column of that item view, row by row, as (name, state set)."""
        view = self.wait_for(f"the table {table_name!r}", lambda: find(self.main, "tree", table_name)
                             or find(self.main, "table", table_name))
        table = view.queryTable()
        cells = [table.getAccessibleAt(row, column) for row in range(table.nRows)]
        return [(cell.name, cell.getState()) for cell in cells]

    def status(self):
        bar = find(self.main, "status bar")
        return bar.name if bar is not None else ""
