'''A stand-in for systemd's service manager on a test bus: python3 -m dbusmock template.

Parameters (JSON): {"units": [unit, ...]}, each unit a dictionary with
  "name"            the unit name, e.g. "talvexclient.service" (required)
  "description"     shown as the display name
  "state"           ActiveState at the start: "active", "inactive", "failed", "activating",
                    "reloading" or "deactivating" (default "inactive")
  "requiredBy", "boundBy"
                    lists of unit names (the RequiredBy and BoundBy properties)
  "timeoutStartUSec", "timeoutStopUSec"
                    the service's time-outs in microseconds (default 90 s)
  "transitionMs"    how long a start or stop job stays "activating" or "deactivating"
                    before it ends (default 0: the new state at once)
  "refuseStart", "refuseStop"
                    true: the job request fails as systemd refuses it

Besides Manager.ListUnits, GetUnit, StartUnit and StopUnit, the mock interface has JobLog(),
the requested jobs in order, each "StartUnit name mode" or "StopUnit name mode".
'''

import dbus
import dbus.exceptions
from gi.repository import GLib

from dbusmock import MOCK_IFACE, mockobject

BUS_NAME = 'org.freedesktop.systemd1'
MAIN_OBJ = '/org/freedesktop/systemd1'
MAIN_IFACE = 'org.freedesktop.systemd1.Manager'
UNIT_IFACE = 'org.freedesktop.systemd1.Unit'
SERVICE_IFACE = 'org.freedesktop.systemd1.Service'
SYSTEM_BUS = True

UNIT_PREFIX = MAIN_OBJ + '/unit/'
NO_SUCH_UNIT = 'org.freedesktop.systemd1.NoSuchUnit'
REFUSED = 'org.freedesktop.systemd1.JobFailed'
DEFAULT_TIMEOUT_USEC = 90 * 1000 * 1000

# unit name -> its settings (parameters) and the path of its object
units = {}
job_log = []
next_job = [1]


def unit_path(name):
    '''The object path systemd gives a unit: every byte but letters and digits as _xx.'''
    return UNIT_PREFIX + ''.join(c if c.isalnum() else '_%02x' % ord(c) for c in name)


def load(mock, parameters):
    for unit in parameters.get('units', []):
        name = unit['name']
        path = unit_path(name)
        units[name] = dict(unit, path=path)
        mock.AddObject(path, UNIT_IFACE, {
            'Id': dbus.String(name),
            'Description': dbus.String(unit.get('description', name)),
            'LoadState': dbus.String('loaded'),
            'ActiveState': dbus.String(unit.get('state', 'inactive')),
            'SubState': dbus.String('running' if unit.get('state') == 'active' else 'dead'),
            'RequiredBy': dbus.Array(unit.get('requiredBy', []), signature='s'),
            'BoundBy': dbus.Array(unit.get('boundBy', []), signature='s'),
        }, [])
        if name.endswith('.service'):
            mockobject.objects[path].AddProperties(SERVICE_IFACE, {
                'TimeoutStartUSec': dbus.UInt64(unit.get('timeoutStartUSec', DEFAULT_TIMEOUT_USEC)),
                'TimeoutStopUSec': dbus.UInt64(unit.get('timeoutStopUSec', DEFAULT_TIMEOUT_USEC)),
            })


def active_state(name):
    return str(mockobject.objects[units[name]['path']].Get(UNIT_IFACE, 'ActiveState'))


def set_state(name, state):
    mockobject.objects[units[name]['path']].Set(UNIT_IFACE, 'ActiveState', dbus.String(state))
    return False  # as a GLib timeout: once


def known(name):
    if name not in units:
        raise dbus.exceptions.DBusException(f'Unit {name} not loaded.', name=NO_SUCH_UNIT)


def run_job(method, name, mode, passing, final):
    known(name)
    job_log.append(f'{method} {name} {mode}')
    if units[name].get('refuseStart' if method == 'StartUnit' else 'refuseStop'):
        raise dbus.exceptions.DBusException(f'Job for {name} refused.', name=REFUSED)
    delay = units[name].get('transitionMs', 0)
    if delay:
        set_state(name, passing)
        GLib.timeout_add(delay, set_state, name, final)
    else:
        set_state(name, final)
    job = next_job[0]
    next_job[0] += 1
    return dbus.ObjectPath(f'{MAIN_OBJ}/job/{job}')


@dbus.service.method(MAIN_IFACE, in_signature='', out_signature='a(ssssssouso)')
def ListUnits(self):
    return [(name, units[name].get('description', name), 'loaded', active_state(name), 'dead', '',
             dbus.ObjectPath(units[name]['path']), dbus.UInt32(0), '', dbus.ObjectPath('/'))
            for name in units]


@dbus.service.method(MAIN_IFACE, in_signature='s', out_signature='o')
def GetUnit(self, name):
    known(name)
    return dbus.ObjectPath(units[name]['path'])


@dbus.service.method(MAIN_IFACE, in_signature='ss', out_signature='o')
def StartUnit(self, name, mode):
    return run_job('StartUnit', name, mode, 'activating', 'active')


@dbus.service.method(MAIN_IFACE, in_signature='ss', out_signature='o')
def StopUnit(self, name, mode):
    return run_job('StopUnit', name, mode, 'deactivating', 'inactive')


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='as')
def JobLog(self):
    return dbus.Array(job_log, signature='s')
