"""A real SNMP agent (snmpd) on 127.0.0.1 and a free port, for the scenarios."""

import os
import shutil
import socket
import subprocess
import tempfile
import time

AGENT_VALUE = "UPS agent 2.4"


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class SnmpAgent:
    def __init__(self, community="ups-community", extra_lines=()):
        self.dir = tempfile.mkdtemp(prefix="talvex-snmpd-")
        os.makedirs(os.path.join(self.dir, "persist"))
        self.port = free_udp_port()
        conf = os.path.join(self.dir, "snmpd.conf")
        with open(conf, "w") as f:
            f.write("agentaddress udp:127.0.0.1:%d\n" % self.port)
            f.write("rocommunity %s 127.0.0.1\n" % community)
            f.write('override .1.3.6.1.2.1.33.1.1.4.0 octet_str "%s"\n' % AGENT_VALUE)
            for line in extra_lines:  # SNMPv3 users, for example
                f.write(line + "\n")
        env = dict(os.environ, SNMP_PERSISTENT_DIR=os.path.join(self.dir, "persist"))
        self.process = subprocess.Popen(
            ["/usr/sbin/snmpd", "-f", "-C", "-c", conf, "-p", os.path.join(self.dir, "snmpd.pid"),
             "-Lf", os.path.join(self.dir, "snmpd.log")], env=env)
        self._wait_ready(community)

    def _wait_ready(self, community):
        # A minimal SNMPv2c GET of sysDescr.0, hand-encoded, until the agent answers.
        oid = bytes.fromhex("2b06010201010100")
        varbind = b"\x30" + bytes([len(oid) + 4]) + b"\x06" + bytes([len(oid)]) + oid + b"\x05\x00"
        varbinds = b"\x30" + bytes([len(varbind)]) + varbind
        pdu_body = b"\x02\x01\x01\x02\x01\x00\x02\x01\x00" + varbinds
        pdu = b"\xa0" + bytes([len(pdu_body)]) + pdu_body
        comm = community.encode()
        body = b"\x02\x01\x01\x04" + bytes([len(comm)]) + comm + pdu
        request = b"\x30" + bytes([len(body)]) + body
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.settimeout(0.2)
            deadline = time.time() + 10
            while time.time() < deadline:
                s.sendto(request, ("127.0.0.1", self.port))
                try:
                    s.recvfrom(4096)
                    return
                except socket.timeout:
                    if self.process.poll() is not None:
                        break
        raise RuntimeError("snmpd did not start")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
        shutil.rmtree(self.dir, ignore_errors=True)
