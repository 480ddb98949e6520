"""Start-up with config.cfg: an unreadable file stops the program; a missing one gives defaults;
the language it names is kept only when the file is complete or the language file exists."""

import os
import unittest

from harness import ScenarioTest, lines

CONFIG_STOP = "Error loading the configuration. Program stopped."
LANGUAGE_STOP = "Error loading the language file. Program stopped."
EVENTS = ("Powerfail", "LowBattery", "BatteryCharge", "Overload", "GeneralFault", "UpsCommunicationLost")


def config_file(language, events=True):
    """A config.cfg naming the given language; without its Events section when events is false."""
    events_section = "<Events>%s</Events>" % "".join(
        '<Event Name="%s" Enabled="1" Value="2"/>' % name for name in EVENTS) if events else ""
    return ('<?xml version="1.0" encoding="utf-8"?>\n'
            "<Brevant><Talvex_Client><Cfg>"
            "<General><Language>%s</Language><Password/><ShowMessages>1</ShowMessages>"
            "<SystemLog>0</SystemLog></General>"
            '<Hosts Redundancy="0" Interval="5" Timeout="3" Retries="3"/>'
            "%s"
            '<Tasks><Task Name="1" Enabled="0" MaxTime="5" FileName=""/></Tasks>'
            "</Cfg></Talvex_Client></Brevant>\n" % (language, events_section))


class ConfigAtStartUp(ScenarioTest):
    def check_stops(self, inst, message):
        """The program shows the message and the untranslated press-Enter line, waits for
        Enter and ends orderly, without a menu."""
        s = self.start(inst)
        s.expect("Not translated!")
        self.assertEqual(lines(s.transcript)[:3], ["", message, "Not translated!"])
        s.sendline()
        self.assertEqual(s.wait_end(), 0)
        self.assertNotIn(" - ", s.transcript, "no menu is shown")

    def test_a_file_that_is_not_xml_stops_the_program(self):
        cases = ("not xml at all", "", "<Brevant><Talvex_Client><Cfg>",
                 config_file("english") + "<Second/>")
        for text in cases:
            with self.subTest(text=text):
                inst = self.install(config=text)
                self.check_stops(inst, CONFIG_STOP)
                self.assertEqual(inst.read_config(), text)

    def test_without_a_file_the_defaults_apply_and_nothing_is_written(self):
        inst = self.install()
        s = self.start(inst)
        s.expect("Selection: ")
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)
        self.assertFalse(os.path.exists(inst.config_path))

    def test_a_complete_file_naming_a_missing_language_stops_at_the_language(self):
        inst = self.install(config=config_file("klingon"))
        self.check_stops(inst, LANGUAGE_STOP)
        self.assertEqual(inst.read_config(), config_file("klingon"))

    def test_an_incomplete_file_naming_a_missing_language_falls_back_to_english(self):
        # Without its Events section the file gives the defaults, and the language named in it
        # survives only when its file exists: here it does not, so english is read.
        inst = self.install(config=config_file("klingon", events=False))
        s = self.start(inst)
        s.expect("Selection: ")
        self.assertIn(" 1 - ", s.screen())
        self.assertNotIn("Not translated!", s.transcript)
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)


if __name__ == "__main__":
    unittest.main()
