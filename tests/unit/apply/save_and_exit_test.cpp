// Saving from the main menu's entry: what the operator sees, through the scripted terminal.
#include "apply/save_and_exit.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "config/uConstants.h"
#include "platform/file_system.h"
#include "fake_service_control.h"
#include "support/console_fixture.h"

namespace {

namespace fs = std::filesystem;
using test::Status;

class SaveAndExit : public test::ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    UseCatalogue({{"ErrorSavingConfiguration", "Error saving the configuration"},
                  {"RestartService", "Restart the service now?"},
                  {"RestartingService", "Restarting the service..."},
                  {"ShortYes", "Y"},
                  {"ShortNo", "N"},
                  {"Ok", "Ok"},
                  {"Error", "Error"}});
    dir = fs::temp_directory_path() / ("talvex-save-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ::Setup.AppDir = dir.string() + "/";
    ::Setup.ConfigFile = ::Setup.AppDir + "config.cfg";
    SetDefaults();
    platform::SetServices(&services);
    platform::SetTime(&clock);
  }
  void TearDown() override {
    platform::SetServices(nullptr);
    platform::SetTime(nullptr);
    fs::remove_all(dir);
    ConsoleFixture::TearDown();
  }

  fs::path dir;
  test::FakeServiceControl services;
  test::FakeClock clock;
};

TEST_F(SaveAndExit, FailedSaveBeepsShowsTheErrorAndAsksNothing) {
  fs::create_directory(::Setup.ConfigFile);  // a directory where the file should go
  Type("Y\n");
  EXPECT_FALSE(apply::SaveAndExit());
  EXPECT_EQ(TakeOutput(), "<BEEP>\nError saving the configuration\n");
  EXPECT_EQ(terminal.Unread(), "Y\n");
  EXPECT_TRUE(services.calls.empty());
}

TEST_F(SaveAndExit, DeclinedRestartEndsWithTheFileWritten) {
  ::Setup.Interval = 17;
  Type("N\n");
  EXPECT_TRUE(apply::SaveAndExit());
  EXPECT_EQ(TakeOutput(), "\nRestart the service now? [Y/N]: ");
  EXPECT_TRUE(services.calls.empty());
  const auto written = platform::ReadWholeFile(::Setup.ConfigFile);
  ASSERT_TRUE(written.has_value());
  EXPECT_NE(written->find("Interval=\"17\""), std::string::npos) << *written;
}

TEST_F(SaveAndExit, AnswerThatIsNeitherYesNorNoAsksAgain) {
  Type("yes\nN\n");
  EXPECT_TRUE(apply::SaveAndExit());
  EXPECT_EQ(TakeOutput(), "\nRestart the service now? [Y/N]: <BEEP>Restart the service now? [Y/N]: ");
}

struct Outcome {
  const char* name;
  std::vector<test::FakeService> services;
  const char* failingCall;
  const char* line;  // what follows the question
};

void PrintTo(const Outcome& row, std::ostream* out) { *out << row.name; }

class SaveAndRestart : public SaveAndExit, public ::testing::WithParamInterface<Outcome> {};

// The outcome of the restart stands on the line of the progress text; the program ends anyway.
TEST_P(SaveAndRestart, OutcomeOnTheProgressLine) {
  services.services = GetParam().services;
  services.failingCall = GetParam().failingCall;
  Type("y\n");
  EXPECT_TRUE(apply::SaveAndExit());
  EXPECT_EQ(TakeOutput(), std::string("\nRestart the service now? [Y/N]: ") + GetParam().line);
  EXPECT_TRUE(services.openHandles.empty());
}

const Outcome kOutcomes[] = {
    {"Restarted", {{"talvexclient", Status(platform::kServiceRunning), {}, {}, {}, {}}}, "",
     "Restarting the service... Ok\n"},
    {"NotRegistered", {{"other", Status(platform::kServiceRunning), {}, {}, {}, {}}}, "",
     "Restarting the service...<BEEP> Error\n"},
    {"ManagerUnreachable", {{"talvexclient", Status(platform::kServiceRunning), {}, {}, {}, {}}},
     "OpenManager 0xf003f", "Restarting the service...<BEEP> Error\n"},
    {"StartRefused", {{"talvexclient", Status(platform::kServiceStopped), {}, {}, {}, {}}},
     "Start talvexclient", "Restarting the service...<BEEP> Error\n"},
};

INSTANTIATE_TEST_SUITE_P(Outcomes, SaveAndRestart, ::testing::ValuesIn(kOutcomes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
