"""The program's start-up, main menu and ways out, in a real pseudo-terminal."""

import os
import signal
import subprocess
import unittest

from harness import CLEAR, ScenarioTest, lines, program_env

# A language file of the test's own, so that the expected screens do not follow the shipped texts.
TEST_LANGUAGE = """[Setup]
ConfigurationTitle=%s - Test Setup
MainMenu=Main menü
UpsConnections=Connections
SystemShutdown=Shutdown
OtherOptions=Options
CurrentConfiguration=Summary
SaveAndExit=Save
ExitWithoutSave=Leave
Selection=Choice
PressEnterToContinue=Press Enter
PromptEventDelay=Delay
EventPowerFailure=Power failure
GoToPreviousMenu=Back
ShortYes=Y
ShortNo=N
"""

MAIN_MENU = [
    "Talvex Shutdown Client 1.0 - Test Setup",
    "Copyright (C) Brevant. All rights reserved.",
    "",
    " MAIN MENÜ",
    "-----------",
    " 1 - Connections",
    " 2 - Shutdown",
    " 3 - Options",
    " 4 - Summary",
    " 5 - Save",
    " Q - Leave",
    "",
    "Choice: ",
]


def install_with_test_language(test):
    inst = test.install(languages=False)
    os.makedirs(os.path.join(inst.dir, "languages"))
    with open(os.path.join(inst.dir, "languages", "english.lng"), "w", encoding="utf-8") as f:
        f.write(TEST_LANGUAGE)
    return inst


class MainMenu(ScenarioTest):
    def setUp(self):
        super().setUp()
        self.inst = install_with_test_language(self)

    def test_main_menu_screen_line_by_line(self):
        s = self.start(self.inst)
        s.expect("Choice: ")
        self.assertTrue(s.transcript.startswith(CLEAR))
        self.assertEqual(lines(s.screen()), MAIN_MENU)
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)

    def test_wrong_key_beeps_and_redraws_lower_case_q_redraws_silently(self):
        s = self.start(self.inst)
        s.expect("Choice: ")
        s.sendline("7")
        s.expect("Choice: ")
        self.assertEqual(s.beeps(), 1)
        self.assertEqual(lines(s.screen()), MAIN_MENU)
        s.sendline("q")
        s.expect("Choice: ")
        self.assertEqual(s.beeps(), 1)
        self.assertEqual(s.transcript.count(CLEAR), 3)
        self.assertEqual(lines(s.screen()), MAIN_MENU)
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)
        # After the typed "Q" and its line end: exactly one empty line, then the end.
        self.assertTrue(s.screen().endswith("Choice: Q\r\n\r\n"), repr(s.screen()[-40:]))

    def test_key_by_key_keys_from_a_real_terminal(self):
        s = self.start(self.inst)
        s.expect("Choice: ")
        s.sendline("2")
        s.expect("Choice: ")
        s.sendline("1")
        s.expect("Delay: 10")
        # Arrow, Home, End and Delete keys give nothing; DEL and BS both erase; CR ends.
        s.send("\x1b[A\x1b[1;5C\x1bOH\x1b[3~\x7f\x087\r")
        s.expect("Choice: ")
        self.assertEqual(s.beeps(), 0)
        self.assertIn("Delay: 10\b \b\b \b7\r\n", s.transcript)
        s.sendline("1")
        s.expect("Delay: 7")  # stored: offered again
        s.send("\r")
        s.expect("Choice: ")
        s.sendline("Q")
        s.expect("Choice: ")
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)

    def test_end_of_input_at_the_menu_ends_with_status_1(self):
        s = self.start(self.inst)
        s.expect("Choice: ")
        s.send("\x04")  # Ctrl+D on an empty line: end of input
        self.assertEqual(s.wait_end(), 1)

    def test_end_of_input_from_a_pipe(self):
        for given in (b"", b"7\n", b"2\n1\n12"):
            run = subprocess.run([self.inst.program], input=given, capture_output=True,
                                 env=program_env(), timeout=10)
            self.assertEqual(run.returncode, 1, given)
            self.assertIn(b"Choice: ", run.stdout)
            self.assertFalse(os.path.exists(self.inst.config_path))

    def test_q_from_a_pipe_ends_with_status_0(self):
        run = subprocess.run([self.inst.program], input=b"Q\n", capture_output=True,
                             env=program_env(), timeout=10)
        self.assertEqual(run.returncode, 0)
        self.assertTrue(run.stdout.endswith(b"Choice: \n"), run.stdout[-30:])


class TerminalRestored(ScenarioTest):
    """The terminal settings after the program equal those before, on every way out."""

    def setUp(self):
        super().setUp()
        self.inst = install_with_test_language(self)

    def run_in_shell(self):
        # The shell traps SIGINT so that Ctrl+C ends only the program, and the shell reports it.
        script = ('trap : INT; stty -g; echo BEFORE-DONE; "%s"; echo "RC=$?"; stty -g; echo AFTER-DONE'
                  % self.inst.program)
        return self.start(self.inst, command=["/bin/sh", "-c", script])

    def settings(self, s, marker):
        text = s.expect(marker)
        return text.strip().splitlines()[-1].strip()

    def reach_key_by_key_prompt(self, s):
        # Shutdown menu, power failure: a number prompt, read key by key.
        s.expect("Choice: ")
        s.sendline("2")
        s.expect("Choice: ")
        s.sendline("1")
        s.expect("Delay: ")

    def test_settings_equal_after_q(self):
        s = self.run_in_shell()
        before = self.settings(s, "BEFORE-DONE")
        s.expect("Choice: ")
        s.sendline("Q")
        s.expect("RC=0")
        after = self.settings(s, "AFTER-DONE")
        self.assertEqual(before, after)

    def test_signals_inside_a_key_by_key_prompt_restore_echo(self):
        for sig, key in ((signal.SIGINT, "\x03"), (signal.SIGTERM, None), (signal.SIGHUP, None)):
            with self.subTest(signal=sig):
                s = self.run_in_shell()
                before = self.settings(s, "BEFORE-DONE")
                self.reach_key_by_key_prompt(s)
                if key:
                    s.send(key)
                else:
                    subprocess.run(["pkill", "-%d" % sig, "-f", "^" + self.inst.program + "$"], check=False)
                s.expect("RC=%d" % (128 + sig))
                after = self.settings(s, "AFTER-DONE")
                self.assertEqual(before, after)

    def test_end_of_input_inside_a_key_by_key_prompt(self):
        s = self.run_in_shell()
        before = self.settings(s, "BEFORE-DONE")
        self.reach_key_by_key_prompt(s)
        # In key-by-key mode Ctrl+D is an ordinary byte; the input ends when the terminal's
        # writer goes away. Close the program's input from outside instead: SIGHUP is that case.
        s.send("\x04")
        s.expect("\a")  # refused like any other non-digit
        s.send("\r")
        s.expect("Choice: ")
        s.sendline("Q")
        s.expect("Choice: ")
        s.sendline("Q")
        s.expect("RC=0")
        after = self.settings(s, "AFTER-DONE")
        self.assertEqual(before, after)


if __name__ == "__main__":
    unittest.main()
