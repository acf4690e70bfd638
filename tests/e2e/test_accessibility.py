"""The main window as a screen reader meets it, through AT-SPI.

Every control has its name and role; the buttons and the selector, whose captions do not say
all they do, a description; the list is named and reads its two columns. A folder that cannot
be renamed (`abc` beside `ABC`, upper-cased) is marked in the list not only by an icon and a
colour: its cell's description says why. Tab reaches every control, in order, from the
keyboard alone.
"""

import harness
from harness import WindowTest, wait_until

# The selector as AT-SPI names it on Linux: by its current entry (Qt gives a combo box's label
# through a relation there, not as its name); its description says what it is.
SELECTOR = "Change case of folder(s) to UPPER CASE"

# (role, accessible name, whether a description is expected) for every control of the window.
CONTROLS = [
    ("table", "Folders", True),
    ("push button", "Add Folder/s", True),
    ("push button", "Start Renaming", True),
    ("panel", "Options", False),
    ("combo box", SELECTOR, True),
    ("panel", "Add Folder Option", False),
    ("check box", "Add subfolders when adding folder", False),
    ("push button", "Clear List", True),
    ("push button", "Load Sample/Example Folders", True),
    ("push button", "Help", True),
]

# The controls Tab goes through, in order, starting from the list.
TAB_ORDER = ["Folders", "Add Folder/s", "Start Renaming", SELECTOR,
             "Add subfolders when adding folder", "Clear List", "Load Sample/Example Folders",
             "Help"]


class AccessibleWindow(WindowTest):

    def test_controls_list_and_marks_read_as_text(self):
        small = self.tmp / "small"
        for name in ("abc", "ABC"):
            (small / name).mkdir(parents=True)

        self.step("start the program")
        self.start_app()
        main = self.main_window()
        for role, name, described in CONTROLS:
            control = main.control(name, role)
            if described:
                self.assertTrue(control["description"], "%s %r has no description" % (role, name))
        self.assertIn("renaming operation", main.control(SELECTOR, "combo box")["description"])

        self.step("Tab goes through every control in order")
        self.desktop.click(main.control("Folders", "table"))
        focused = []
        for _ in TAB_ORDER:
            seen = wait_until(lambda: [c["name"] for c in self.main_window().controls
                                       if "focused" in c["states"] and c["name"]], 20,
                              "a focused control")
            focused.append(seen[0])
            self.desktop.key("Tab")
        self.assertEqual(focused, TAB_ORDER)

        self.step("add %s with its subfolders: the list reads both columns" % small)
        self.tick_subfolders()
        self.add_through_browse(small, expected_rows=3)
        columns, _ = self.desktop.cells(limit=0)
        self.assertEqual(columns, ["Name Of Folder - Current", "Name Of Folder - New Name"])

        self.step("upper case: 'abc' cannot become 'ABC', and its cell says why")
        def marked():
            for (current, _), (new, description) in self.desktop.cells()[1]:
                if current.rstrip("/").endswith("/abc") and description:
                    return current, new, description
            return None
        current, new, description = wait_until(marked, 60, "the mark of the 'abc' row")
        self.step("%s -> %s: %s" % (current, new, description))
        self.assertTrue(new.rstrip("/").endswith("/ABC"), new)
        self.assertIn("Cannot be renamed.", description)
        self.assertIn("already taken", description)


if __name__ == "__main__":
    harness.main()
