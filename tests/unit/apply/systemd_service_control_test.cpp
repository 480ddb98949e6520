// The systemd backend against a stand-in systemd manager on a private bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "apply/service_restart.h"
#include "platform/service_control.h"
#include "private_systemd.h"

namespace {

using namespace platform;

// The client service with its dependents, and a unit in each of the states systemd has.
constexpr const char* kUnits = R"([
  {"name": "talvexclient.service", "description": "Talvex Shutdown Client", "state": "active",
   "requiredBy": ["monitor.service", "idle.service", "multi-user.target", "unloaded.service"],
   "boundBy": ["notifier.service"],
   "timeoutStartUSec": 4000000, "timeoutStopUSec": 5000000, "transitionMs": 200},
  {"name": "monitor.service", "description": "UPS monitor", "state": "active"},
  {"name": "notifier.service", "state": "activating", "timeoutStartUSec": 18446744073709551615},
  {"name": "idle.service", "description": "Idle", "state": "inactive"},
  {"name": "crashed.service", "state": "failed"},
  {"name": "reloading.service", "state": "reloading", "timeoutStartUSec": 7500000},
  {"name": "stopping.service", "state": "deactivating", "timeoutStopUSec": 12345678},
  {"name": "refusing.service", "state": "inactive", "refuseStart": true},
  {"name": "multi-user.target", "state": "active"}
])";

class SystemdBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    systemd = std::make_unique<test::PrivateSystemd>(kUnits);
    ASSERT_TRUE(systemd->running()) << systemd->error();
    manager = control.OpenManager(kManagerAllAccess);
    ASSERT_NE(manager, kNoHandle);
  }
  void TearDown() override {
    if (manager != kNoHandle) {
      EXPECT_TRUE(control.Close(manager));
    }
    systemd.reset();
  }

  TServiceStatus StatusOf(const std::string& name) {
    const ServiceHandle service = control.OpenService(manager, name, kServiceQueryStatus);
    EXPECT_NE(service, kNoHandle) << name;
    TServiceStatus status;
    EXPECT_TRUE(control.QueryStatus(service, status)) << name;
    EXPECT_TRUE(control.Close(service));
    return status;
  }

  std::unique_ptr<test::PrivateSystemd> systemd;
  ServiceControl& control = SystemdServiceControl();
  ServiceHandle manager = kNoHandle;
};

TEST_F(SystemdBackend, ListsTheServiceUnitsByNameWithoutSuffix) {
  std::vector<TServiceEntry> services;
  ASSERT_TRUE(control.ListServices(manager, services));
  std::vector<std::string> names;
  for (const auto& service : services) names.push_back(service.ServiceName);
  std::ranges::sort(names);
  EXPECT_EQ(names, (std::vector<std::string>{"crashed", "idle", "monitor", "notifier", "refusing",
                                             "reloading", "stopping", "talvexclient"}));
  const auto client = std::ranges::find(services, std::string("talvexclient"), &TServiceEntry::ServiceName);
  ASSERT_NE(client, services.end());
  EXPECT_EQ(client->DisplayName, "Talvex Shutdown Client");
  EXPECT_EQ(client->Status.dwCurrentState, kServiceRunning);
}

TEST_F(SystemdBackend, MapsActiveStatesWithTheTimeOutAsWaitHint) {
  constexpr std::uint32_t kInfinite = std::numeric_limits<std::uint32_t>::max();
  const struct {
    const char* name;
    TServiceStatus status;
  } cases[] = {
      {"talvexclient", {kServiceRunning, 0, 0}},
      {"idle", {kServiceStopped, 0, 0}},
      {"crashed", {kServiceStopped, 0, 0}},
      {"notifier", {kServiceStartPending, 0, kInfinite}},
      {"reloading", {kServiceStartPending, 0, 7500}},
      {"stopping", {kServiceStopPending, 0, 12345}},
  };
  for (const auto& row : cases) EXPECT_EQ(StatusOf(row.name), row.status) << row.name;

  std::vector<TServiceEntry> services;
  ASSERT_TRUE(control.ListServices(manager, services));
  for (const auto& row : cases) {
    const auto listed = std::ranges::find(services, std::string(row.name), &TServiceEntry::ServiceName);
    ASSERT_NE(listed, services.end()) << row.name;
    EXPECT_EQ(listed->Status.dwCurrentState, row.status.dwCurrentState) << row.name;
  }
}

