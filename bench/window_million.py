#!/usr/bin/python3
"""bench/window_million.py BUILD TREE ROWS OUT: the real window adding a large tree.

Starts BUILD/trellisane as a person's file manager would, `trellisane --subfolders TREE`, on a
private desktop (Xvfb, openbox, a session bus with AT-SPI: the end-to-end tests' harness), and
measures until the list holds ROWS rows (the folders below TREE and TREE itself):

- seconds from the start of the program until AT-SPI reads ROWS rows in the list;
- how long the window's event loop was kept from running, from outside: BUILD/wm_ping sends the
  window the window manager's _NET_WM_PING every 10 ms and times each answer, from the moment
  the window shows until two seconds after End and Home were pressed in the settled list;
- the program's resident memory (VmRSS) once settled, and its peak (VmHWM).

Writes OUT/window.json and OUT/window.png (the screen once settled; look at it) and prints one
line. A figure, not a test: nothing here passes or fails on time.
"""

import json
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path


def memory_kb(pid: int) -> dict:
    """VmRSS and VmHWM of a process, in kB; {} once it has ended."""
    found = {}
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                key, _, value = line.partition(":")
                if key in ("VmRSS", "VmHWM"):
                    found[key] = int(value.split()[0])
    except OSError:
        pass
    return found


def main() -> int:
    if len(sys.argv) != 5:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    build, tree, rows, out = Path(sys.argv[1]).resolve(), sys.argv[2], int(sys.argv[3]), Path(sys.argv[4])
    os.environ["TRELLISANE_BUILD"] = str(build)
    sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
    import harness  # noqa: E402 (needs TRELLISANE_BUILD first)

    missing = harness.missing_desktop_tools()
    if missing or not (build / "wm_ping").exists():
        print("window: left out (missing: %s)" % ", ".join(missing or ["wm_ping"]), file=sys.stderr)
        return 0
    out.mkdir(parents=True, exist_ok=True)
    work = Path(tempfile.mkdtemp(prefix="trellisane-window-"))
    desktop = harness.Desktop(work).start()
    program = ping = None
    try:
        env = dict(desktop.env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1")
        started = time.monotonic()
        with open(out / "window-stderr.txt", "wb") as err:
            program = subprocess.Popen([str(build / "trellisane"), "--subfolders", tree], env=env,
                                       cwd=str(work), stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=err)

        def main_window():
            titled = [w for w in desktop.x_windows() if w.viewable and w.title == harness.TITLE]
            return titled[0] if titled else None
        window = harness.wait_until(main_window, 60, "the main window", interval=0.05)
        shown = time.monotonic() - started
        ping = subprocess.Popen([str(build / "wm_ping"), str(window.id), "10"], env=desktop.env,
                                stdout=subprocess.PIPE, text=True)

        peak_rss = 0
        count = -1
        while count != rows:
            if program.poll() is not None:
                raise RuntimeError("the program ended (status %s)" % program.returncode)
            if time.monotonic() - started > 1800:
                raise RuntimeError("not settled after 30 minutes (%d rows)" % count)
            peak_rss = max(peak_rss, memory_kb(program.pid).get("VmRSS", 0))
            try:
                count = desktop.rows(limit=0)[0]
            except Exception:  # the reader times out while the window is busy: ask again
                count = -1
            if count != rows:
                time.sleep(0.2)
        settled = time.monotonic() - started
        settled_memory = memory_kb(program.pid)

        # The settled list, scrolled to its end and back, as a person would look through it.
        desktop.click_at(window.x + window.width // 2, window.y + window.height // 2)
        for key in ("End", "Home"):
            desktop.key(key)
            time.sleep(1)
        time.sleep(1)
        desktop.screenshot(out / "window.png")
        ping.send_signal(2)
        ping_out, _ = ping.communicate(timeout=30)
        first, *stalls = ping_out.strip().splitlines()
        pinged = {k: float(v) for k, v in (pair.split("=") for pair in first.split())}
        final_memory = memory_kb(program.pid)
        result = {
            "folders": rows, "shown_s": round(shown, 2), "settled_s": round(settled, 2),
            "rss_settled_mb": round(settled_memory.get("VmRSS", 0) / 1024),
            "rss_peak_sampled_mb": round(max(peak_rss, settled_memory.get("VmRSS", 0)) / 1024),
            "hwm_mb": round(final_memory.get("VmHWM", 0) / 1024),
            "pings": int(pinged["pings"]), "max_stall_ms": pinged["max_ms"],
            "p99_ms": pinged["p99_ms"], "stalls_over_50ms": int(pinged["over50"]),
            "stalls": [[float(x) for x in line.split()[1:]] for line in stalls],
        }
        (out / "window.json").write_text(json.dumps(result, indent=1) + "\n")
        print("window: %(folders)d rows settled in %(settled_s).1f s; resident %(rss_settled_mb)d MB"
              " (peak %(hwm_mb)d MB); longest stall %(max_stall_ms).0f ms, %(stalls_over_50ms)d over"
              " 50 ms" % result)
        return 0
    finally:
        if ping is not None and ping.poll() is None:
            ping.kill()
        if program is not None and program.poll() is None:
            program.terminate()
            try:
                program.wait(timeout=30)
            except subprocess.TimeoutExpired:
                program.kill()
        desktop.stop()
        subprocess.run(["rm", "-rf", str(work)], check=False)


if __name__ == "__main__":
    sys.exit(main())
