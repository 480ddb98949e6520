#pragma once
// The service control manager as the restart sees it: a manager connection, services opened by
// name, their status, their active dependents, stop and start requests, and closing what was
// opened. The real one is systemd on the system bus; tests put a scripted one in its place.
// Time comes through its own small interface, so that waits can be run without waiting.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Values of TServiceStatus::dwCurrentState.
constexpr std::uint32_t kServiceStopped = 1;
constexpr std::uint32_t kServiceStartPending = 2;
constexpr std::uint32_t kServiceStopPending = 3;
constexpr std::uint32_t kServiceRunning = 4;
constexpr std::uint32_t kServiceContinuePending = 5;
constexpr std::uint32_t kServicePausePending = 6;
constexpr std::uint32_t kServicePaused = 7;

// Access rights asked for when opening the manager or a service.
constexpr std::uint32_t kManagerAllAccess = 0xF003F;
constexpr std::uint32_t kServiceQueryStatus = 0x0004;
constexpr std::uint32_t kServiceEnumerateDependents = 0x0008;
constexpr std::uint32_t kServiceStart = 0x0010;
constexpr std::uint32_t kServiceStop = 0x0020;

struct TServiceStatus {
  std::uint32_t dwCurrentState = 0;
  // Grows while a pending operation makes progress.
  std::uint32_t dwCheckPoint = 0;
  // How long the pending operation may take before the next check point, in milliseconds.
  std::uint32_t dwWaitHint = 0;

  bool operator==(const TServiceStatus&) const = default;
};

struct TServiceEntry {
  std::string ServiceName;
  std::string DisplayName;
  TServiceStatus Status;
};

// An open manager connection or service; kNoHandle when an open failed.
using ServiceHandle = std::uint64_t;
constexpr ServiceHandle kNoHandle = 0;

struct ServiceControl {
  virtual ~ServiceControl() = default;

  virtual ServiceHandle OpenManager(std::uint32_t access) = 0;
  // Every service, whatever its state.
  virtual bool ListServices(ServiceHandle manager, std::vector<TServiceEntry>& services) = 0;
  // name as listed.
  virtual ServiceHandle OpenService(ServiceHandle manager, std::string_view name,
                                    std::uint32_t access) = 0;
  virtual bool QueryStatus(ServiceHandle service, TServiceStatus& status) = 0;
  // The services that depend on this one and are not stopped.
  virtual bool ListActiveDependents(ServiceHandle service,
                                    std::vector<TServiceEntry>& dependents) = 0;
  // Requests only: neither waits for the service to reach its new state.
  virtual bool Stop(ServiceHandle service) = 0;
  virtual bool Start(ServiceHandle service) = 0;
  // Closes a manager connection or a service opened here.
  virtual bool Close(ServiceHandle handle) = 0;
};

// Closes the handle it holds when it goes out of scope.
class ScopedServiceHandle {
 public:
  ScopedServiceHandle(ServiceControl& control, ServiceHandle handle)
      : control_(control), handle_(handle) {}
  ~ScopedServiceHandle() {
    if (handle_ != kNoHandle) control_.Close(handle_);
  }
  ScopedServiceHandle(const ScopedServiceHandle&) = delete;
  ScopedServiceHandle& operator=(const ScopedServiceHandle&) = delete;

  ServiceHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != kNoHandle; }

 private:
  ServiceControl& control_;
  ServiceHandle handle_;
};

struct Clock {
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; never goes back.
  virtual std::uint64_t TickCount() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// systemd's service manager on the system bus (the bus of DBUS_SYSTEM_BUS_ADDRESS when set).
ServiceControl& SystemdServiceControl();
// The monotonic clock of the system.
Clock& SystemClock();

// The service manager and clock the program works with; the real ones unless a test set others.
ServiceControl& Services();
void SetServices(ServiceControl* control);
Clock& Time();
void SetTime(Clock* clock);

}  // namespace platform
