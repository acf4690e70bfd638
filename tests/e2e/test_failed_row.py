"""A run with a folder that cannot be renamed, answered with the keyboard alone.

`small` holds `abc`, `ABC` and `zzz`; with its subfolders it is listed and upper-cased. `abc`
cannot become `ABC` (the name is taken), so a failure report opens while the run waits for it.
Every rename is slowed (the slow_rename shim) so that the run lasts past the half second after
which the progress window shows. While the report is open it must be the window on top with the
keyboard, uncovered by the progress window; Return alone answers it, and the run goes on to
rename `zzz` and `small` and finish with a box that Return closes too.
"""

import time

import harness
from harness import WindowTest, folders_below, set_delay, wait_until

# Each rename is held this long, so the run outlives the progress window's half-second delay.
DELAY_US = 400_000
# How long the open report is watched for the progress window coming over it: well past the
# half second after which the progress window shows.
WATCH_SECONDS = 2.0


class FailedRowAnsweredWithReturn(WindowTest):

    def test_report_stays_on_top_with_the_keyboard_and_the_run_finishes(self):
        small = self.tmp / "small"
        for name in ("abc", "ABC", "zzz"):
            (small / name).mkdir(parents=True)
        delay = self.tmp / "delay"
        set_delay(delay, 0)

        self.step("start the program with every rename slowed")
        self.start_app(delay_file=delay)
        self.tick_subfolders()
        self.step("add %s with its subfolders" % small)
        self.add_through_browse(small, expected_rows=4)
        set_delay(delay, DELAY_US)

        self.step("\"Start Renaming\"; from here on only the keyboard")
        self.click_button("Start Renaming")
        report = self.desktop.wait_window("message", 60, text="cannot be renamed")
        self.step("the report is open: %s" % report)
        self.shot("report")

        # Watched for a while: the report must stay the top window with the keyboard.
        watch_end = time.monotonic() + WATCH_SECONDS
        while time.monotonic() < watch_end:
            self.assert_report_answerable(report)
            time.sleep(0.1)
        self.shot("report-still-on-top")

        self.step("Return on the report")
        self.desktop.key("Return")
        wait_until(lambda: all(w.x.id != report.x.id for w in self.desktop.windows()), 30,
                   "the report to close after Return")
        self.step("the run goes on to its end")
        end = self.desktop.wait_window("message", 120)
        self.shot("end-of-run")
        self.step("the run's end: %s" % end)
        self.assertNotIn("cannot be renamed", end.text,
                         "the report came again: Return did not answer it")
        self.assertNotIn("stopped", end.text, "the run was stopped")
        self.desktop.wait_focus(end)
        self.desktop.key("Return")
        wait_until(lambda: self.desktop.window("message") is None, 30,
                   "the end-of-run box to close after Return")

        self.assertEqual(folders_below(self.tmp / "SMALL"), ["ABC", "ZZZ", "abc"])
        self.assertFalse(small.exists())

    def assert_report_answerable(self, report):
        """The report is visible, no window of the program above it covers it, the progress
        window is not showing, and the report holds the keyboard."""
        windows = self.desktop.windows()
        ids = [w.x.id for w in windows]
        self.assertIn(report.x.id, ids, "the report closed by itself")
        above = windows[ids.index(report.x.id) + 1:]
        progress = [w for w in windows if w.kind == "progress"]
        if progress:
            self.shot("progress-over-report")
        if progress:
            self.fail("the progress window shows while the report is open: %s"
                      % "; ".join(str(w) for w in progress))
        covering = [w for w in above if w.x.overlaps(report.x)]
        if covering:
            self.fail("a window covers the report: %s" % "; ".join(str(w) for w in covering))
        focused = self.desktop.focused_x_window()
        self.assertEqual(focused, report.x.id,
                         "the keyboard is not on the report but on window 0x%x" % focused)


if __name__ == "__main__":
    harness.main()
