"""Start-up with config.cfg: an unreadable file stops the program; a missing one gives defaults."""

import os
import unittest

from harness import ScenarioTest, lines


class ConfigAtStartUp(ScenarioTest):
    def test_a_file_that_is_not_xml_stops_the_program(self):
        for text in ("not xml at all", ""):
            with self.subTest(text=text):
                inst = self.install(config=text)
                s = self.start(inst)
                s.expect("Not translated!")
                self.assertEqual(lines(s.transcript)[:3],
                                 ["", "Error loading the configuration. Program stopped.", "Not translated!"])
                s.sendline()
                self.assertEqual(s.wait_end(), 0)
                self.assertEqual(inst.read_config(), text)

    def test_without_a_file_the_defaults_apply_and_nothing_is_written(self):
        inst = self.install()
        s = self.start(inst)
        s.expect(": ")
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)
        self.assertFalse(os.path.exists(inst.config_path))


if __name__ == "__main__":
    unittest.main()
