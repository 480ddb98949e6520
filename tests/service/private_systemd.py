'''A private message bus with the stand-in systemd manager on it, for tests.

As a program: private_systemd.py '<JSON parameters>' starts both, prints the bus address on
one line, and stops both when its standard input ends. From Python: PrivateSystemd(units) as
a context manager, with .address. Only a unix socket in a temporary folder is used.
'''

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TEMPLATE = os.path.join(HERE, 'systemd_manager_mock.py')
BUS_NAME = 'org.freedesktop.systemd1'

BUS_CONFIG = '''<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
'''


class PrivateSystemd:
    def __init__(self, units, timeout=20):
        self.units = units
        self.timeout = timeout
        self.dir = None
        self.daemon = None
        self.mock = None
        self.address = None

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def _start(self):
        self.dir = tempfile.mkdtemp(prefix='talvex-bus-')
        config = os.path.join(self.dir, 'bus.conf')
        with open(config, 'w') as f:
            f.write(BUS_CONFIG.format(socket=os.path.join(self.dir, 'socket')))
        self.daemon = subprocess.Popen(
            ['dbus-daemon', '--config-file=' + config, '--nofork', '--print-address=1'],
            stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()
        if not self.address:
            raise RuntimeError('dbus-daemon gave no address')
        env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address)
        self.mock = subprocess.Popen(
            [sys.executable, '-m', 'dbusmock', '--system', '--template', TEMPLATE,
             '-p', json.dumps({'units': self.units})],
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        self._wait_for_manager()

    def _wait_for_manager(self):
        import dbus
        bus = dbus.bus.BusConnection(self.address)
        try:
            deadline = time.monotonic() + self.timeout
            while not bus.name_has_owner(BUS_NAME):
                if self.mock.poll() is not None or time.monotonic() > deadline:
                    raise RuntimeError('the stand-in systemd manager did not start')
                time.sleep(0.05)
        finally:
            bus.close()

    def job_log(self):
        '''The jobs requested so far, e.g. ["StopUnit talvexclient.service replace"].'''
        import dbus
        bus = dbus.bus.BusConnection(self.address)
        try:
            manager = bus.get_object(BUS_NAME, '/org/freedesktop/systemd1')
            return [str(job) for job in manager.JobLog(dbus_interface='org.freedesktop.DBus.Mock')]
        finally:
            bus.close()

    def stop(self):
        for process in (self.mock, self.daemon):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if self.daemon and self.daemon.stdout:
            self.daemon.stdout.close()
        if self.dir:
            shutil.rmtree(self.dir, ignore_errors=True)


def main():
    units = json.loads(sys.argv[1]).get('units', []) if len(sys.argv) > 1 else []
    with PrivateSystemd(units) as bus:
        print(bus.address, flush=True)
        sys.stdin.read()


if __name__ == '__main__':
    main()
