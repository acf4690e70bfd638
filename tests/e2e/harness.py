"""Drives the built `trellisane` window as a person does, on a private desktop.

A Desktop is a private X server (Xvfb, on a display it picks itself), the openbox window
manager, a session bus of its own (dbus-run-session) with the accessibility bus on it, and a
throwaway HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR and XDG_STATE_HOME. The program runs there on
Qt's real xcb platform with its real dialogs. Input is real: the pointer is moved to screen
coordinates and clicked, keys go to whichever window has the keyboard, all through XTEST
(xdotool without --window, as a person's keyboard and mouse would). What the program shows is
read the way assistive technology reads it, through AT-SPI (atspi_probe.py), and the X server
says which windows are mapped, in which stacking order, and which has the keyboard focus.

WindowTest is the unittest base class: each test gets a fresh Desktop, keeps its screenshots
and the program's output under BUILD/e2e-artifacts/<test>/ when it fails (and prints where),
and tears everything down whatever happened. main() runs a test file, or exits with 77 (ctest
SKIP_RETURN_CODE) and one line when the desktop tools are not installed.

Waits are on conditions with generous timeouts (wait_until); a fixed pause is used only to
watch that something does NOT happen for a while.
"""

import ctypes
import dataclasses
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path
from typing import Callable, Optional

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("TRELLISANE_BUILD") or ROOT / "build").resolve()
ARTIFACTS = Path(os.environ.get("TRELLISANE_E2E_ARTIFACTS") or BUILD / "e2e-artifacts")
PYTHON = "/usr/bin/python3"  # Debian's, which has pyatspi; a pyenv python on PATH has not
SKIP_RETURN_CODE = 77
# Scales every timeout: TRELLISANE_E2E_TIME_SCALE=3 on a very slow machine.
TIME_SCALE = float(os.environ.get("TRELLISANE_E2E_TIME_SCALE", "1"))
SCREEN = (1024, 640)
APP_NAME = "trellisane"  # the application's name on the accessibility bus
TITLE = "Trellisane"

# Program -> Debian package, for the skip message.
TOOLS = {
    "Xvfb": "xvfb",
    "openbox": "openbox",
    "xdotool": "xdotool",
    "import": "imagemagick",
    "dbus-run-session": "dbus",
    "dbus-send": "dbus",
    "xprop": "x11-utils",
    "xwininfo": "x11-utils",
}


def temp_root() -> Optional[str]:
    """Where the tests' trees go: TRELLISANE_E2E_TMP, else /dev/shm when it can hold programs
    (a memory file system makes and removes 20,000 folders in a moment, where a loaded disk
    takes a minute), else the system's temporary folder."""
    chosen = os.environ.get("TRELLISANE_E2E_TMP")
    if chosen:
        return chosen
    if os.environ.get("TRELLISANE_E2E_DOCS"):
        return None  # pictures for the documentation show the usual /tmp paths
    try:
        with open("/proc/mounts", encoding="utf-8") as mounts:
            for line in mounts:
                fields = line.split()
                if (len(fields) > 3 and fields[1] == "/dev/shm" and "noexec" not in
                        fields[3].split(",") and os.access("/dev/shm", os.W_OK)):
                    room = os.statvfs("/dev/shm")
                    # A container's small /dev/shm (64 MB) would not hold the program copies.
                    if room.f_bavail * room.f_frsize >= 512 * 1024 * 1024:
                        return "/dev/shm"
    except OSError:
        pass
    return None


def missing_desktop_tools() -> list:
    """The Debian packages whose programs the desktop needs and cannot find (empty when all are
    there, pyatspi included)."""
    missing = {package for tool, package in TOOLS.items() if shutil.which(tool) is None}
    if not Path(PYTHON).exists():
        missing.add("python3")
    elif subprocess.run([PYTHON, "-c", "import pyatspi"], capture_output=True).returncode != 0:
        missing.add("python3-pyatspi")
    if not Path("/usr/libexec/at-spi-bus-launcher").exists():
        missing.add("at-spi2-core")
    return sorted(missing)


