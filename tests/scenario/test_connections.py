"""Adding a connection through the form and testing it against a real SNMP agent."""

import unittest

from harness import ScenarioTest
from snmp_agent import SnmpAgent

CONFIG = """<?xml version="1.0" encoding="utf-8"?>
<Brevant><Talvex_Client><Cfg><General><Language>english</Language></General>
<Hosts Redundancy="0" Interval="5" Timeout="1" Retries="1"/><Events/><Tasks/></Cfg></Talvex_Client></Brevant>
"""

OK = "The connection test succeeded. The UPS network card answered."
FAILED = "The connection test failed. Please check the address, the port and the SNMP settings."


class ConnectionScenario(ScenarioTest):
    def setUp(self):
        super().setUp()
        self.agent = SnmpAgent()
        self.addCleanup(self.agent.stop)

    def test_add_test_change_community_test_again(self):
        inst = self.install(config=CONFIG)
        s = self.start(inst)
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
        self.assertIn(OK, s.transcript)
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
        self.assertIn(FAILED, s.transcript)
        s.sendline()
        s.expect("Selection: ")
        s.sendline("Q")
        s.expect("Selection: ")
        s.sendline("Q")
        s.expect("Selection: ")
        s.sendline("Q")
        self.assertEqual(s.wait_end(), 0)


if __name__ == "__main__":
    unittest.main()
