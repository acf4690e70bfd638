"""The window in German and in Japanese, chosen from the environment as a person's desktop sets
it: LC_ALL for German, and LANGUAGE (which goes before the locale) for Japanese over an English
locale. The controls read, through AT-SPI, in the language; the sample folders are listed; the
window is photographed (into TRELLISANE_E2E_DOCS as screenshot-LANG.png when that is set, as
`make screenshot` does).
"""

import os
import shutil
import tempfile
from pathlib import Path

import harness
from harness import BUILD, WindowTest, wait_until

# language: (the environment added, the captions of the buttons in that language)
LANGUAGES = {
    "de": ({"LC_ALL": "de_DE.UTF-8", "LANG": "de_DE.UTF-8"},
           ["Ordner hinzufügen", "Umbenennen starten", "Liste leeren", "Beispielordner laden",
            "Hilfe"]),
    "ja": ({"LC_ALL": "en_US.UTF-8", "LANG": "en_US.UTF-8", "LANGUAGE": "ja"},
           ["フォルダーを追加", "名前の変更を開始", "一覧を消去", "サンプルフォルダーを読み込む",
            "ヘルプ"]),
}


class TranslatedWindow(WindowTest):

    def setUp(self):
        super().setUp()
        self.docs = os.environ.get("TRELLISANE_E2E_DOCS")
        # A short path, so that the photographed list shows the samples' own names.
        self.program = Path(tempfile.mkdtemp(prefix="try-", dir=harness.temp_root()))
        self.addCleanup(shutil.rmtree, self.program, True)
        shutil.copy2(BUILD / "trellisane", self.program)
        shutil.copytree(BUILD / "Samples", self.program / "Samples")

    def main_window(self):
        """The program's window holding the folder list, whatever language it speaks."""
        for window in self.desktop.windows():
            if any(control["role"] == "table" for control in window.controls):
                return window
        return None

    def message_box(self):
        """A message box in front of the main window (one without the list), or None."""
        for window in self.desktop.windows():
            roles = {control["role"] for control in window.controls}
            if "table" not in roles and "push button" in roles:
                return window
        return None

    def check_language(self, language):
        env, captions = LANGUAGES[language]
        self.step("start the program with %s" % env)
        app = self.start_app(self.program / "trellisane", env=env, wait=False)
        main = wait_until(self.main_window, 60, "the main window")
        for caption in captions:
            main.control(caption, "push button")

        self.step("load the samples and answer the question with Escape (no)")
        self.desktop.click(main.control(captions[3], "push button"))
        question = wait_until(self.message_box, 60, "the question")
        self.desktop.wait_focus(question)
        self.step("the question: %s" % question.text)
        self.assertNotIn("Would you like", question.text)
        self.assertTrue(question.text.strip(), "the question is empty")
        self.desktop.key("Escape")
        wait_until(lambda: self.message_box() is None, 30, "the question to close")
        rows = wait_until(lambda: self.desktop.rows()[0], 30, "the samples in the list")
        self.step("%d rows listed" % rows)

        main = self.main_window()
        target = (Path(self.docs) if self.docs else self.artifacts) / (
            "screenshot-%s.png" % language)
        self.desktop.screenshot(target, crop=(main.x.x, main.x.y, main.x.width, main.x.height))
        self.step("saved %s" % target)
        app.kill()

    def test_german(self):
        self.check_language("de")

    def test_japanese(self):
        self.check_language("ja")


if __name__ == "__main__":
    harness.main()
