"""Drives the built program in a real pseudo-terminal.

Each test gets its own copy of the program in a temporary folder, with the shipped
languages/ beside it (the program reads config.cfg and its language files from its own
folder), so tests never touch the build tree and may write config.cfg freely.
"""

import os
import shutil
import signal
import tempfile
import unittest

import pexpect

PROGRAM = os.environ.get("TALVEX_PROGRAM", "")
SOURCE_DIR = os.environ.get("TALVEX_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
CLEAR = "\x1b[H\x1b[2J\x1b[3J"
BEEP = "\a"


class Install:
    """A private copy of the program, with languages/ and an optional config.cfg."""

    def __init__(self, config=None, languages=True):
        self.dir = tempfile.mkdtemp(prefix="talvex-")
        self.program = os.path.join(self.dir, "talvexsetup")
        shutil.copy2(PROGRAM, self.program)
        # The modules the program loads at first use stand beside it.
        program_dir = os.path.dirname(PROGRAM)
        for name in os.listdir(program_dir):
            if name.startswith("talvexsetup-") and name.endswith(".so"):
                shutil.copy2(os.path.join(program_dir, name), self.dir)
        if languages:
            shutil.copytree(os.path.join(SOURCE_DIR, "languages"), os.path.join(self.dir, "languages"))
        self.config_path = os.path.join(self.dir, "config.cfg")
        if config is not None:
            self.write_config(config)

    def write_config(self, text):
        with open(self.config_path, "wb") as f:
            f.write(text.encode("utf-8") if isinstance(text, str) else text)

    def read_config(self):
        with open(self.config_path, "rb") as f:
            return f.read().decode("utf-8")

    def remove(self):
        shutil.rmtree(self.dir, ignore_errors=True)


def program_env(extra=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
    env.update({"LANG": "C.UTF-8", "TERM": "xterm"})
    if extra:
        env.update(extra)
    return env


class Session:
    """One run of the program in a pseudo-terminal, with everything it showed kept."""

    def __init__(self, install, command=None, env=None, timeout=10):
        self.transcript = ""
        cmd = command or install.program
        self.child = pexpect.spawn(cmd[0] if isinstance(cmd, list) else cmd,
                                   args=cmd[1:] if isinstance(cmd, list) else [],
                                   cwd=install.dir, env=program_env(env), encoding="utf-8",
                                   codec_errors="replace", dimensions=(50, 140), timeout=timeout)

    def _keep(self):
        before = self.child.before if isinstance(self.child.before, str) else ""
        after = self.child.after if isinstance(self.child.after, str) else ""
        self.transcript += before + after

    def expect(self, text, timeout=-1):
        """Waits until text appears; returns what came before it."""
        self.child.expect_exact(text, timeout=timeout)
        self._keep()
        return self.child.before

    def send(self, keys):
        self.child.send(keys)

    def sendline(self, line=""):
        self.child.send(line + "\r")

    def screen(self):
        """What was shown since the last screen clear."""
        return self.transcript.rsplit(CLEAR, 1)[-1]

    def beeps(self):
        return self.transcript.count(BEEP)

    def wait_end(self, timeout=10):
        """Reads to the end of output; returns the exit status (128 + n for a signal)."""
        self.child.expect(pexpect.EOF, timeout=timeout)
        self._keep()
        self.child.close()
        if self.child.signalstatus is not None:
            return 128 + self.child.signalstatus
        return self.child.exitstatus

    def close(self):
        if self.child.isalive():
            self.child.kill(signal.SIGKILL)
        self.child.close(force=True)


def lines(text):
    """The lines of screen text, without the terminal's CR LF line ends."""
    return text.replace("\r\n", "\n").split("\n")


class ScenarioTest(unittest.TestCase):
    """Base class: an Install per test, removed afterwards, and sessions closed."""

    def setUp(self):
        if not PROGRAM:
            self.skipTest("TALVEX_PROGRAM is not set")
        self.installs = []
        self.sessions = []

    def tearDown(self):
        for s in self.sessions:
            s.close()
        for i in self.installs:
            i.remove()

    def install(self, config=None, languages=True):
        inst = Install(config, languages)
        self.installs.append(inst)
        return inst

    def start(self, install, **kw):
        s = Session(install, **kw)
        self.sessions.append(s)
        return s
