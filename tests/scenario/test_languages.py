"""The program started with each shipped language, and with a language file that is missing."""

import os
import unittest

from harness import SOURCE_DIR, ScenarioTest, lines

LANGUAGES = ["english", "deutsch", "francais", "italiano", "espanol"]
PRODUCT_LINE = "Talvex Shutdown Client 1.0"
MAIN_MENU_KEYS = [("1", "UpsConnections"), ("2", "SystemShutdown"), ("3", "OtherOptions"),
                  ("4", "CurrentConfiguration"), ("5", "SaveAndExit"), ("Q", "ExitWithoutSave")]
LANGUAGE_STOP = "Error loading the language file. Program stopped."


def config_naming(language):
    """A complete config.cfg at the defaults, naming the given language."""
    events = "".join('<Event Name="%s" Enabled="0" Value="5"/>' % name
                     for name in ("Powerfail", "LowBattery", "BatteryCharge", "Overload",
                                  "GeneralFault", "UpsCommunicationLost"))
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            "<Brevant><Talvex_Client><Cfg>"
            "<General><Language>%s</Language><Password/><ShowMessages>1</ShowMessages>"
            "<SystemLog>0</SystemLog></General>"
            '<Hosts Redundancy="0" Interval="5" Timeout="3" Retries="3"/>'
            "<Events>%s</Events>"
            '<Tasks><Task Name="1" Enabled="0" MaxTime="5" FileName=""/></Tasks>'
            "</Cfg></Talvex_Client></Brevant>\n" % (language, events))


def shipped_texts(language):
    """The texts of a shipped language file, read here on their own terms: section Setup,
    key=text, first entry wins."""
    with open(os.path.join(SOURCE_DIR, "languages", language + ".lng"), "rb") as f:
        content = f.read()
    if content.startswith(b"\xef\xbb\xbf"):
        content = content[3:]
    texts, in_setup = {}, False
    for line in content.decode("utf-8").splitlines():
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            in_setup = line[1:-1].strip().lower() == "setup"
        elif in_setup and "=" in line:
            key, text = line.split("=", 1)
            texts.setdefault(key.strip().lower(), text.strip())
    return texts


class LanguageProbe(ScenarioTest):
    """Whether the program reads config.cfg yet: a file that is not XML stops a real loader."""

    _reads_config = None

    def config_is_read(self):
        if LanguageProbe._reads_config is None:
            s = self.start(self.install(config="not XML"))
            s.child.expect_exact(["Program stopped.", ": "])
            LanguageProbe._reads_config = s.child.after == "Program stopped."
        return LanguageProbe._reads_config


class ShippedLanguages(LanguageProbe):
    def check_main_menu(self, language):
        texts = shipped_texts(language)
        s = self.start(self.install(config=config_naming(language)))
        prompt = texts["selection"] + ": "
        s.expect(prompt)
        screen = lines(s.screen())
        title = " " + texts["mainmenu"].upper()
        expected_items = [" %s - %s" % (key, texts[text_key.lower()]) for key, text_key in MAIN_MENU_KEYS]
        self.assertEqual(screen[0], texts["configurationtitle"].replace("%s", PRODUCT_LINE))
        self.assertEqual(screen[2], "")
        self.assertEqual(screen[3], title)
        self.assertEqual(set(screen[4]), {"-"})
        self.assertEqual(screen[5:11], expected_items)
        self.assertEqual(screen[11:], ["", prompt])
        self.assertNotIn("Not translated!", s.transcript)
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)

    def test_english_main_menu(self):
        self.check_main_menu("english")

    def test_other_languages_main_menu(self):
        if not self.config_is_read():
            self.skipTest("config.cfg is not read yet, so the language stays english")
        for language in LANGUAGES[1:]:
            with self.subTest(language=language):
                self.check_main_menu(language)


class MissingLanguageFile(LanguageProbe):
    def check_stops(self, install):
        s = self.start(install)
        s.expect(LANGUAGE_STOP)
        s.expect("Not translated!")
        s.sendline()
        self.assertEqual(s.wait_end(), 0)
        self.assertNotIn(" - ", s.transcript, "no menu is shown")
        after = s.transcript.split(LANGUAGE_STOP, 1)[1]
        self.assertEqual(lines(after)[1:3], ["Not translated!", ""])

    def test_language_named_in_config_is_missing(self):
        if not self.config_is_read():
            self.skipTest("config.cfg is not read yet, so the language stays english")
        self.check_stops(self.install(config=config_naming("klingon")))

    def test_default_language_file_is_missing(self):
        self.check_stops(self.install(languages=False))


if __name__ == "__main__":
    unittest.main()
