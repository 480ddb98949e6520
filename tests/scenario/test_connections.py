"""Adding a connection through the form and testing it against a real SNMP agent."""

import os
import shutil
import tempfile
import unittest

from harness import ScenarioTest, lines
from snmp_agent import SnmpAgent

CONFIG = """<?xml version="1.0" encoding="utf-8"?>
<Brevant><Talvex_Client><Cfg><General><Language>english</Language></General>
<Hosts Redundancy="0" Interval="5" Timeout="1" Retries="1"/><Events/><Tasks/></Cfg></Talvex_Client></Brevant>
"""

RUNNING = "Testing the connection, please wait..."
OK = "The connection test succeeded. The UPS network card answered."
FAILED = "The connection test failed. Please check the address, the port and the SNMP settings."


class ConnectionScenario(ScenarioTest):
    def setUp(self):
        super().setUp()
        self.agent = SnmpAgent()
        self.addCleanup(self.agent.stop)
        # Where the SNMP library would look for its configuration and keep its state; the
        # program must leave all of it alone.
        self.home = tempfile.mkdtemp(prefix="talvex-home-")
        self.addCleanup(shutil.rmtree, self.home, True)
        self.library_env = {
            "HOME": self.home,
            "SNMP_PERSISTENT_DIR": os.path.join(self.home, "persistent"),
            "SNMPCONFPATH": os.path.join(self.home, "conf"),
        }

    def assert_result_right_after_progress(self, result, transcript):
        """The result line follows the progress line, with nothing of the library between."""
        shown = [line for line in lines(transcript) if line.strip()]
        at = len(shown) - 1 - shown[::-1].index(RUNNING)
        self.assertEqual(shown[at + 1], result, "\n".join(shown[at - 2:at + 3]))

    def test_add_test_change_community_test_again(self):
        inst = self.install(config=CONFIG)
        s = self.start(inst, env=self.library_env)
        s.expect("Selection: ")
        s.sendline("1")
        s.expect("Selection: ")
        s.sendline("2")
        s.expect("Address of the UPS network card: ")
        s.send("127.0.0.1\r")
        s.expect("Port: 161")
        s.send("\b\b\b%d\r" % self.agent.port)
        s.expect("3=SNMPv3]: ")
        s.send("2\r")
        s.expect("Community: public")
        s.send("\b" * 6 + "ups-community\r")
        s.expect("Test the connection now? [Y/N]: ")
        s.sendline("Y")
        s.expect("Press Enter to continue...")
        self.assert_result_right_after_progress(OK, s.transcript)
        s.sendline()

        s.expect("Selection: ")
        s.sendline("3")                      # edit connection 1: a wrong community
        s.expect("Selection: ")
        s.sendline("1")
        s.expect("Address of the UPS network card: 127.0.0.1")
        s.send("\r\r\r")
        s.expect("Community: ups-community")
        s.send("\b\b\b\b\b\b\b\b\b\bwrong\r")
        s.expect("Test the connection now? [Y/N]: ")
        s.sendline("y")
        s.expect("Press Enter to continue...", timeout=20)
        self.assert_result_right_after_progress(FAILED, s.transcript)
        s.sendline()
        s.expect("Selection: ")
        s.sendline("Q")
        s.expect("Selection: ")
        s.sendline("Q")
        s.expect("Selection: ")
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)
        self.assertEqual(os.listdir(self.home), [], "the SNMP library wrote no file of its own")


if __name__ == "__main__":
    unittest.main()
