#pragma once
// A service control manager that plays a script and logs every call, and a clock that only
// moves when slept on.

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/service_control.h"

namespace test {

inline platform::TServiceStatus Status(std::uint32_t state, std::uint32_t checkPoint = 0,
                                       std::uint32_t waitHint = 0) {
  return {state, checkPoint, waitHint};
}

struct FakeService {
  std::string name;
  platform::TServiceStatus status;
  // What the queries report one after the other once a stop (start) was requested; the last
  // one stays.
  std::deque<platform::TServiceStatus> afterStop;
  std::deque<platform::TServiceStatus> afterStart;
  // Listed as its active dependents.
  std::vector<std::string> dependents;
  // What is left to report of the last request.
  std::deque<platform::TServiceStatus> reporting;
};

struct FakeServiceControl final : platform::ServiceControl {
  std::vector<FakeService> services;
  // Every call, in order: "OpenService TalvexClient 0x2c", "Stop Monitor", "Close manager", ...
  std::vector<std::string> calls;
  // The call that fails, and on which of its occurrences.
  std::string failingCall;
  int failingOccurrence = 1;
  // Handles opened and not yet closed, with what they stand for.
  std::map<platform::ServiceHandle, std::string> openHandles;
  int closeOfUnknownHandle = 0;

  platform::ServiceHandle OpenManager(std::uint32_t access) override;
  bool ListServices(platform::ServiceHandle manager,
                    std::vector<platform::TServiceEntry>& listed) override;
  platform::ServiceHandle OpenService(platform::ServiceHandle manager, std::string_view name,
                                      std::uint32_t access) override;
  bool QueryStatus(platform::ServiceHandle service, platform::TServiceStatus& status) override;
  bool ListActiveDependents(platform::ServiceHandle service,
                            std::vector<platform::TServiceEntry>& dependents) override;
  bool Stop(platform::ServiceHandle service) override { return Request(service, "Stop"); }
  bool Start(platform::ServiceHandle service) override { return Request(service, "Start"); }
  bool Close(platform::ServiceHandle handle) override;

  // The Stop and Start calls only, in order.
  std::vector<std::string> Requests() const;

 private:
  bool Call(const std::string& call);
  // A stop or start request: the service then reports what the script says it does.
  bool Request(platform::ServiceHandle handle, const std::string& request);
  platform::ServiceHandle NewHandle(const std::string& what);
  FakeService* Find(std::string_view name);
  FakeService* ServiceOf(platform::ServiceHandle handle);

  platform::ServiceHandle next_ = 100;
  std::map<std::string, int> occurrences_;
};

struct FakeClock final : platform::Clock {
  std::uint64_t now = 5'000'000;
  std::vector<std::uint32_t> pauses;

  std::uint64_t TickCount() override { return now; }
  void Sleep(std::uint32_t milliseconds) override {
    pauses.push_back(milliseconds);
    now += milliseconds;
  }
};

}  // namespace test
