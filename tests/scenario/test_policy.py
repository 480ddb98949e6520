"""Access password, events, options and the summary, in a real pseudo-terminal."""

import re
import unittest

from harness import ScenarioTest, lines


def stored_form(password):
    key, out = 0x3A5C, ""
    for b in password.encode("utf-8"):
        c = b ^ (key >> 8)
        key = ((key + c) * 0x2E95 + 0x1F7D) & 0xFFFF
        out += "%02X" % c
    return out


def config_with_password(password):
    return ('<?xml version="1.0" encoding="utf-8"?>\n<Brevant><Talvex_Client><Cfg>'
            '<General><Language>english</Language><Password>%s</Password>'
            '<ShowMessages>1</ShowMessages><SystemLog>0</SystemLog></General>'
            '<Hosts Redundancy="0" Interval="5" Timeout="3" Retries="3"/>'
            '<Events><Event Name="Overload" Enabled="0" Value="3"/></Events>'
            '<Tasks><Task Name="1" Enabled="0" MaxTime="5" FileName=""/></Tasks>'
            '</Cfg></Talvex_Client></Brevant>\n' % stored_form(password))


class Policy(ScenarioTest):
    def test_gate_edits_summary_and_leaving_without_saving(self):
        config = config_with_password("s3cret")
        inst = self.install(config=config)
        s = self.start(inst)
        s.expect("Password [Q to abort]: ")
        s.send("S3cret\r")                      # wrong case: beep, asked again
        s.expect("Password [Q to abort]: ")
        self.assertEqual(s.beeps(), 1)
        s.send("s3cret\r")
        s.expect("Selection: ")
        s.sendline("2")                         # events: overload on, 7 minutes
        s.expect("Selection: ")
        s.sendline("4")
        s.expect("(0 = off): 0")
        s.send("\b7\r")
        s.expect("Selection: ")
        s.sendline("Q")
        s.expect("Selection: ")
        s.sendline("3")                         # options: no messages
        s.expect("Selection: ")
        s.sendline("2")
        s.expect("[Y/N]: ")
        s.sendline("n")
        s.expect("Selection: ")
        s.sendline("Q")
        s.expect("Selection: ")
        s.sendline("4")                         # the summary, three pauses
        for _ in range(3):
            s.expect("Press Enter to continue...")
            s.sendline()
        s.expect("Selection: ")
        shown = lines(s.transcript)
        self.assertIn(" - Output overload: Yes, after 7 minutes", shown)
        self.assertIn(" - Show messages: No", shown)
        self.assertIn(" - Configuration password: Yes", shown)
        self.assertNotIn("s3cret", s.transcript)
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)
        self.assertEqual(inst.read_config(), config)

    def test_q_at_the_gate_ends_with_one_empty_line(self):
        inst = self.install(config=config_with_password("abc"))
        s = self.start(inst)
        s.expect("Password [Q to abort]: ")
        s.send("abQ")
        self.assertEqual(s.wait_end(), 0)
        self.assertTrue(s.transcript.endswith("Password [Q to abort]: **\r\n\r\n"), repr(s.transcript[-60:]))

    def test_password_set_in_the_menu_is_saved_and_asked_at_the_next_start(self):
        inst = self.install()
        s = self.start(inst)
        s.expect("Selection: ")
        s.sendline("3")                         # other options, then the password menu
        s.expect("Selection: ")
        s.sendline("1")
        s.expect("Selection: ")
        s.sendline("1")
        s.expect("Password: ")
        s.send("Quit\r")                        # the gate's abort key: refused
        s.expect("Confirm the password: ")
        s.send("Quit\r")
        s.expect("The password must not contain the capital letter Q.")
        s.expect("Password: ")
        self.assertEqual(s.beeps(), 1)
        s.send("quit\r")
        s.expect("Confirm the password: ")
        s.send("quit\r")
        s.expect("The password has been set.")
        s.expect("Press Enter to continue...")
        s.sendline()
        s.expect("Selection: ")                 # back in the other options
        s.sendline("Q")
        s.expect("Selection: ")
        s.sendline("5")
        s.expect("[Y/N]: ")
        s.sendline("N")                         # saved, no restart
        self.assertEqual(s.wait_end(), 0)
        self.assertNotIn("quit", s.transcript)
        stored = re.search(r"<Password>([^<]*)</Password>", inst.read_config())
        self.assertIsNotNone(stored, inst.read_config())
        self.assertEqual(stored.group(1), stored_form("quit"))

        s = self.start(inst)
        s.expect("Password [Q to abort]: ")
        s.send("quit\r")                        # a lower-case q is an ordinary character
        s.expect("Selection: ")
        self.assertEqual(s.beeps(), 0)
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)


if __name__ == "__main__":
    unittest.main()
