#!/usr/bin/python3
"""The connection test beside net-snmp's snmpget, against a local snmpd, in one run.

For SNMPv2c and for SNMPv3 authPriv (SHA/AES) it alternates, RUNS times each:
  - our connection test as a whole process (bench_snmp_connection_driver: start, load the SNMP
    module, start the library, one GET), the way the operator's first test pays for it;
  - snmpget doing the same GET of the same object as a whole process.
It also reports our test inside a running process (every test after the first), and a failing
test against a UDP socket that never answers: its duration should be attempts x Timeout.

    bench/snmp_test_vs_snmpget.py [BUILD_DIR] [--runs N]

BUILD_DIR defaults to build/ beside this folder. Only 127.0.0.1 is ever contacted.
"""

import argparse
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "scenario"))
from snmp_agent import AGENT_VALUE, SnmpAgent  # noqa: E402

OBJECT = "1.3.6.1.2.1.33.1.1.4.0"
COMMUNITY = "ups-community"
USER, AUTH_PASSWORD, PRIV_PASSWORD = "shaaes", "shapassword", "aespassword"


def driver_args(driver, port, v3, timeout=1, retries=1, repeat=1):
    if v3:
        host = ["127.0.0.1", str(port), "2", "", USER, "2", AUTH_PASSWORD, "2", PRIV_PASSWORD]
    else:
        host = ["127.0.0.1", str(port), "1", COMMUNITY, "", "0", "", "0", ""]
    return [driver, str(timeout), str(retries), str(repeat)] + host


def snmpget_args(port, v3):
    common = ["snmpget", "-m", "", "-r", "0", "-t", "1"]
    if v3:
        security = ["-v3", "-l", "authPriv", "-u", USER, "-a", "SHA", "-A", AUTH_PASSWORD,
                    "-x", "AES", "-X", PRIV_PASSWORD]
    else:
        security = ["-v2c", "-c", COMMUNITY]
    return common + security + ["udp:127.0.0.1:%d" % port, OBJECT]


def timed(args, env):
    start = time.perf_counter()
    done = subprocess.run(args, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    return time.perf_counter() - start, done


def driver_lines(done):
    """The driver's lines as (ok, seconds)."""
    result = []
    for line in done.stdout.split("\n"):
        if line:
            word, us = line.split()
            result.append((word == "ok", int(us) / 1e6))
    return result


def ms(values):
    return "median %7.2f ms  p90 %7.2f ms" % (statistics.median(values) * 1e3,
                                              statistics.quantiles(values, n=10)[-1] * 1e3)


def compare(driver, port, v3, runs, env):
    ours, theirs = [], []
    for _ in range(runs):
        seconds, done = timed(driver_args(driver, port, v3), env)
        if driver_lines(done) != [(True, driver_lines(done)[0][1])]:
            sys.exit("our test failed: %r %r" % (done.stdout, done.stderr))
        ours.append(seconds)
        seconds, done = timed(snmpget_args(port, v3), env)
        if done.returncode != 0 or AGENT_VALUE not in done.stdout:
            sys.exit("snmpget failed: %r %r" % (done.stdout, done.stderr))
        theirs.append(seconds)
    # Inside one running process: the first test loads the module, the others do not.
    _, done = timed(driver_args(driver, port, v3, repeat=runs + 1), env)
    lines = driver_lines(done)
    if not all(ok for ok, _ in lines):
        sys.exit("our test failed inside one process")
    return ours, theirs, lines[0][1], [s for _, s in lines[1:]]


def failing_test(driver, timeout, retries, tests, env):
    """Our test against a socket that never answers; durations and datagrams per test."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as silent:
        silent.bind(("127.0.0.1", 0))
        port = silent.getsockname()[1]
        _, done = timed(driver_args(driver, port, False, timeout, retries, tests), env)
        silent.setblocking(False)
        datagrams = 0
        try:
            while True:
                silent.recv(65536)
                datagrams += 1
        except BlockingIOError:
            pass
    lines = driver_lines(done)
    if any(ok for ok, _ in lines):
        sys.exit("a test against the silent socket succeeded")
    return [s for _, s in lines], datagrams / tests


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build_dir", nargs="?", default=os.path.join(HERE, "..", "build"))
    parser.add_argument("--runs", type=int, default=100)
    options = parser.parse_args()
    driver = os.path.join(os.path.abspath(options.build_dir), "bench_snmp_connection_driver")
    if not os.path.exists(driver) or not shutil.which("snmpget"):
        sys.exit("needs %s and snmpget" % driver)

    state = tempfile.mkdtemp(prefix="talvex-bench-")
    # snmpget keeps its state in the persistent folder; keep it out of the system's.
    env = dict(os.environ, SNMP_PERSISTENT_DIR=os.path.join(state, "persistent"), HOME=state)
    agent = SnmpAgent(COMMUNITY, ['createUser %s SHA "%s" AES "%s"' % (USER, AUTH_PASSWORD, PRIV_PASSWORD),
                                  "rouser %s priv" % USER])
    try:
        print("Connection test against a local snmpd, %d runs each, alternating:" % options.runs)
        for name, v3 in (("SNMPv2c", False), ("SNMPv3 authPriv SHA/AES", True)):
            ours, theirs, first, warm = compare(driver, agent.port, v3, options.runs, env)
            print("  %s" % name)
            print("    our test, whole process      %s" % ms(ours))
            print("    snmpget, whole process       %s" % ms(theirs))
            print("    our test, first in a process %7.2f ms (module load and library start included)"
                  % (first * 1e3))
            print("    our test, later in a process %s" % ms(warm))
    finally:
        agent.stop()
        shutil.rmtree(state, ignore_errors=True)

    timeout, retries, tests = 1, 3, 3
    durations, per_test = failing_test(driver, timeout, retries, tests, env)
    expected = timeout * retries
    print("Failing test against a silent socket, Timeout %d s, Retries %d, %d tests:" % (timeout, retries, tests))
    for seconds in durations:
        print("    %.4f s  (%+.2f %% from %d s)" % (seconds, (seconds / expected - 1) * 100, expected))
    print("    requests per test: %g" % per_test)
    worst = max(abs(s / expected - 1) for s in durations) * 100
    print("    largest deviation %.2f %% (%s 2 %%)" % (worst, "within" if worst <= 2 else "OUTSIDE"))
    return 0 if worst <= 2 and per_test == retries else 1


if __name__ == "__main__":
    sys.exit(main())
