"""Saving from the main menu: the file written, the failed save, and the service restart."""

import os
import sys
import unittest
import xml.etree.ElementTree as ElementTree

from harness import SOURCE_DIR, BEEP, ScenarioTest, lines

sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "service"))
from private_systemd import PrivateSystemd  # noqa: E402

CLIENT_UNIT = {"name": "talvexclient.service", "description": "Talvex Shutdown Client",
               "state": "active", "transitionMs": 100,
               "timeoutStartUSec": 3000000, "timeoutStopUSec": 3000000}


def english():
    """The texts of the shipped english language file, by key (the first of a key wins)."""
    texts, section = {}, None
    with open(os.path.join(SOURCE_DIR, "languages", "english.lng"), "rb") as f:
        for raw in f.read().decode("utf-8", "replace").lstrip("\ufeff").splitlines():
            line = raw.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].strip().lower()
            elif section == "setup" and "=" in line:
                key, text = line.split("=", 1)
                texts.setdefault(key.strip().lower(), text.strip())
    return texts


class SaveScenario(ScenarioTest):
    def setUp(self):
        super().setUp()
        self.texts = english()

    def t(self, key):
        return self.texts.get(key.lower()) or "Not translated!"

    def selection(self):
        label = self.t("Selection")
        return (label if label.endswith(":") else label + ":") + " "

    def yes_no(self, key):
        return "%s [%s/%s]: " % (self.t(key), self.t("ShortYes"), self.t("ShortNo"))

    def choose(self, session, key):
        session.expect(self.selection())
        session.sendline(key)

    def turn_messages_off(self, session):
        """Main menu "3", its "2", answered no, back to the main menu."""
        self.choose(session, "3")
        self.choose(session, "2")
        session.expect(self.yes_no("ShowMessages"))
        session.sendline(self.t("ShortNo"))
        self.choose(session, "Q")

    def save(self, session, restart):
        self.choose(session, "5")
        session.expect(self.yes_no("RestartService"))
        session.sendline(self.t("ShortYes") if restart else self.t("ShortNo"))

    def show_messages_in(self, install):
        root = ElementTree.fromstring(install.read_config())
        return root.find("Talvex_Client/Cfg/General/ShowMessages").text

    def test_save_without_restart_ends_with_the_edit_written(self):
        inst = self.install()
        s = self.start(inst)
        self.turn_messages_off(s)
        self.save(s, restart=False)
        self.assertEqual(s.wait_end(), 0)
        self.assertNotIn(self.t("RestartingService"), s.transcript)
        self.assertEqual(self.show_messages_in(inst), "0")

    def test_failed_save_shows_the_error_and_keeps_the_edit(self):
        inst = self.install()
        os.mkdir(inst.config_path)  # a directory where config.cfg should be written
        s = self.start(inst)
        self.turn_messages_off(s)
        self.choose(s, "5")
        before = s.expect(self.t("ErrorSavingConfiguration"))
        self.assertTrue(before.endswith(BEEP + "\r\n"), repr(before))
        self.assertNotIn(self.t("RestartService"), s.transcript)
        # The main menu again; once the way is free, the same edit is saved.
        s.expect(self.t("ExitWithoutSave"))
        os.rmdir(inst.config_path)
        self.save(s, restart=False)
        self.assertEqual(s.wait_end(), 0)
        self.assertEqual(self.show_messages_in(inst), "0")

    def test_restart_stops_and_starts_the_client_service(self):
        inst = self.install()
        with PrivateSystemd([CLIENT_UNIT]) as systemd:
            s = self.start(inst, env={"DBUS_SYSTEM_BUS_ADDRESS": systemd.address})
            self.save(s, restart=True)
            s.expect(self.t("RestartingService") + " " + self.t("Ok") + "\r\n")
            self.assertEqual(s.wait_end(), 0)
            self.assertEqual(systemd.job_log(), ["StopUnit talvexclient.service replace",
                                                 "StartUnit talvexclient.service replace"])
        self.assertEqual(s.beeps(), 0)
        self.assertTrue(os.path.isfile(inst.config_path))

    def test_unreachable_service_manager_gives_error_and_still_ends(self):
        inst = self.install()
        s = self.start(inst, env={"DBUS_SYSTEM_BUS_ADDRESS": "unix:path=" + os.path.join(inst.dir, "no-bus")})
        self.save(s, restart=True)
        s.expect(self.t("RestartingService") + BEEP + " " + self.t("Error") + "\r\n")
        self.assertEqual(s.wait_end(), 0)
        self.assertTrue(os.path.isfile(inst.config_path))
        last = [line for line in lines(s.transcript) if line.strip()][-1]
        self.assertIn(self.t("Error"), last)


if __name__ == "__main__":
    unittest.main()