TEST_F(SystemdBackend, ActiveDependentsAreTheRunningServicesThatRequireOrBindToIt) {
  const ServiceHandle service = control.OpenService(manager, "talvexclient", kServiceEnumerateDependents);
  ASSERT_NE(service, kNoHandle);
  std::vector<TServiceEntry> dependents;
  EXPECT_TRUE(control.ListActiveDependents(service, dependents));
  EXPECT_TRUE(control.Close(service));
  ASSERT_EQ(dependents.size(), 2u);
  EXPECT_EQ(dependents[0].ServiceName, "monitor");
  EXPECT_EQ(dependents[0].DisplayName, "UPS monitor");
  EXPECT_EQ(dependents[0].Status.dwCurrentState, kServiceRunning);
  EXPECT_EQ(dependents[1].ServiceName, "notifier");
  EXPECT_EQ(dependents[1].Status.dwCurrentState, kServiceStartPending);
}

TEST_F(SystemdBackend, StopsAndStartsARunningUnit) {
  const ServiceHandle service = control.OpenService(manager, "talvexclient", kServiceStop | kServiceStart);
  ASSERT_NE(service, kNoHandle);
  EXPECT_TRUE(control.Stop(service));
  EXPECT_EQ(StatusOf("talvexclient"), (TServiceStatus{kServiceStopPending, 0, 5000}));
  for (int i = 0; i < 100 && systemd->ActiveState("talvexclient.service") != "inactive"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(StatusOf("talvexclient").dwCurrentState, kServiceStopped);
  EXPECT_TRUE(control.Start(service));
  EXPECT_EQ(StatusOf("talvexclient"), (TServiceStatus{kServiceStartPending, 0, 4000}));
  EXPECT_TRUE(control.Close(service));
  EXPECT_EQ(systemd->JobLog(), (std::vector<std::string>{"StopUnit talvexclient.service replace",
                                                         "StartUnit talvexclient.service replace"}));
}

TEST_F(SystemdBackend, StopsAndStartsAStoppedUnit) {
  const ServiceHandle service = control.OpenService(manager, "idle", kServiceStop | kServiceStart);
  ASSERT_NE(service, kNoHandle);
  EXPECT_TRUE(control.Stop(service));
  EXPECT_EQ(StatusOf("idle").dwCurrentState, kServiceStopped);
  EXPECT_TRUE(control.Start(service));
  EXPECT_EQ(StatusOf("idle").dwCurrentState, kServiceRunning);
  EXPECT_TRUE(control.Close(service));
  EXPECT_EQ(systemd->JobLog(), (std::vector<std::string>{"StopUnit idle.service replace",
                                                         "StartUnit idle.service replace"}));
}

TEST_F(SystemdBackend, RefusedJobAndUnknownUnitFail) {
  const ServiceHandle refusing = control.OpenService(manager, "refusing", kServiceStart);
  ASSERT_NE(refusing, kNoHandle);
  EXPECT_FALSE(control.Start(refusing));
  EXPECT_TRUE(control.Close(refusing));
  EXPECT_EQ(control.OpenService(manager, "nosuch", kServiceQueryStatus), kNoHandle);
  // Not a service unit: the layer deals in services only.
  EXPECT_EQ(control.OpenService(manager, "multi-user.target", kServiceQueryStatus), kNoHandle);
}

TEST_F(SystemdBackend, ClosedHandlesAreGone) {
  const ServiceHandle service = control.OpenService(manager, "idle", kServiceQueryStatus);
  ASSERT_NE(service, kNoHandle);
  EXPECT_TRUE(control.Close(service));
  TServiceStatus status;
  EXPECT_FALSE(control.QueryStatus(service, status));
  EXPECT_FALSE(control.Close(service));
}

// The whole restart over the bus, dependents included, with the real clock.
TEST_F(SystemdBackend, RestartsTheClientService) {
  EXPECT_TRUE(apply::RestartClientService(apply::kClientServiceName, control, SystemClock()));
  EXPECT_EQ(systemd->JobLog(), (std::vector<std::string>{"StopUnit monitor.service replace",
                                                         "StopUnit notifier.service replace",
                                                         "StopUnit talvexclient.service replace",
                                                         "StartUnit talvexclient.service replace"}));
  EXPECT_EQ(systemd->ActiveState("talvexclient.service"), "active");
  EXPECT_EQ(systemd->ActiveState("monitor.service"), "inactive");
}

TEST(SystemdUnreachable, OpeningTheManagerFails) {
  test::UnreachableSystemBus unreachable;
  EXPECT_EQ(SystemdServiceControl().OpenManager(kManagerAllAccess), kNoHandle);
  EXPECT_FALSE(apply::RestartClientService(apply::kClientServiceName, SystemdServiceControl(), SystemClock()));
}

}  // namespace
