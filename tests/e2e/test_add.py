"""An add through the real browse dialog, typed key by key, then Start Renaming.

Two sibling folders share a prefix: rv/b holds a copy of the program and is its working folder
(as with `make run`), rv/big a tree of long names. The path of rv/big is typed into the dialog
(its completion popup opens on the way) and Return pressed: only rv/big's tree may be listed,
deepest first, and only it renamed.
"""

import os
import shutil
import sys
from pathlib import Path

import harness
from harness import BUILD, WindowTest, folders_below, wait_until

LONG_NAMES = [
    "big/Holiday photos from the summer of two thousand and nineteen",
    "big/Holiday photos from the summer of two thousand and nineteen/"
    "Day one at the seaside with the whole family",
    "big/Holiday photos from the summer of two thousand and nineteen/"
    "Day two in the mountains before the rain came",
    "big/Receipts and invoices kept for the tax return",
]


def depth_order(paths):
    """Deepest first, then binary order of the paths: the order a batch is listed in."""
    return sorted(paths, key=lambda p: (-p.count("/"), p.encode()))


class AddThroughBrowseDialog(WindowTest):

    def test_typed_path_lists_the_tree_deepest_first_and_renames_only_it(self):
        rv = self.tmp / "rv"
        program = rv / "b"
        program.mkdir(parents=True)
        shutil.copy2(BUILD / "trellisane", program)
        for data in ("x", "HAND-M.CUR"):
            source = BUILD / data
            if source.is_dir():
                shutil.copytree(source, program / data)
            elif source.exists():
                shutil.copy2(source, program)
        for i in range(1, 21):
            (program / ("build-%d" % i)).mkdir()
        for name in LONG_NAMES:
            (rv / name).mkdir(parents=True)
        before = folders_below(rv)

        self.step("start the program from rv/b")
        self.start_app(program / "trellisane", cwd=program)
        self.step("tick \"Add subfolders when adding folder\"")
        self.tick_subfolders()
        self.step("\"Add Folder/s\", type %s, Return" % (rv / "big"))
        self.add_through_browse(rv / "big", expected_rows=len(LONG_NAMES) + 1)
        self.step("read the rows")

        count, rows = self.desktop.rows()
        listed = [os.path.relpath(current.rstrip("/"), rv) for current, _ in rows]
        self.assertEqual(listed, depth_order(LONG_NAMES + ["big"]))
        for current, new in rows:
            head, _, own = current.rstrip("/").rpartition("/")
            self.assertEqual(new.rstrip("/"), head + "/" + own.upper(),
                             "the preview of %s" % current)
        self.shot("listed")

        docs = os.environ.get("TRELLISANE_E2E_DOCS")
        if docs:
            self.photograph_long_path_tooltip(os.path.join(docs, "screenshot-long-paths.png"))

        self.step("\"Start Renaming\", Return on \"Done.\"")
        self.click_button("Start Renaming")
        done = self.answer_message("Return", timeout=60)
        self.assertIn("Done.", done.text)

        self.step("check the disk")

        def upper_in_big(path):
            return path.upper() if path.startswith("big") else path
        expected = sorted(upper_in_big(p) for p in before)
        wait_until(lambda: folders_below(rv) == expected, 30, "rv/big's tree renamed")
        self.assertEqual(folders_below(rv), expected)

    def photograph_long_path_tooltip(self, target):
        """Rests the pointer on the second row's current path until its tooltip (the whole
        path) shows, and saves the screen's band where the window is."""
        main = self.main_window()
        table = next(c for c in main.controls if c["role"] == "table")
        x, y, _, _ = table["extents"]
        # Header and rows are about 20 px high; the tooltip shows over the active window.
        self.desktop.xdotool("mousemove", "--sync", x + 150, y + 20 + 10)
        self.desktop.xdotool("mousemove", "--sync", x + 160, y + 20 + 24 + 4)
        wait_until(self.desktop.popups, 20, "the cell's tooltip")
        self.desktop.screenshot(Path(target),
                                crop=(0, main.x.y, self.screen[0], main.x.height))
        print("saved %s" % target, file=sys.stderr)


if __name__ == "__main__":
    harness.main()
