"""A list longer than one turn of the preview's writing, end to end: 30,031 folders added with
their sub-folders through the real browse dialog, the operation changed while the list is
long, then Start Renaming. The preview writes such a list a slice at a time so the window keeps
painting; whatever comes before its last slice must still see every row written. On disk every
folder of the tree, the last listed as much as the first, gets the name the last pass gave it,
and the window is left with nothing but itself on screen; Ctrl+Z at once puts every folder
back.
"""

import harness
from harness import WindowTest, folders_below, wait_until

PARENTS = 30
CHILDREN = 1000  # 30 parents of 1,000: more rows than the preview writes in one turn


class LargeListRenamed(WindowTest):

    def test_every_row_of_a_long_list_is_renamed_as_the_last_pass_said(self):
        big = self.tmp / "big"
        for parent in range(PARENTS):
            for child in range(CHILDREN):
                (big / ("Parent %02d" % parent) / ("Child %04d" % child)).mkdir(parents=True)
        before = folders_below(big)
        rows = len(before) + 1  # big itself and every folder below it
        self.assertEqual(rows, 1 + PARENTS + PARENTS * CHILDREN)

        self.step("start, tick the sub-folders box, add %d folders" % rows)
        self.start_app()
        self.tick_subfolders()
        self.add_through_browse(big, expected_rows=rows, timeout=180)
        count, first = self.desktop.rows(limit=2)
        self.assertEqual(first[0][1].rstrip("/").rpartition("/")[2], "CHILD 0000")
        self.shot("listed")

        self.step("\"lower case\" chosen for the whole list, then at once Start Renaming")
        self.choose_operation("Change case of folder(s) to lower case")
        self.click_button("Start Renaming")
        done = self.answer_message("Return", text="Done.", timeout=180)
        self.assertIn("Done.", done.text)

        self.step("check the disk and the screen")
        expected = sorted(p.lower() for p in before)
        wait_until(lambda: folders_below(big) == expected, 60, "every folder renamed")
        self.assertEqual(folders_below(big), expected)
        self.assertEqual([w.kind for w in self.desktop.windows()], ["main"])
        self.shot("renamed")

        # The run's journal is read back on a worker after the run; an undo asked for at once
        # must still take back this run, through the history.
        self.step("Ctrl+Z at once: Undo Last Renaming")
        self.desktop.wait_focus(self.main_window())
        self.desktop.key("ctrl+z")
        box = self.answer_message("Return", text="put back", timeout=180)
        # "big" itself was already lower case: every other row moved its folder.
        self.assertIn("%d folders were put back" % (rows - 1), box.text)
        wait_until(lambda: folders_below(big) == before, 60, "every folder back")
        self.assertEqual([w.kind for w in self.desktop.windows()], ["main"])
        self.shot("undone")


if __name__ == "__main__":
    harness.main()
