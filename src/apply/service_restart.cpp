#include "apply/service_restart.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace apply {
namespace {

using platform::ScopedServiceHandle;
using platform::ServiceHandle;
using platform::TServiceStatus;

// Thrown by any failing call of the manager; RestartClientService turns it into false.
struct ServiceCallFailed {};

void Check(bool succeeded) {
  if (!succeeded) throw ServiceCallFailed{};
}

// What the steps of one restart share: the manager connection, the service and its status.
struct TRestart {
  platform::ServiceControl& control;
  platform::Clock& clock;
  ServiceHandle manager;
  std::string name;  // as the manager listed it
  TServiceStatus status;
};

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameAsciiText(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

ScopedServiceHandle OpenService(TRestart& restart, std::string_view name, std::uint32_t access) {
  const ServiceHandle handle = restart.control.OpenService(restart.manager, name, access);
  Check(handle != platform::kNoHandle);
  return ScopedServiceHandle(restart.control, handle);
}

void QueryServiceStatus(TRestart& restart) {
  const ScopedServiceHandle service = OpenService(restart, restart.name, platform::kServiceQueryStatus);
  Check(restart.control.QueryStatus(service.get(), restart.status));
}

// A tenth of the wait hint, but at least 1 s and at most 10 s.
std::uint32_t PauseFor(std::uint32_t waitHint) {
  return std::clamp<std::uint32_t>(waitHint / 10, 1000, 10000);
}

// Polls until the service is in the wanted state, or until its check point has not moved
// for longer than its wait hint.
bool WaitForServiceState(TRestart& restart, std::uint32_t wanted) {
  QueryServiceStatus(restart);
  std::uint64_t lastProgressTick = restart.clock.TickCount();
  std::uint32_t lastCheckPoint = restart.status.dwCheckPoint;
  while (restart.status.dwCurrentState != wanted) {
    restart.clock.Sleep(PauseFor(restart.status.dwWaitHint));
    QueryServiceStatus(restart);
    const std::uint64_t now = restart.clock.TickCount();
    if (restart.status.dwCheckPoint > lastCheckPoint) {
      lastProgressTick = now;
      lastCheckPoint = restart.status.dwCheckPoint;
    } else if (now - lastProgressTick > restart.status.dwWaitHint) {
      break;
    }
  }
  return restart.status.dwCurrentState == wanted;
}

// A dependent gets its stop request; nobody waits for it, and its own dependents are left.
void StopDependent(TRestart& restart, std::string_view name) {
  const ScopedServiceHandle dependent =
      OpenService(restart, name, platform::kServiceStop | platform::kServiceQueryStatus);
  TServiceStatus status;
  Check(restart.control.QueryStatus(dependent.get(), status));
  if (status.dwCurrentState != platform::kServiceStopped) Check(restart.control.Stop(dependent.get()));
}

void StopService(TRestart& restart) {
  const ScopedServiceHandle service =
      OpenService(restart, restart.name,
                  platform::kServiceStop | platform::kServiceQueryStatus |
                      platform::kServiceEnumerateDependents);
  Check(restart.control.QueryStatus(service.get(), restart.status));
  if (restart.status.dwCurrentState == platform::kServiceStopped) return;
  std::vector<platform::TServiceEntry> dependents;
  Check(restart.control.ListActiveDependents(service.get(), dependents));
  for (const auto& dependent : dependents) StopDependent(restart, dependent.ServiceName);
  Check(restart.control.Stop(service.get()));
}

void StartService(TRestart& restart) {
  const ScopedServiceHandle service = OpenService(restart, restart.name, platform::kServiceStart);
  Check(restart.control.Start(service.get()));
}

bool StopAndStart(TRestart& restart) {
  QueryServiceStatus(restart);
  bool result = true;
  if (restart.status.dwCurrentState == platform::kServiceRunning) {
    StopService(restart);
    result = WaitForServiceState(restart, platform::kServiceStopped);
  }
  if (result) {
    StartService(restart);
    result = WaitForServiceState(restart, platform::kServiceRunning);
  }
  return result;
}

}  // namespace

bool RestartClientService(std::string_view name, platform::ServiceControl& control,
                          platform::Clock& clock) {
  try {
    const ScopedServiceHandle manager(control, control.OpenManager(platform::kManagerAllAccess));
    Check(static_cast<bool>(manager));
    std::vector<platform::TServiceEntry> services;
    Check(control.ListServices(manager.get(), services));
    const auto found = std::ranges::find_if(
        services, [name](const auto& service) { return SameAsciiText(service.ServiceName, name); });
    if (found == services.end()) return false;
    TRestart restart{control, clock, manager.get(), found->ServiceName, {}};
    return StopAndStart(restart);
  } catch (const ServiceCallFailed&) {
    return false;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace apply
