"""A run killed in its middle is undone after a restart, from the history.

A tree of 20,200 folders, each inner one holding a marker file, gets "_1" added to the end of
every name. Every rename is slowed (the slow_rename shim) so that the run is still in its middle
when the program is killed with SIGKILL, as a crash or a power cut would end it. The program is
started again: once its window shows, it says the last run was cut short and offers to undo it;
the offer is accepted (Return: Yes), the undo puts every folder back in the background, and
every folder and marker is where it was before the run.
"""

import os
import subprocess

import harness
from harness import WindowTest, files_below, folders_below, set_delay, wait_until

TOPS = 200
INNER = 100
SUFFIX = "_1"
DELAY_US = 10_000


class KilledRunUndoneAfterRestart(WindowTest):

    def test_a_run_killed_in_its_middle_is_offered_and_undone_after_the_restart(self):
        base = self.tmp / "base"
        tree = base / "tree"
        for top in range(TOPS):
            for inner in range(INNER):
                folder = tree / ("d%03d" % top) / ("e%02d" % inner)
                os.makedirs(folder)
                (folder / "marker").write_text("%d %d" % (top, inner))
        folders = 1 + TOPS + TOPS * INNER
        before = folders_below(base)
        markers = files_below(base)
        delay = self.tmp / "delay"
        set_delay(delay, 0)

        self.step("start, add the tree of %d folders" % folders)
        app = self.start_app(delay_file=delay)
        self.tick_subfolders()
        self.add_through_browse(tree, expected_rows=folders, timeout=120)
        self.choose_operation("Add x to end of each in folder(s)")
        prompt = self.desktop.wait_window("prompt")
        self.desktop.wait_focus(prompt)
        self.desktop.type_text(SUFFIX)
        self.desktop.key("Return")
        wait_until(lambda: self.desktop.rows(limit=1)[1][0][1].rstrip("/").endswith(SUFFIX),
                   60, "the preview of the new names", interval=0.3)

        self.step("\"Start Renaming\" with every rename slowed; SIGKILL in the middle")
        set_delay(delay, DELAY_US)
        self.click_button("Start Renaming")
        wait_until(lambda: sum(1 for p in folders_below(base) if p.endswith(SUFFIX)) >= 50, 60,
                   "some folders renamed")
        self.shot("running")
        app.kill()
        killed = folders_below(base)
        renamed = [p for p in killed if p.endswith(SUFFIX)]
        self.step("killed with %d folders renamed" % len(renamed))
        self.assertEqual(len(killed), len(before), "a folder went missing")
        self.assertLess(len(renamed), folders // 2, "the run was not killed in its middle")
        history = subprocess.run([str(harness.BUILD / "trellisane-cli"), "--history"],
                                 env=self.desktop.env, capture_output=True, text=True,
                                 timeout=60)
        self.step("the history: %s" % history.stdout.strip())
        self.assertEqual(history.stdout.split("\t")[2], "cut-short")

        self.step("start again: the offer to undo the run cut short")
        set_delay(delay, 0)
        app.start(wait=False)  # the offer takes the keyboard once the window shows
        offer = self.desktop.wait_window("message", 60, "cut short")
        self.assertIsNotNone(self.desktop.window("main"), "the offer came before the window")
        self.step("offered: %s" % offer.text)
        self.assertIn("with %d folders renamed" % len(renamed), offer.text)
        self.shot("offer")
        self.desktop.wait_focus(offer)
        self.desktop.key("Return")  # Yes
        self.desktop.wait_window("message", 120, "put back")
        self.shot("undone")
        told = self.answer_message("Return", text="put back")
        self.step("the undo said: %s" % told.text)
        self.assertEqual(folders_below(base), before)
        self.assertEqual(files_below(base), markers)
        for top in (0, TOPS - 1):
            marker = tree / ("d%03d" % top) / "e00" / "marker"
            self.assertEqual(marker.read_text(), "%d 0" % top)
        states = subprocess.run([str(harness.BUILD / "trellisane-cli"), "--history"],
                                env=self.desktop.env, capture_output=True, text=True,
                                timeout=60).stdout
        self.assertEqual(states.split("\t")[2], "undone")

        self.step("History... (Ctrl+H)")
        self.desktop.wait_focus(self.main_window())
        self.desktop.key("ctrl+h")
        wait_until(lambda: self.desktop.windows_titled("History"), 30, "the History window")
        self.shot("history")
        self.desktop.key("Escape")
        wait_until(lambda: not self.desktop.windows_titled("History"), 30,
                   "the History window to close")

        self.step("end")


if __name__ == "__main__":
    harness.main()
