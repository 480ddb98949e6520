// Saving from the main menu's entry: what the operator sees, through the scripted terminal.
#include "apply/save_and_exit.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "config/uConstants.h"
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

}  // namespace