def main() -> None:
    """Runs the calling test file's tests; exits 77 with one line when the desktop tools are
    missing, so ctest reports the tests as skipped rather than passed or failed."""
    missing = missing_desktop_tools()
    if missing:
        print("e2e: skipped: the desktop tools are not installed (Debian packages: %s; "
              "scripts/install-deps.sh installs them)" % " ".join(missing))
        sys.exit(SKIP_RETURN_CODE)
    if not (BUILD / "trellisane").exists():
        print("e2e: %s/trellisane is not built" % BUILD)
        sys.exit(1)
    unittest.main(module="__main__", verbosity=2)


def become_subreaper() -> None:
    """Makes this process the one that collects the desktop's daemons (the accessibility bus
    and its registry leave their parents), so that none is left behind as a zombie where the
    machine's first process does not collect them."""
    try:
        libc = ctypes.CDLL(None, use_errno=True)
        libc.prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
    except (OSError, AttributeError):
        pass


def reap_orphans(timeout: float = 5) -> None:
    """Collects the children left once the desktop's processes have been ended, waiting up to
    `timeout` seconds for the last of them to go."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            if time.monotonic() > deadline:
                return
            time.sleep(0.05)


def wait_until(condition: Callable, timeout: float, what: str, interval: float = 0.1):
    """Calls `condition` until it returns something true and returns that; fails the test with
    `what` (and the last value seen) when `timeout` seconds (times TIME_SCALE) pass first."""
    deadline = time.monotonic() + timeout * TIME_SCALE
    last = None
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %.0f s waiting for %s (last seen: %r)"
                                 % (timeout * TIME_SCALE, what, last))
        time.sleep(interval)


@dataclasses.dataclass
class XWindow:
    """A top-level window as the X server has it: id, title, client area on the screen,
    whether it is mapped and viewable."""
    id: int
    title: str
    x: int
    y: int
    width: int
    height: int
    viewable: bool

    def overlaps(self, other: "XWindow") -> bool:
        """Whether the two client areas share any pixel."""
        return (self.x < other.x + other.width and other.x < self.x + self.width
                and self.y < other.y + other.height and other.y < self.y + self.height)


@dataclasses.dataclass(repr=False)
class Window:
    """One of the program's visible windows, as the X server and AT-SPI both see it.
    kind: "main", "progress" (the renaming progress window), "browse" (the folder dialog),
    "prompt" (a one-line question), "message" (a message box: report, question, "Done.") or
    "other". texts are its labels' texts; buttons the captions of its buttons."""
    x: XWindow
    role: str
    kind: str
    texts: list
    buttons: list
    controls: list
    states: list

    @property
    def text(self) -> str:
        return "\n".join(self.texts)

    def control(self, name: str, role: Optional[str] = None) -> dict:
        """The control of this window named `name` (and of `role`, when given)."""
        for control in self.controls:
            if control["name"] == name and (role is None or control["role"] == role):
                return control
        raise AssertionError("no control %r in the %s window; it has: %s"
                             % (name, self.kind, [c["name"] for c in self.controls if c["name"]]))

    def __repr__(self):
        return str(self)

    def __str__(self):
        return "%s window 0x%x %r at %d,%d %dx%d%s" % (
            self.kind, self.x.id, self.x.title, self.x.x, self.x.y, self.x.width, self.x.height,
            (": " + " | ".join(self.texts)) if self.texts else "")


def _kind(accessible: dict) -> str:
    roles = {c["role"] for c in accessible["controls"]}
    if "progress bar" in roles:
        return "progress"
    if "table" in roles and any(c["name"] == "Start Renaming" for c in accessible["controls"]):
        return "main"
    if accessible["name"] == "Please select folder:" or "tree" in roles or "tree table" in roles:
        return "browse"
    if "text" in roles or "entry" in roles:
        return "prompt"
    if roles & {"push button"}:
        return "message"
    return "other"


