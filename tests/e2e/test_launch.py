"""One window per display, end to end: a second real start hands its folders to the first real
window and ends, and the window lists them, ticks its check box for --subfolders and carries the
second start's startup id, which is what lets KWin or Mutter bring it to the front. A start
without a runtime folder or session bus opens a window of its own instead.
"""

import os
import subprocess

import harness
from harness import BUILD, TIME_SCALE, WindowTest, wait_until

SUBFOLDERS = "Add subfolders when adding folder"


class SecondStartJoinsTheWindow(WindowTest):

    def start_again(self, *arguments, env_changes=None, drop=()):
        """Starts the program once more on this desktop, from self.tmp; its CompletedProcess."""
        env = dict(self.desktop.env, QT_QPA_PLATFORM="xcb")
        env.update(env_changes or {})
        for name in drop:
            env.pop(name, None)
        return subprocess.run([str(BUILD / "trellisane")] + list(arguments), cwd=str(self.tmp),
                              env=env, capture_output=True, text=True, timeout=60 * TIME_SCALE)

    def listed(self):
        """The rows' current paths, relative to self.tmp."""
        _, rows = self.desktop.rows()
        return [os.path.relpath(current.rstrip("/"), self.tmp) for current, _ in rows]

    def main_windows(self):
        return [w for w in self.desktop.windows() if w.kind == "main"]

    def test_second_start_hands_over_its_folders_and_startup_id(self):
        (self.tmp / "Photos" / "2019" / "Summer").mkdir(parents=True)
        (self.tmp / "Photos" / "2020").mkdir()
        (self.tmp / "Music").mkdir()

        self.step("first start, without folders: an empty list")
        first = self.start_app(cwd=self.tmp)
        self.assertEqual(self.desktop.rows(limit=0)[0], 0)
        main = self.main_window()

        self.step("second start: --subfolders Photos (relative), with a startup id")
        second = self.start_again("--subfolders", "Photos",
                                  env_changes={"DESKTOP_STARTUP_ID": "e2e-launch_TIME4242"})
        self.assertEqual(second.returncode, 0, second.stderr)
        wait_until(lambda: self.desktop.rows(limit=0)[0] == 4, 60, "4 rows", interval=0.3)
        self.assertEqual(self.listed(),
                         ["Photos/2019/Summer", "Photos/2019", "Photos/2020", "Photos"])
        wait_until(lambda: "checked" in self.main_window().control(SUBFOLDERS)["states"], 20,
                   "the subfolders box to be ticked")
        startup_id = self.desktop.run(["xprop", "-id", str(main.x.id), "_NET_STARTUP_ID"]).stdout
        self.assertIn('"e2e-launch_TIME4242"', startup_id)

        self.step("third start: a file:// address; a missing folder beside it")
        third = self.start_again((self.tmp / "Music").as_uri(), "Missing")
        self.assertEqual(third.returncode, 0, third.stderr)
        box = self.answer_message(text="Only folders are listed")
        self.assertIn(str(self.tmp / "Missing"), box.text)
        wait_until(lambda: self.desktop.rows(limit=0)[0] == 5, 60, "5 rows", interval=0.3)
        self.assertEqual(self.listed()[-1], "Music")

        self.step("fourth start, without folders: only the window is brought forward")
        fourth = self.start_again()
        self.assertEqual(fourth.returncode, 0, fourth.stderr)
        self.assertEqual(len(self.main_windows()), 1)
        self.assertEqual(self.desktop.rows(limit=0)[0], 5)
        self.assertTrue(first.running())

        self.step("a start without runtime folder or session bus: a window of its own")
        env = dict(self.desktop.env, QT_QPA_PLATFORM="xcb")
        for name in ("XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS"):
            env.pop(name)
        alone = subprocess.Popen([str(BUILD / "trellisane")], cwd=str(self.tmp), env=env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_until(lambda: alone.poll() is None and len(self.main_windows()) == 2, 60,
                       "a second main window")
        finally:
            alone.terminate()
            alone.wait(timeout=30)
        self.assertTrue(first.running())


if __name__ == "__main__":
    harness.main()
