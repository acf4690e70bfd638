"""Cancel in the middle of a long run, Start Renaming for the rest, then Ctrl+Z.

A tree of 20,200 folders gets "_1" added to the end of every name, so a folder renamed twice
would show "_1_1". Every rename is slowed (the slow_rename shim) until Cancel has been clicked
in the progress window, so the run is stopped in its middle on any machine. Start Renaming then
renames the folders not tried, and on disk every folder carries exactly one "_1". Ctrl+Z (Undo
Last Renaming) puts back the folders of the last run and leaves those of the stopped run
renamed; a second Ctrl+Z, walking back through the history, puts back the stopped run's too.
Each undo's message is answered with Return.
"""

import os

import harness
from harness import WindowTest, set_delay, wait_until

TOPS = 200      # folders right inside the tree
INNER = 100     # folders inside each of those
SUFFIX = "_1"
# Slow enough that the stopped run is nowhere near its end when Cancel arrives; the folders not
# tried are renamed at full speed.
DELAY_US = 10_000


def renamed_names(root):
    """{path relative to root: the folder's own name} for every folder below root."""
    found = {}
    for folder, subfolders, _ in os.walk(root):
        for name in subfolders:
            found[os.path.relpath(os.path.join(folder, name), root)] = name
    return found


def original(path):
    """The path with SUFFIX taken off the end of each of its names."""
    return "/".join(part[:-len(SUFFIX)] if part.endswith(SUFFIX) else part
                    for part in path.split("/"))


class CancelThenRenameTheRest(WindowTest):

    def test_cancel_then_rest_renames_each_folder_once_and_undo_puts_back_the_last_run(self):
        base = self.tmp / "base"
        tree = base / "tree"
        for top in range(TOPS):
            for inner in range(INNER):
                os.makedirs(tree / ("d%03d" % top) / ("e%02d" % inner))
        folders = 1 + TOPS + TOPS * INNER
        before = sorted(["tree"] + ["tree/" + p for p in renamed_names(tree)])
        delay = self.tmp / "delay"
        set_delay(delay, 0)

        self.step("start")
        self.start_app(delay_file=delay)
        self.tick_subfolders()
        self.step("add the tree of %d folders" % folders)
        self.add_through_browse(tree, expected_rows=folders, timeout=120)
        self.step("choose \"Add x to end of each in folder(s)\", x = %s" % SUFFIX)
        self.choose_operation("Add x to end of each in folder(s)")
        prompt = self.desktop.wait_window("prompt")
        self.desktop.wait_focus(prompt)
        self.desktop.type_text(SUFFIX)
        self.desktop.key("Return")
        wait_until(lambda: self.desktop.rows(limit=1)[1][0][1].rstrip("/").endswith(SUFFIX),
                   60, "the preview of the new names", interval=0.3)

        self.step("\"Start Renaming\" with every rename slowed; Cancel in the middle")
        set_delay(delay, DELAY_US)
        self.click_button("Start Renaming")
        progress = self.desktop.wait_window("progress", 60)
        wait_until(lambda: sum(1 for p in self.disk(base) if p.endswith(SUFFIX)) >= 50, 60,
                   "some folders renamed")
        self.shot("progress")
        self.desktop.click(progress.control("Cancel", "push button"))
        stopped = self.answer_message("Return", text="stopped", timeout=60)
        self.step("stopped: %s" % stopped.text)
        after_first = self.disk(base)
        first_run = {p for p in after_first if original(p) != p}
        self.assertEqual(len(after_first), folders, "a folder went missing")
        self.assertGreater(len(first_run), 0)
        self.assertLess(len(first_run), folders // 2, "the run was not stopped in its middle")
        self.assertTrue(all(p.count(SUFFIX * 2) == 0 for p in after_first))

        self.step("\"Start Renaming\" for the rest, at full speed")
        set_delay(delay, 0)
        self.click_button("Start Renaming")
        done = self.answer_message("Return", timeout=120)
        self.assertIn("Done.", done.text)
        self.step("check the disk")
        after_second = self.disk(base)
        self.assertEqual(len(after_second), folders, "a folder went missing")
        twice = [p for p in after_second if SUFFIX * 2 in p]
        self.assertEqual(twice[:5], [], "folders renamed twice")
        not_renamed = [p for p in after_second
                       if not all(part.endswith(SUFFIX) for part in p.split("/"))]
        self.assertEqual(not_renamed[:5], [], "folders never renamed")
        self.assertEqual(sorted(original(p) for p in after_second), before)

        self.step("Ctrl+Z: Undo Last Renaming")
        main = self.main_window()
        self.desktop.wait_focus(main)
        self.desktop.key("ctrl+z")
        box = self.answer_message("Return", text="put back", timeout=120)
        self.step("the undo said: %s" % box.text)
        self.assertEqual(self.disk(base), after_first)

        self.step("Ctrl+Z again: the stopped run, from the history")
        # The rows of the list are rewritten after the first undo: the window may take a
        # moment to answer again.
        main = wait_until(lambda: self.desktop.window("main"), 60, "the main window")
        self.desktop.wait_focus(main)
        self.desktop.key("ctrl+z")
        box = self.answer_message("Return", text="put back", timeout=120)
        self.step("the undo said: %s" % box.text)
        self.shot("both-undone")
        self.assertEqual(self.disk(base), before)
        self.step("end")

    @staticmethod
    def disk(base):
        """Every folder below base as a sorted list of paths relative to it."""
        return sorted(renamed_names(base))


if __name__ == "__main__":
    harness.main()