class Desktop:
    """A private desktop session: Xvfb + openbox + a session bus with AT-SPI, in a throwaway
    home below `workdir`. start() brings it up; stop() ends every process it started (also when
    start() failed half-way)."""

    def __init__(self, workdir: Path, size=SCREEN):
        self.workdir = Path(workdir)
        self.size = size
        self.env: dict = {}
        self.display = ""
        self._processes: list = []  # (name, Popen, whole process group?)
        self._fds: list = []
        self._probe: Optional[subprocess.Popen] = None
        self.apps: list = []  # the programs started here and not yet stopped
        self._app_count = 0

    # -- starting and stopping -------------------------------------------------------------

    def start(self) -> "Desktop":
        """Starts the X server, the session bus (with the accessibility bus), the window manager
        and the AT-SPI reader, each waited for until it answers."""
        become_subreaper()
        home = self.workdir / "home"
        for folder in ("home", "config", "runtime", "state", "cache", "data"):
            (self.workdir / folder).mkdir(parents=True, exist_ok=True)
        os.chmod(self.workdir / "runtime", 0o700)
        env = {k: v for k, v in os.environ.items()
               if k not in ("WAYLAND_DISPLAY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS",
                            "XAUTHORITY", "DISPLAY", "LD_PRELOAD", "QT_QPA_PLATFORM")}
        env.update(HOME=str(home), XDG_CONFIG_HOME=str(self.workdir / "config"),
                   XDG_RUNTIME_DIR=str(self.workdir / "runtime"),
                   XDG_STATE_HOME=str(self.workdir / "state"),
                   XDG_CACHE_HOME=str(self.workdir / "cache"),
                   XDG_DATA_HOME=str(self.workdir / "data"),
                   LANG="C.UTF-8", LC_ALL="C.UTF-8", NO_AT_BRIDGE="0")
        self.env = env

        # The server picks a free display and writes its number to the pipe (-displayfd).
        read_end, write_end = os.pipe()
        width, height = self.size
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), env=env, stdout=self._log("xvfb"), stderr=subprocess.STDOUT)
        os.close(write_end)
        self._processes.append(("Xvfb", xvfb, False))
        self._close_logs()
        number = self._read_line(read_end, 20, "Xvfb's display number", xvfb)
        self.display = ":" + number
        env["DISPLAY"] = self.display

        # The session bus ends when the command it runs (a sleep) is ended with its group.
        read_end, write_end = os.pipe()
        bus = subprocess.Popen(
            ["dbus-run-session", "--", "sh", "-c",
             'echo "$DBUS_SESSION_BUS_ADDRESS" >&%d; exec sleep 2147483647' % write_end],
            pass_fds=(write_end,), env=env, stdout=self._log("dbus"), stderr=subprocess.STDOUT,
            start_new_session=True)
        os.close(write_end)
        self._processes.append(("dbus-run-session", bus, True))
        self._close_logs()
        env["DBUS_SESSION_BUS_ADDRESS"] = self._read_line(read_end, 20, "the session bus", bus)

        openbox = subprocess.Popen(["openbox", "--sm-disable"], env=env,
                                   stdout=self._log("openbox"), stderr=subprocess.STDOUT)
        self._processes.append(("openbox", openbox, False))
        self._close_logs()
        wait_until(self._window_manager_running, 20, "openbox to manage the screen")

        # Starts the accessibility bus now, so the program finds it when it starts.
        self.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                  "/org/a11y/bus", "org.a11y.Bus.GetAddress"], timeout=30)
        self._probe = subprocess.Popen([PYTHON, str(Path(__file__).with_name("atspi_probe.py"))],
                                       env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       stderr=self._log("atspi"), text=True)
        self._processes.append(("atspi_probe", self._probe, False))
        self._close_logs()
        self._ask({"cmd": "ping"})
        return self

    def stop(self) -> None:
        """Ends the programs started here, then the desktop's own processes, newest first."""
        for app in list(self.apps):
            app.stop()
        if self._probe is not None:
            for stream in (self._probe.stdin, self._probe.stdout):
                if stream:
                    stream.close()
        for name, process, group in reversed(self._processes):
            if process.poll() is not None:
                continue
            try:
                if group:
                    os.killpg(process.pid, signal.SIGTERM)
                else:
                    process.terminate()
                process.wait(timeout=10)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                try:
                    if group:
                        os.killpg(process.pid, signal.SIGKILL)
                    else:
                        process.kill()
                    process.wait(timeout=10)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    print("e2e: %s (pid %d) did not end" % (name, process.pid), file=sys.stderr)
        self._processes.clear()
        reap_orphans()

    def _log(self, name: str) -> int:
        """A file descriptor for a process's output, closed again once the process has it."""
        fd = os.open(self.workdir / ("%s.log" % name), os.O_WRONLY | os.O_CREAT | os.O_TRUNC,
                     0o644)
        self._fds.append(fd)
        return fd

    def _close_logs(self) -> None:
        for fd in self._fds:
            os.close(fd)
        self._fds.clear()

    @staticmethod
    def _read_line(fd: int, timeout: float, what: str, process: subprocess.Popen) -> str:
        data = b""
        deadline = time.monotonic() + timeout * TIME_SCALE
        try:
            while b"\n" not in data:
                left = deadline - time.monotonic()
                if left <= 0 or process.poll() is not None:
                    raise AssertionError("no answer from %s" % what)
                ready, _, _ = select.select([fd], [], [], left)
                if ready:
                    chunk = os.read(fd, 256)
                    if not chunk:
                        raise AssertionError("%s ended without an answer" % what)
                    data += chunk
        finally:
            os.close(fd)
        return data.decode().strip()

    def _window_manager_running(self) -> bool:
        out = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).stdout
        return "window id" in out

    # -- commands in the session ----------------------------------------------------------

    def run(self, command: list, check: bool = True, timeout: float = 30,
            **kwargs) -> subprocess.CompletedProcess:
        """Runs `command` in the desktop's environment and returns its result (text output)."""
        result = subprocess.run(command, env=self.env, capture_output=True, text=True,
                                timeout=timeout * TIME_SCALE, **kwargs)
        if check and result.returncode != 0:
            raise AssertionError("%s failed (%d): %s" % (" ".join(command), result.returncode,
                                                         result.stderr.strip()))
        return result

    def xdotool(self, *args: str) -> str:
        """Runs xdotool with `args` (never --window: input goes through XTEST)."""
        return self.run(["xdotool"] + [str(a) for a in args]).stdout.strip()

    def _ask(self, request: dict) -> dict:
        """One request to the AT-SPI reader; its answer. Every request only reads, so one that
        met an object going away while it was read (a box closing) is asked again."""
        assert self._probe is not None and self._probe.stdin and self._probe.stdout
        for attempt in range(5):
            self._probe.stdin.write(json.dumps(request) + "\n")
            self._probe.stdin.flush()
            ready, _, _ = select.select([self._probe.stdout], [], [], 60 * TIME_SCALE)
            if not ready:
                raise AssertionError("the AT-SPI reader gave no answer to %r within 60 s"
                                     % request)
            line = self._probe.stdout.readline()
            if not line:
                raise AssertionError("the AT-SPI reader ended (see atspi.log)")
            answer = json.loads(line)
            if "error" not in answer:
                return answer
            if attempt < 4:
                time.sleep(0.2)
        raise AssertionError("AT-SPI: %s" % answer["error"])

    # -- input ----------------------------------------------------------------------------

    def click_at(self, x: int, y: int, button: int = 1) -> None:
        """Moves the pointer to screen point (x, y) and clicks there."""
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("click", button)

    def click(self, control: dict, button: int = 1) -> None:
        """Clicks the middle of a control as AT-SPI places it on the screen."""
        x, y, width, height = control["extents"]
        assert width > 0 and height > 0, "the control %r has no area on screen" % control["name"]
        self.click_at(x + width // 2, y + height // 2, button)

    def key(self, *keys: str) -> None:
        """Presses each key (xdotool names: Return, space, ctrl+z, alt+F4) in the window that
        has the keyboard."""
        self.xdotool("key", "--delay", "50", *keys)

    def type_text(self, text: str) -> None:
        """Types `text` key by key into the window that has the keyboard."""
        self.xdotool("type", "--delay", "30", text)

    # -- what the screen shows ------------------------------------------------------------

    def x_windows(self) -> list:
        """The windows the window manager manages, bottom to top of the stacking order."""
        out = self.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], check=False).stdout
        ids = [int(i, 16) for i in re.findall(r"0x[0-9a-fA-F]+", out)]
        windows = []
        for window_id in ids:
            info = self.run(["xwininfo", "-id", str(window_id)], check=False)
            if info.returncode != 0:
                continue  # gone meanwhile
            text = info.stdout

            def number(label):
                found = re.search(r"%s:\s+(-?\d+)" % re.escape(label), text)
                return int(found.group(1)) if found else 0
            title = re.search(r'xwininfo: Window id: \S+ "(.*)"', text)
            windows.append(XWindow(
                id=window_id, title=title.group(1) if title else "",
                x=number("Absolute upper-left X"), y=number("Absolute upper-left Y"),
                width=number("Width"), height=number("Height"),
                viewable="IsViewable" in text))
        return windows

    def popups(self) -> list:
        """The program's visible windows that the window manager does not manage (tooltips,
        menus, the selector's list), as XWindows."""
        managed = {w.id for w in self.x_windows()}
        out = self.run(["xdotool", "search", "--onlyvisible", "--classname", APP_NAME],
                       check=False).stdout
        found = []
        for window_id in (int(i) for i in out.split()):
            if window_id in managed:
                continue
            info = self.run(["xwininfo", "-id", str(window_id)], check=False).stdout
            if "Override Redirect State: yes" not in info:
                continue
            size = [int(re.search(r"%s:\s+(-?\d+)" % k, info).group(1)) for k in
                    ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
            found.append(XWindow(window_id, "", size[0], size[1], size[2], size[3], True))
        return found

    def close_button(self, window: XWindow) -> tuple:
        """The screen point of the close button in the window manager's title bar of `window`:
        openbox puts it at the right end of the bar above the client area."""
        out = self.run(["xprop", "-id", str(window.id), "_NET_FRAME_EXTENTS"], check=False).stdout
        found = re.findall(r"\d+", out.partition("=")[2])
        _, right, top, _ = (int(n) for n in found) if len(found) == 4 else (1, 1, 21, 1)
        return window.x + window.width + right - 4 - top // 2, window.y - (top + 1) // 2

    def focused_x_window(self) -> int:
        """The id of the X window that has the keyboard focus (0 when none)."""
        result = self.run(["xdotool", "getwindowfocus", "-f"], check=False)
        try:
            return int(result.stdout.strip())
        except ValueError:
            return 0

    def active_x_window(self) -> int:
        """The window the window manager holds active (_NET_ACTIVE_WINDOW), 0 when none."""
        result = self.run(["xdotool", "getactivewindow"], check=False)
        try:
            return int(result.stdout.strip())
        except ValueError:
            return 0

    def windows(self, app: str = APP_NAME) -> list:
        """The program's visible top-level windows, bottom to top, each matched to what AT-SPI
        reads of it (by its place and size on the screen)."""
        accessible = self.accessible_windows(app)
        result = []
        for xw in self.x_windows():
            if not xw.viewable:
                continue
            for window in accessible:
                if window["extents"] != [xw.x, xw.y, xw.width, xw.height]:
                    continue
                controls = window["controls"]
                texts = [c["text"] or c["name"] for c in controls
                         if c["role"] == "label" and (c["text"] or c["name"])]
                buttons = [c["name"] for c in controls if c["role"] == "push button"]
                result.append(Window(x=xw, role=window["role"], kind=_kind(window), texts=texts,
                                     buttons=buttons, controls=controls,
                                     states=window["states"]))
                break
        return result

    def accessible_windows(self, app: str = APP_NAME) -> list:
        """The program's showing top-level windows as AT-SPI alone has them (role, name,
        extents, states, controls): what the program has shown, whether or not the X server has
        mapped it yet."""
        return self._ask({"cmd": "windows", "app": app})["windows"]

    def windows_titled(self, title: str) -> list:
        """The viewable managed windows whose title is exactly `title`, bottom to top."""
        return [w for w in self.x_windows() if w.viewable and w.title == title]

    def focused_window(self, app: str = APP_NAME) -> Optional[Window]:
        """The program's window that has the keyboard focus, or None when the focus is
        elsewhere (or nowhere)."""
        focused = self.focused_x_window()
        return next((w for w in self.windows(app) if w.x.id == focused), None)

    def window(self, kind: str, app: str = APP_NAME) -> Optional[Window]:
        """The topmost visible window of `kind`, or None."""
        found = [w for w in self.windows(app) if w.kind == kind]
        return found[-1] if found else None

    def wait_window(self, kind: str, timeout: float = 30, text: Optional[str] = None,
                    app: str = APP_NAME) -> Window:
        """Waits until a window of `kind` (holding `text` in a label, when given) is visible and
        returns it."""
        def seen():
            for window in reversed(self.windows(app)):
                if window.kind == kind and (text is None or text in window.text):
                    return window
            return None
        return wait_until(seen, timeout, "a %s window%s" % (
            kind, " saying %r" % text if text else ""), interval=0.2)

    def wait_focus(self, window: Window, timeout: float = 30) -> Window:
        """Waits until `window` has the keyboard focus (the X focus is on it)."""
        wait_until(lambda: self.focused_x_window() == window.x.id, timeout,
                   "the keyboard focus on the %s" % window)
        return window

    def rows(self, limit: int = 1000, app: str = APP_NAME) -> tuple:
        """(row count, [[current, new name], ...] of the first `limit` rows) of the list, as
        AT-SPI reads its cells."""
        answer = self._ask({"cmd": "rows", "app": app, "limit": limit})
        return answer["count"], answer["rows"]

    def cells(self, limit: int = 1000, app: str = APP_NAME) -> tuple:
        """(the column headers, [[(current, description), (new name, description)], ...] of the
        first `limit` rows) of the list: each cell's text and what AT-SPI says of it beyond."""
        answer = self._ask({"cmd": "cells", "app": app, "limit": limit})
        return answer["columns"], [[tuple(cell) for cell in row] for row in answer["rows"]]

    def screenshot(self, path: Path, crop: Optional[tuple] = None) -> Path:
        """Saves the whole screen (or the area (x, y, width, height)) as a PNG."""
        path.parent.mkdir(parents=True, exist_ok=True)
        command = ["import", "-window", "root"]
        if crop:
            command += ["-crop", "%dx%d+%d+%d" % (crop[2], crop[3], crop[0], crop[1]), "+repage"]
        self.run(command + ["-strip", str(path)])
        return path

    # -- the program ----------------------------------------------------------------------

    def start_app(self, program: Path, output_dir: Path, cwd: Optional[Path] = None,
                  delay_file: Optional[Path] = None, env: Optional[dict] = None,
                  wait: bool = True) -> "App":
        """Starts `program` on this desktop (its output into output_dir) and, unless wait is
        False, waits for its main window. delay_file: slow every rename by the microseconds
        written in that file (the slow_rename shim); the test writes and rewrites it as it
        needs. env: variables added to the program's environment (LANGUAGE, say)."""
        self._app_count += 1
        name = "app" if self._app_count == 1 else "app%d" % self._app_count
        app = App(self, Path(program), Path(output_dir) / name, cwd, delay_file, env or {})
        app.start(wait)
        return app


class App:
    """The program under test, running on a Desktop."""

    def __init__(self, desktop: Desktop, program: Path, output_dir: Path, cwd: Optional[Path],
                 delay_file: Optional[Path], env: dict):
        self.desktop = desktop
        self.extra_env = env
        self.program = program
        self.cwd = cwd or program.parent
        self.delay_file = delay_file
        output_dir.parent.mkdir(parents=True, exist_ok=True)
        self.stdout_path = output_dir.with_name(output_dir.name + "-stdout.txt")
        self.stderr_path = output_dir.with_name(output_dir.name + "-stderr.txt")
        self.process: Optional[subprocess.Popen] = None
        self._starts = 0

    def start(self, wait: bool = True) -> None:
        """Starts the program and (when `wait`) waits until its main window shows and has the
        keyboard. A report of the home-page start (about one start in a hundred, with no
        browser here) is answered with a click on its OK."""
        env = dict(self.desktop.env)
        env.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1")
        if self.delay_file is not None:
            shim = BUILD / "tests" / "e2e" / "slow_rename.so"
            assert shim.exists(), "%s is not built" % shim
            env["LD_PRELOAD"] = str(shim)
            env["TRELLISANE_TEST_RENAME_DELAY_FILE"] = str(self.delay_file)
        env.update(self.extra_env)
        self._starts += 1
        if self._starts > 1:  # a restart keeps what the run before wrote
            for path in (self.stdout_path, self.stderr_path):
                if path.exists():
                    path.rename(path.with_suffix(".run%d.txt" % (self._starts - 1)))
        if self not in self.desktop.apps:
            self.desktop.apps.append(self)
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen([str(self.program)], cwd=str(self.cwd), env=env,
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        if wait:
            self.wait_main_window()

    def wait_main_window(self) -> "Window":
        """Waits until the program's main window shows and has the keyboard; returns it."""
        def main_window():
            if self.process.poll() is not None:
                raise AssertionError("the program ended at start (status %s): %s"
                                     % (self.process.returncode, self.output()))
            windows = self.desktop.windows()
            for window in windows:
                if window.kind == "message" and "Application Error" in window.x.title:
                    self.desktop.click(window.control("OK", "push button"))
                    return None
            main = [w for w in windows if w.kind == "main"]
            return main[0] if main else None
        window = wait_until(main_window, 60, "the main window", interval=0.2)
        self.desktop.wait_focus(window)
        return window

    def running(self) -> bool:
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout: float = 30) -> int:
        """Waits until the program has ended; its exit status."""
        assert self.process is not None
        wait_until(lambda: self.process.poll() is not None, timeout, "the program to end")
        return self.process.returncode

    def output(self) -> str:
        """What the program wrote on stderr so far."""
        try:
            return self.stderr_path.read_text(errors="replace")
        except OSError:
            return ""

    def kill(self) -> int:
        """Kills the program at once (SIGKILL), as a crash or a power cut would end it; its
        exit status."""
        assert self.process is not None
        self.process.kill()
        return self.process.wait(timeout=30)

    def stop(self) -> None:
        """Ends the program if it still runs."""
        if self in self.desktop.apps:
            self.desktop.apps.remove(self)
        if self.running():
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)


