// The service control manager on systemd: its D-Bus API on the system bus, through sd-bus.
// Services are the ".service" units, named without that suffix. systemd reports no check
// points, so the check point stays constant and a pending state is bounded by the unit's own
// start or stop time-out, reported as the wait hint.
#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "platform/module_loader.h"
#include "platform/sd_bus_owners.h"
#include "platform/service_control.h"

namespace platform {
namespace {

constexpr const char* kDestination = "org.freedesktop.systemd1";
constexpr const char* kManagerPath = "/org/freedesktop/systemd1";
constexpr const char* kManagerInterface = "org.freedesktop.systemd1.Manager";
constexpr const char* kUnitInterface = "org.freedesktop.systemd1.Unit";
constexpr const char* kServiceInterface = "org.freedesktop.systemd1.Service";
constexpr std::string_view kServiceSuffix = ".service";
// A job that replaces any conflicting job already queued for the unit.
constexpr const char* kJobMode = "replace";
constexpr std::uint32_t kConstantCheckPoint = 0;

bool IsServiceUnit(std::string_view unit) {
  return unit.size() > kServiceSuffix.size() && unit.ends_with(kServiceSuffix);
}

std::string ServiceNameOf(std::string_view unit) {
  return std::string(unit.substr(0, unit.size() - kServiceSuffix.size()));
}

std::string UnitNameOf(std::string_view serviceName) {
  return std::string(serviceName) + std::string(kServiceSuffix);
}

bool IsPending(std::uint32_t state) {
  return state == kServiceStartPending || state == kServiceStopPending;
}

std::uint32_t StateOf(std::string_view activeState) {
  if (activeState == "active") return kServiceRunning;
  if (activeState == "inactive" || activeState == "failed") return kServiceStopped;
  if (activeState == "deactivating") return kServiceStopPending;
  // "activating", "reloading", and the passing states of newer systemd versions.
  return kServiceStartPending;
}

// Microseconds, possibly "infinity" (the largest value), as milliseconds that fit 32 bits.
std::uint32_t MillisecondsOf(std::uint64_t microseconds) {
  const std::uint64_t milliseconds = microseconds / 1000;
  constexpr std::uint64_t kLargest = std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(milliseconds > kLargest ? kLargest : milliseconds);
}

// Calls a method of the manager object; the reply, or none when the call failed.
template <typename... Args>
MessagePtr CallManager(sd_bus* bus, const char* method, const char* signature, Args... args) {
  BusError error;
  sd_bus_message* reply = nullptr;
  const int r = sd_bus_call_method(bus, kDestination, kManagerPath, kManagerInterface, method,
                                   &error.error, &reply, signature, args...);
  MessagePtr owned(reply);
  if (r < 0) owned.reset();
  return owned;
}

// The object path of a loaded unit; empty when the manager does not know it.
std::string UnitPath(sd_bus* bus, const std::string& unit) {
  const MessagePtr reply = CallManager(bus, "GetUnit", "s", unit.c_str());
  const char* path = nullptr;
  if (!reply || sd_bus_message_read(reply.get(), "o", &path) < 0) return {};
  return path;
}

bool ReadText(sd_bus* bus, const std::string& path, const char* interface, const char* property,
              std::string& value) {
  BusError error;
  char* raw = nullptr;
  const int r = sd_bus_get_property_string(bus, kDestination, path.c_str(), interface, property,
                                           &error.error, &raw);
  const MallocText owned(raw);
  if (r < 0 || !owned) return false;
  value = owned.get();
  return true;
}

bool ReadTextList(sd_bus* bus, const std::string& path, const char* property,
                  std::set<std::string>& values) {
  BusError error;
  char** raw = nullptr;
  const int r = sd_bus_get_property_strv(bus, kDestination, path.c_str(), kUnitInterface, property,
                                         &error.error, &raw);
  const MallocList owned(raw);
  if (r < 0) return false;
  for (char** item = owned.get(); item && *item; ++item) values.insert(*item);
  return true;
}

bool ReadMicroseconds(sd_bus* bus, const std::string& path, const char* property,
                      std::uint64_t& value) {
  BusError error;
  return sd_bus_get_property_trivial(bus, kDestination, path.c_str(), kServiceInterface, property,
                                     &error.error, 't', &value) >= 0;
}

// The unit's state, and for a pending one its time-out as the wait hint.
bool ReadStatus(sd_bus* bus, const std::string& path, TServiceStatus& status) {
  std::string activeState;
  if (!ReadText(bus, path, kUnitInterface, "ActiveState", activeState)) return false;
  TServiceStatus result{StateOf(activeState), kConstantCheckPoint, 0};
  if (IsPending(result.dwCurrentState)) {
    const char* timeout =
        result.dwCurrentState == kServiceStopPending ? "TimeoutStopUSec" : "TimeoutStartUSec";
    std::uint64_t microseconds = 0;
    if (!ReadMicroseconds(bus, path, timeout, microseconds)) return false;
    result.dwWaitHint = MillisecondsOf(microseconds);
  }
  status = result;
  return true;
}

bool ReadUnitList(sd_bus_message* reply, std::vector<TServiceEntry>& services) {
  if (sd_bus_message_enter_container(reply, SD_BUS_TYPE_ARRAY, "(ssssssouso)") < 0) return false;
  const char *name, *description, *loadState, *activeState, *subState, *following, *path;
  const char *jobType, *jobPath;
  std::uint32_t jobId;
  int r;
  while ((r = sd_bus_message_read(reply, "(ssssssouso)", &name, &description, &loadState,
                                  &activeState, &subState, &following, &path, &jobId, &jobType,
                                  &jobPath)) > 0) {
    if (!IsServiceUnit(name)) continue;
    services.push_back({ServiceNameOf(name), description,
                        TServiceStatus{StateOf(activeState), kConstantCheckPoint, 0}});
  }
  return r == 0 && sd_bus_message_exit_container(reply) >= 0;
}

struct OpenUnit {
  ServiceHandle manager;
  std::string unit;  // "name.service"
  std::string path;  // its object
};

class SystemdServices final : public ServiceControl {
 public:
  ServiceHandle OpenManager(std::uint32_t) override {
    sd_bus* raw = nullptr;
    if (sd_bus_open_system(&raw) < 0) return kNoHandle;
    BusPtr bus(raw);
    const ServiceHandle handle = next_++;
    managers_.emplace(handle, std::move(bus));
    return handle;
  }

