"""Closing the window while Start Renaming runs.

Every folder of a tree holds a marker file named after the folder's own path. Every rename is
slowed (the slow_rename shim) so that the run is under way when the window's close button in
its title bar is clicked. The program must end; no folder and no file may be lost; each folder
is either renamed (all of its path's names upper-cased up to it) or untouched, and the renamed
ones are the first rows of the list (the run goes deepest first, in list order).
"""

import os
import unittest

import harness
from harness import WindowTest, files_below, folders_below, set_delay, wait_until

TOPS = 12
INNER = 12
DELAY_US = 30_000


class CloseDuringRun(WindowTest):

    def make_tree(self):
        """The tree with a marker file in each folder; its folder count."""
        tree = self.tmp / "tree"
        for top in range(TOPS):
            for inner in range(INNER):
                folder = tree / ("d%02d" % top) / ("e%02d" % inner)
                folder.mkdir(parents=True)
                (folder / "marker").write_text(str(folder.relative_to(self.tmp)))
            (tree / ("d%02d" % top) / "marker").write_text("tree/d%02d" % top)
        (tree / "marker").write_text("tree")
        return 1 + TOPS + TOPS * INNER

    def start_and_list(self, delay):
        """Starts the program, adds the tree; the rows' current paths, relative to tmp."""
        app = self.start_app(delay_file=delay)
        self.tick_subfolders()
        count = 1 + TOPS + TOPS * INNER
        self.add_through_browse(self.tmp / "tree", expected_rows=count)
        _, rows = self.desktop.rows()
        return app, [os.path.relpath(current.rstrip("/"), self.tmp) for current, _ in rows]

    def test_closing_right_after_start_ends_the_program_and_loses_nothing(self):
        """The close button is clicked in the same breath as "Start Renaming" (one xdotool
        call), before the progress window shows; the first rename is held meanwhile."""
        folders = self.make_tree()
        files_before = files_below(self.tmp / "tree")
        delay = self.tmp / "delay"
        set_delay(delay, 0)
        self.step("start; add the tree of %d folders" % folders)
        app, order = self.start_and_list(delay)
        main = self.main_window()
        start = main.control("Start Renaming", "push button")["extents"]
        close = self.desktop.close_button(main.x)

        self.step("\"Start Renaming\" and at once the window's close button")
        set_delay(delay, 300_000)
        self.desktop.xdotool(
            "mousemove", "--sync", start[0] + start[2] // 2, start[1] + start[3] // 2,
            "click", "1", "mousemove", "--sync", close[0], close[1], "click", "1")
        status = app.wait_exit(60)
        self.step("the program ended with status %d" % status)
        self.assertEqual(status, 0, app.output())
        self.check_disk(order, files_before, folders)

    def test_closing_while_the_progress_window_shows_ends_the_program(self):
        """The close button of the main window, clicked while the progress window shows, ends
        the program after the folder being renamed, as a close before it shows does."""
        folders = self.make_tree()
        files_before = files_below(self.tmp / "tree")
        delay = self.tmp / "delay"
        set_delay(delay, 0)
        app, order = self.start_and_list(delay)
        main = self.main_window()

        self.step("\"Start Renaming\" with every rename slowed; close the window meanwhile")
        set_delay(delay, DELAY_US)
        self.click_button("Start Renaming")
        self.desktop.wait_window("progress", 60)
        wait_until(lambda: self.renamed_count() >= 10, 60, "some folders renamed")
        self.shot("running")
        self.desktop.click_at(*self.desktop.close_button(main.x))
        # Either the program ends, or the run goes on to its end box and the close was lost.
        wait_until(lambda: not app.running() or self.desktop.window("message"),
                   max(30.0, 3 * folders * DELAY_US / 1e6), "the program to end")
        if app.running():
            self.shot("not-closed")
            self.fail("the close was ignored; the program shows: %s"
                      % "; ".join(str(w) for w in self.desktop.windows()))
        status = app.wait_exit()
        self.assertEqual(status, 0, app.output())
        self.check_disk(order, files_before, folders)
        self.assertLess(self.renamed_count(), folders, "the run was not stopped by the close")

    def check_disk(self, order, files_before, folders):
        """No folder or file lost; the renamed folders are the first rows, the others as they
        were; each marker file in its folder with its text."""
        everything = self.all_folders()
        self.assertEqual(len(everything), folders, "a folder went missing")
        self.assertEqual(sorted(self.original(p) for p in everything), sorted(order))
        renamed_now = {self.original(p) for p in everything if p.split("/")[-1].isupper()}
        self.step("%d of %d folders renamed" % (len(renamed_now), folders))
        self.assertEqual(sorted(renamed_now), sorted(order[:len(renamed_now)]),
                         "the renamed folders are not the first rows of the run")
        files_after = {}
        for path in self.all_files():
            files_after[self.original(path)] = (self.tmp / path).read_text()
        self.assertEqual(sorted(files_after), sorted("tree/" + f for f in files_before))
        for path, text in files_after.items():
            self.assertEqual(text, os.path.dirname(path), "the marker of %s" % path)

    def all_folders(self):
        return [p for p in folders_below(self.tmp) if p.split("/")[0] in ("tree", "TREE")]

    def all_files(self):
        return [p for p in files_below(self.tmp) if p.split("/")[0] in ("tree", "TREE")]

    def renamed_count(self):
        return sum(1 for p in self.all_folders() if p.split("/")[-1].isupper())

    @staticmethod
    def original(path):
        """The folder's path before any renaming (the tree's names are lower case)."""
        return path.lower()


if __name__ == "__main__":
    harness.main()