def set_delay(delay_file: Path, microseconds: int) -> None:
    """Sets the pause the slow_rename shim makes before each rename from now on."""
    temporary = delay_file.with_suffix(".new")
    temporary.write_text("%d\n" % microseconds)
    os.replace(temporary, delay_file)


def folders_below(root: Path) -> list:
    """Every folder below `root` as a path relative to it, sorted."""
    found = []
    for folder, subfolders, _ in os.walk(root):
        for name in subfolders:
            found.append(os.path.relpath(os.path.join(folder, name), root))
    return sorted(found)


def files_below(root: Path) -> list:
    """Every file below `root` as a path relative to it, sorted."""
    found = []
    for folder, _, files in os.walk(root):
        for name in files:
            found.append(os.path.relpath(os.path.join(folder, name), root))
    return sorted(found)


class WindowTest(unittest.TestCase):
    """A test on a fresh private desktop. self.desktop is up in each test; self.tmp is a
    throwaway folder for the test's trees; self.shot(name) saves a screenshot. A failed test
    keeps its screenshots, the program's output and the desktop's logs under
    BUILD/e2e-artifacts/<test>/ and prints the paths; a passed one leaves nothing, unless
    TRELLISANE_E2E_KEEP is set (to look at what a passing run showed)."""

    screen = SCREEN

    def setUp(self):
        self.artifacts = ARTIFACTS / self.id().split(".", 1)[-1]
        shutil.rmtree(self.artifacts, ignore_errors=True)
        self.artifacts.mkdir(parents=True)
        self.tmp = Path(tempfile.mkdtemp(prefix="trellisane-e2e-", dir=temp_root()))
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.desktop = Desktop(self.tmp / "desktop", self.screen)
        self.addCleanup(self._tear_down_desktop)
        self._started = time.monotonic()
        self._shots = 0
        self.desktop.start()
        self.step("desktop %s up" % self.desktop.display)

    def _tear_down_desktop(self):
        try:
            if self.desktop.display:
                self.shot("last")
        except Exception:  # pylint: disable=broad-except
            pass
        self.desktop.stop()
        for log in (self.tmp / "desktop").glob("*.log"):
            shutil.copy(log, self.artifacts / log.name)

    def run(self, result=None):
        result = result or self.defaultTestResult()
        before = len(result.failures) + len(result.errors)
        super().run(result)
        if len(result.failures) + len(result.errors) > before:
            kept = sorted(self.artifacts.iterdir()) if self.artifacts.exists() else []
            print("\ne2e: %s failed; kept:" % self.id(), file=sys.stderr)
            for path in kept:
                print("  %s" % path, file=sys.stderr)
        elif not os.environ.get("TRELLISANE_E2E_KEEP"):
            shutil.rmtree(self.artifacts, ignore_errors=True)
        return result

    def step(self, text: str) -> None:
        """Prints a step of the test with the seconds since it began (the test's log)."""
        print("  [%5.1f s] %s" % (time.monotonic() - self._started, text), file=sys.stderr)

    def shot(self, name: str) -> Path:
        """A screenshot of the whole screen into the test's artifacts, numbered in order."""
        self._shots += 1
        return self.desktop.screenshot(self.artifacts / ("%02d-%s.png" % (self._shots, name)))

    def start_app(self, program: Optional[Path] = None, cwd: Optional[Path] = None,
                  delay_file: Optional[Path] = None, env: Optional[dict] = None,
                  wait: bool = True) -> App:
        """Starts the program (BUILD/trellisane unless given) and waits for its window."""
        return self.desktop.start_app(program or BUILD / "trellisane", self.artifacts, cwd,
                                      delay_file, env, wait)

    # -- steps a person takes in the main window ----------------------------------------

    def main_window(self) -> Window:
        window = self.desktop.window("main")
        self.assertIsNotNone(window, "the main window is not visible")
        return window

    def click_button(self, caption: str) -> None:
        """Clicks the main window's push button with this caption."""
        self.desktop.click(self.main_window().control(caption, "push button"))

    def tick_subfolders(self) -> None:
        """Ticks "Add subfolders when adding folder" with a click, and waits until it reads
        as checked."""
        caption = "Add subfolders when adding folder"
        self.desktop.click(self.main_window().control(caption, "check box"))
        wait_until(lambda: "checked" in self.main_window().control(caption)["states"], 20,
                   "the subfolders box to be ticked")

    def add_through_browse(self, folder: Path, expected_rows: int, timeout: float = 60) -> None:
        """"Add Folder/s", the path typed into the browse dialog, Return; waits until the list
        holds `expected_rows` rows."""
        self.click_button("Add Folder/s")
        dialog = self.desktop.wait_window("browse")
        self.desktop.wait_focus(dialog)
        self.desktop.type_text(str(folder))
        self.desktop.key("Return")
        wait_until(lambda: self.desktop.window("browse") is None, 30,
                   "the browse dialog to close")
        wait_until(lambda: self.desktop.rows(limit=0)[0] == expected_rows, timeout,
                   "%d rows in the list" % expected_rows, interval=0.3)

    def answer_message(self, key: str = "Return", text: Optional[str] = None,
                       timeout: float = 60) -> Window:
        """Waits for a message box (saying `text`, when given), waits until it has the
        keyboard, presses `key` and waits until it is gone. Returns the box as it was."""
        box = self.desktop.wait_window("message", timeout, text)
        self.desktop.wait_focus(box)
        self.desktop.key(key)
        wait_until(lambda: all(w.x.id != box.x.id for w in self.desktop.windows()), 30,
                   "the message box to close after %s" % key)
        return box

    def choose_operation(self, name: str) -> None:
        """Opens the operation selector with a click and clicks the entry `name`."""
        main = self.main_window()
        self.desktop.click(next(c for c in main.controls if c["role"] == "combo box"))

        def entry():
            for window in self.desktop.windows():
                for control in window.controls:
                    if (control["role"] == "list item" and control["name"] == name
                            and "showing" in control["states"] and control["extents"]
                            and control["extents"][2] > 0 and control["extents"][1] > 0):
                        return control
            return None
        self.desktop.click(wait_until(entry, 20, "the selector's entry %r" % name))