  bool ListServices(ServiceHandle manager, std::vector<TServiceEntry>& services) override {
    sd_bus* bus = BusOf(manager);
    if (!bus) return false;
    const MessagePtr reply = CallManager(bus, "ListUnits", "");
    std::vector<TServiceEntry> listed;
    if (!reply || !ReadUnitList(reply.get(), listed)) return false;
    services = std::move(listed);
    return true;
  }

  ServiceHandle OpenService(ServiceHandle manager, std::string_view name, std::uint32_t) override {
    sd_bus* bus = BusOf(manager);
    if (!bus || name.empty()) return kNoHandle;
    const std::string unit = UnitNameOf(name);
    std::string path = UnitPath(bus, unit);
    if (path.empty()) return kNoHandle;
    const ServiceHandle handle = next_++;
    units_.emplace(handle, OpenUnit{manager, unit, std::move(path)});
    return handle;
  }

  bool QueryStatus(ServiceHandle service, TServiceStatus& status) override {
    const OpenUnit* unit = UnitOf(service);
    return unit && ReadStatus(BusOf(unit->manager), unit->path, status);
  }

  // The service units that require or bind to this one and are not stopped.
  bool ListActiveDependents(ServiceHandle service, std::vector<TServiceEntry>& dependents) override {
    const OpenUnit* unit = UnitOf(service);
    if (!unit) return false;
    sd_bus* bus = BusOf(unit->manager);
    std::set<std::string> names;
    if (!ReadTextList(bus, unit->path, "RequiredBy", names) ||
        !ReadTextList(bus, unit->path, "BoundBy", names))
      return false;
    std::vector<TServiceEntry> active;
    for (const std::string& name : names) {
      if (!IsServiceUnit(name)) continue;
      const std::string path = UnitPath(bus, name);
      if (path.empty()) continue;  // not loaded, so not running
      TServiceEntry entry{ServiceNameOf(name), {}, {}};
      if (!ReadText(bus, path, kUnitInterface, "Description", entry.DisplayName) ||
          !ReadStatus(bus, path, entry.Status))
        return false;
      if (entry.Status.dwCurrentState != kServiceStopped) active.push_back(std::move(entry));
    }
    dependents = std::move(active);
    return true;
  }

  bool Stop(ServiceHandle service) override { return Enqueue(service, "StopUnit"); }
  bool Start(ServiceHandle service) override { return Enqueue(service, "StartUnit"); }

  bool Close(ServiceHandle handle) override {
    return units_.erase(handle) > 0 || managers_.erase(handle) > 0;
  }

 private:
  sd_bus* BusOf(ServiceHandle manager) const {
    const auto found = managers_.find(manager);
    return found == managers_.end() ? nullptr : found->second.get();
  }

  const OpenUnit* UnitOf(ServiceHandle service) const {
    const auto found = units_.find(service);
    if (found == units_.end() || !BusOf(found->second.manager)) return nullptr;
    return &found->second;
  }

  // Queues a stop or start job for the unit; the job runs on without us.
  bool Enqueue(ServiceHandle service, const char* method) {
    const OpenUnit* unit = UnitOf(service);
    return unit &&
           CallManager(BusOf(unit->manager), method, "ss", unit->unit.c_str(), kJobMode) != nullptr;
  }

  std::map<ServiceHandle, BusPtr> managers_;
  std::map<ServiceHandle, OpenUnit> units_;
  ServiceHandle next_ = 1;
};

}  // namespace

ServiceControl& SystemdServiceControl() {
  static SystemdServices services;
  return services;
}

}  // namespace platform

// The module's entry point: the one systemd service control of the process.
TALVEX_MODULE_EXPORT platform::ServiceControl* TalvexSystemdServiceControl() {
  return &platform::SystemdServiceControl();
}
