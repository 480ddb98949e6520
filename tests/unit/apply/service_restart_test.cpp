// The restart of the client service, against a scripted service manager and a clock that
// moves only when slept on.
#include "apply/service_restart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "fake_service_control.h"

namespace {

using namespace platform;
using test::FakeService;
using test::Status;

std::vector<std::uint32_t> Repeat(std::uint32_t pause, std::size_t times) {
  return std::vector<std::uint32_t>(times, pause);
}

// A check point that moves on every query: count pending statuses, then the final one.
std::deque<TServiceStatus> Progress(std::uint32_t pending, std::uint32_t count, std::uint32_t hint,
                                    std::uint32_t final) {
  std::deque<TServiceStatus> statuses;
  for (std::uint32_t checkPoint = 1; checkPoint <= count; ++checkPoint)
    statuses.push_back(Status(pending, checkPoint, hint));
  statuses.push_back(Status(final));
  return statuses;
}

// The client service in a state, with what its stop and start requests make of it.
FakeService Client(TServiceStatus status, std::deque<TServiceStatus> afterStop = {},
                   std::deque<TServiceStatus> afterStart = {}) {
  return {"TalvexClient", status, std::move(afterStop), std::move(afterStart), {}, {}};
}

struct RestartCase {
  const char* name;
  std::vector<FakeService> services;
  bool restarted;
  std::vector<std::string> requests;  // the stop and start requests, in order
  std::vector<std::uint32_t> pauses;  // every pause of the waits, in order
};

void PrintTo(const RestartCase& row, std::ostream* out) { *out << row.name; }

class Restart : public ::testing::TestWithParam<RestartCase> {};

TEST_P(Restart, RequestsAndWaits) {
  const RestartCase& row = GetParam();
  test::FakeServiceControl control;
  control.services = row.services;
  test::FakeClock clock;

  EXPECT_EQ(apply::RestartClientService("TalvexClient", control, clock), row.restarted);
  EXPECT_EQ(control.Requests(), row.requests);
  EXPECT_EQ(clock.pauses, row.pauses);
  EXPECT_TRUE(control.openHandles.empty());
  EXPECT_EQ(control.closeOfUnknownHandle, 0);
}

const RestartCase kRestartCases[] = {
    {"RunningIsStoppedThenStarted",
     {Client(Status(kServiceRunning), {Status(kServiceStopPending, 1, 3000), Status(kServiceStopped)},
             {Status(kServiceStartPending, 1, 2000), Status(kServiceRunning)})},
     true,
     {"Stop TalvexClient", "Start TalvexClient"},
     {1000, 1000}},
    {"StoppedIsOnlyStarted",
     {Client(Status(kServiceStopped))},
     true,
     {"Start TalvexClient"},
     {}},
    {"StartPendingIsStartedAtOnce",
     {Client(Status(kServiceStartPending, 3, 5000))},
     true,
     {"Start TalvexClient"},
     {}},
    {"StopPendingIsStartedAtOnce",
     {Client(Status(kServiceStopPending, 3, 5000))},
     true,
     {"Start TalvexClient"},
     {}},
    {"ContinuePendingIsStartedAtOnce",
     {Client(Status(kServiceContinuePending))},
     true,
     {"Start TalvexClient"},
     {}},
    {"PausePendingIsStartedAtOnce",
     {Client(Status(kServicePausePending))},
     true,
     {"Start TalvexClient"},
     {}},
    {"PausedIsStartedAtOnce",
     {Client(Status(kServicePaused))},
     true,
     {"Start TalvexClient"},
     {}},
    {"NoWaitHintAndStillCheckPointGiveUpAfterOnePause",
     {Client(Status(kServiceStopped), {}, {Status(kServiceStartPending, 0, 0)})},
     false,
     {"Start TalvexClient"},
     {1000}},
    {"NoWaitHintStillSucceedsWhenTheFirstPauseIsEnough",
     {Client(Status(kServiceStopped), {}, {Status(kServiceStartPending, 0, 0), Status(kServiceRunning)})},
     true,
     {"Start TalvexClient"},
     {1000}},
    {"LongWaitHintPausesTenSecondsAndGivesUpAfterItWithoutProgress",
     {Client(Status(kServiceStopped), {}, {Status(kServiceStartPending, 7, 200000)})},
     false,
     {"Start TalvexClient"},
     Repeat(10000, 21)},
    {"MovingCheckPointKeepsWaitingBeyondTheWaitHint",
     {Client(Status(kServiceStopped), {}, Progress(kServiceStartPending, 40, 50000, kServiceRunning))},
     true,
     {"Start TalvexClient"},
     Repeat(5000, 40)},
    {"FailedStopWaitStartsNothing",
     {Client(Status(kServiceRunning), {Status(kServiceStopPending, 2, 0)})},
     false,
     {"Stop TalvexClient"},
     {1000}},
    {"ActiveDependentsAreStoppedFirstAndNotStartedAgain",
     {{"TalvexClient", Status(kServiceRunning), {}, {}, {"Monitor", "Logger", "Notifier"}, {}},
      {"Monitor", Status(kServiceRunning), {}, {}, {}, {}},
      {"Logger", Status(kServiceStopped), {}, {}, {}, {}},
      {"Notifier", Status(kServicePaused), {}, {}, {}, {}}},
     true,
     {"Stop Monitor", "Stop Notifier", "Stop TalvexClient", "Start TalvexClient"},
     {}},
    {"NameIsMatchedWithoutRegardToCase",
     {{"TalvexClient2", Status(kServiceStopped), {}, {}, {}, {}},
      {"tALVEXcLIENT", Status(kServiceStopped), {}, {}, {}, {}}},
     true,
     {"Start tALVEXcLIENT"},
     {}},
    {"MissingServiceIsNotRestarted",
     {{"TalvexClient2", Status(kServiceRunning), {}, {}, {}, {}},
      {"Talvex", Status(kServiceRunning), {}, {}, {}, {}}},
     false,
     {},
     {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, Restart, ::testing::ValuesIn(kRestartCases),
                         [](const auto& info) { return std::string(info.param.name); });

// One clean restart, call by call: the access rights asked for and every handle closed in turn.
TEST(RestartCalls, RunningServiceCallByCall) {
  test::FakeServiceControl control;
  control.services = {{"TalvexClient", Status(kServiceRunning), {}, {}, {"Monitor"}, {}},
                      {"Monitor", Status(kServiceRunning), {}, {}, {}, {}}};
  test::FakeClock clock;
  ASSERT_TRUE(apply::RestartClientService("TalvexClient", control, clock));
  const std::vector<std::string> expected = {
      "OpenManager 0xf003f", "ListServices",
      // the status
      "OpenService TalvexClient 0x4", "QueryStatus TalvexClient", "Close TalvexClient",
      // the stop, dependents first
      "OpenService TalvexClient 0x2c", "QueryStatus TalvexClient", "ListActiveDependents TalvexClient",
      "OpenService Monitor 0x24", "QueryStatus Monitor", "Stop Monitor", "Close Monitor",
      "Stop TalvexClient", "Close TalvexClient",
      // the wait for the stop
      "OpenService TalvexClient 0x4", "QueryStatus TalvexClient", "Close TalvexClient",
      // the start and its wait
      "OpenService TalvexClient 0x10", "Start TalvexClient", "Close TalvexClient",
      "OpenService TalvexClient 0x4", "QueryStatus TalvexClient", "Close TalvexClient",
      "Close manager"};
  EXPECT_EQ(control.calls, expected);
}

TEST(RestartCalls, MissingServiceMakesNoFurtherCall) {
  test::FakeServiceControl control;
  control.services = {{"Other", Status(kServiceRunning), {}, {}, {}, {}}};
  test::FakeClock clock;
  EXPECT_FALSE(apply::RestartClientService("TalvexClient", control, clock));
  EXPECT_EQ(control.calls, (std::vector<std::string>{"OpenManager 0xf003f", "ListServices", "Close manager"}));
}

struct FailingCall {
  const char* call;
  int occurrence;
};

void PrintTo(const FailingCall& row, std::ostream* out) {
  *out << row.call << " #" << row.occurrence;
}

class RestartFailure : public ::testing::TestWithParam<FailingCall> {};

// Whichever call fails, the restart ends there with false, closing everything it opened and
// starting nothing afterwards.
TEST_P(RestartFailure, EndsAtTheFailingCallAndClosesEverything) {
  test::FakeServiceControl control;
  control.services = {
      {"TalvexClient", Status(kServiceRunning),
       {Status(kServiceStopPending, 1, 3000), Status(kServiceStopped)},
       {Status(kServiceStartPending, 1, 3000), Status(kServiceRunning)},
       {"Monitor"}, {}},
      {"Monitor", Status(kServiceRunning), {}, {}, {}, {}}};
  control.failingCall = GetParam().call;
  control.failingOccurrence = GetParam().occurrence;
  test::FakeClock clock;

  EXPECT_FALSE(apply::RestartClientService("TalvexClient", control, clock));

  // The failing call was made, and nothing but closing came after it.
  int seen = 0;
  auto failed = control.calls.begin();
  while (failed != control.calls.end() && !(*failed == control.failingCall && ++seen == control.failingOccurrence))
    ++failed;
  ASSERT_NE(failed, control.calls.end()) << "never called: " << control.failingCall;
  for (auto after = failed + 1; after != control.calls.end(); ++after)
    EXPECT_TRUE(after->starts_with("Close ")) << *after;
  EXPECT_TRUE(control.openHandles.empty());
  EXPECT_EQ(control.closeOfUnknownHandle, 0);
}

const FailingCall kFailingCalls[] = {
    {"OpenManager 0xf003f", 1},
    {"ListServices", 1},
    {"OpenService TalvexClient 0x4", 1},
    {"QueryStatus TalvexClient", 1},
    {"OpenService TalvexClient 0x2c", 1},
    {"QueryStatus TalvexClient", 2},
    {"ListActiveDependents TalvexClient", 1},
    {"OpenService Monitor 0x24", 1},
    {"QueryStatus Monitor", 1},
    {"Stop Monitor", 1},
    {"Stop TalvexClient", 1},
    {"OpenService TalvexClient 0x4", 2},  // the wait's first query
    {"QueryStatus TalvexClient", 4},      // a query inside the stop wait
    {"OpenService TalvexClient 0x10", 1},
    {"Start TalvexClient", 1},
    {"QueryStatus TalvexClient", 6},  // a query inside the start wait
};

INSTANTIATE_TEST_SUITE_P(Calls, RestartFailure, ::testing::ValuesIn(kFailingCalls),
                         [](const auto& info) {
                           std::string name = info.param.call;
                           std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                           return name + "_" + std::to_string(info.param.occurrence);
                         });

}  // namespace
