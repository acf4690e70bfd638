"""The sample folders, as a new user meets them, on a copy of the built program.

"Load Sample/Example Folders", No to the question, "Start Renaming", Return on "Done.": every
sample folder loses its digits, folders inside a sample move with it under their own names, and
the build's own Samples folder is untouched (the program renames the Samples folder beside
itself, so it runs from a copy).

With TRELLISANE_E2E_DOCS=FOLDER (as `make screenshot` sets it) the steps are also photographed
into FOLDER: screenshot.png (the window as it opens), try-samples-1..5-*.png (each step) and
screenshot-conflicts.png (rows that cannot be renamed, one with its reason in a tooltip).
"""

import os
import re
import shutil
import tempfile
from pathlib import Path

import harness
from harness import BUILD, WindowTest, wait_until

WINDOW_SIZE = (696, 343)


def names_in(folder):
    return sorted(entry.name for entry in os.scandir(folder) if entry.is_dir())


def without_digits(name):
    return re.sub(r"[0-9]", "", name)


class SampleFolders(WindowTest):

    def setUp(self):
        super().setUp()
        self.docs = os.environ.get("TRELLISANE_E2E_DOCS")
        if self.docs:
            # A short path, so that the photographed list shows the samples' own names.
            self.program = Path(tempfile.mkdtemp(prefix="try-", dir=harness.temp_root()))
            self.addCleanup(shutil.rmtree, self.program, True)
        else:
            self.program = self.tmp / "program"
            self.program.mkdir()
        shutil.copy2(BUILD / "trellisane", self.program)
        for data in ("Samples", "x", "HAND-M.CUR"):
            source = BUILD / data
            if source.is_dir():
                shutil.copytree(source, self.program / data)
            elif source.exists():
                shutil.copy2(source, self.program)
        self.samples = self.program / "Samples"
        self.assertTrue(names_in(self.samples), "the build has no sample folders")

    def photograph(self, name, window=None):
        """In docs mode: the screen where the main window is (with any box in front of it),
        into the docs folder."""
        if not self.docs:
            return
        main = window or self.main_window()
        target = Path(self.docs) / name
        self.desktop.screenshot(target, crop=(main.x.x, main.x.y, main.x.width, main.x.height))
        self.step("saved %s" % target)

    def test_load_samples_answer_no_and_rename_them(self):
        before = names_in(self.samples)
        nested_before = harness.folders_below(self.samples)
        build_before = harness.folders_below(BUILD / "Samples")

        self.step("start the copy of the program")
        self.start_app(self.program / "trellisane")
        main = self.main_window()
        self.assertEqual((main.x.width, main.x.height), WINDOW_SIZE)
        self.photograph("screenshot.png")
        self.photograph("try-samples-1-start.png")

        self.step("\"Load Sample/Example Folders\"")
        self.click_button("Load Sample/Example Folders")
        question = self.desktop.wait_window("message", 60)
        self.desktop.wait_focus(question)
        self.assertIn("No", question.buttons)
        self.photograph("try-samples-2-question.png")
        self.step("answer No with the key n")
        self.desktop.key("n")
        wait_until(lambda: self.desktop.window("message") is None, 30, "the question to close")

        count, rows = wait_until(lambda: self.listed(len(before)), 30,
                                 "the samples listed with their previews")
        self.assertEqual([Path(c.rstrip("/")).name for c, _ in rows], before)
        self.assertEqual([Path(n.rstrip("/")).name for _, n in rows],
                         [without_digits(name) for name in before])
        self.assertEqual(self.main_window().control("Remove numeric character(s) in folder(s)",
                                                    "combo box")["role"], "combo box")
        self.photograph("try-samples-3-listed.png")

        self.step("\"Start Renaming\"")
        self.click_button("Start Renaming")
        done = self.desktop.wait_window("message", 60)
        self.assertIn("Done.", done.text)
        self.photograph("try-samples-4-done.png")
        self.step("Return on \"Done.\"")
        self.answer_message("Return")
        self.photograph("try-samples-5-renamed.png")

        self.assertEqual(names_in(self.samples),
                         sorted(without_digits(name) for name in before))

        def carried(path):  # the sample's own name loses its digits, those inside keep theirs
            top, _, rest = path.partition("/")
            return without_digits(top) + ("/" + rest if rest else "")
        self.assertEqual(harness.folders_below(self.samples),
                         sorted(carried(p) for p in nested_before))
        self.assertEqual(harness.folders_below(BUILD / "Samples"), build_before,
                         "the build's own samples changed")

    def test_rows_in_the_way_are_marked_with_their_reason(self):
        """Folders beside the samples hold the names two samples would get ("PROJECT alpha",
        "Photos Summer Trip"), and "2024" would lose its whole name: their rows are marked, and
        resting the pointer on such a New Name cell shows why. Photographed in docs mode."""
        for name in ("PROJECT alpha", "Photos Summer Trip", "2024"):
            (self.samples / name).mkdir()
        self.start_app(self.program / "trellisane")
        self.click_button("Load Sample/Example Folders")
        self.answer_message("n", timeout=60)
        count, rows = wait_until(lambda: self.listed(len(names_in(self.samples))), 30,
                                 "the samples listed with their previews")
        # "PROJECT alpha2" is the fifth row: its New Name cell.
        row = [Path(c.rstrip("/")).name for c, _ in rows].index("PROJECT alpha2")
        main = self.main_window()
        table = next(c for c in main.controls if c["role"] == "table")
        x, y, width, _ = table["extents"]
        cell_x = x + width // 2 + 120
        cell_y = y + 20 + row * 20 + 10
        self.desktop.xdotool("mousemove", "--sync", cell_x - 10, cell_y - 2)
        self.desktop.xdotool("mousemove", "--sync", cell_x, cell_y)
        tooltip = wait_until(self.desktop.popups, 20, "the cell's tooltip")
        self.step("tooltip shown: %s" % tooltip)
        if self.docs:
            target = Path(self.docs) / "screenshot-conflicts.png"
            # The whole width of the screen: the tooltip may reach beyond the window.
            self.desktop.screenshot(target, crop=(0, main.x.y, self.screen[0], main.x.height))
            self.step("saved %s" % target)

    def listed(self, expected):
        """(count, rows) once the list holds `expected` rows that all have a new name."""
        count, rows = self.desktop.rows()
        if count == expected and all(new for _, new in rows):
            return count, rows
        return None


if __name__ == "__main__":
    harness.main()
