// The configuration record: its defaults and the operations on its connections and texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/uConstants.h"

namespace {

TEST(ConfigModel, SetDefaultsKeepsThePathsItDoesNotOwn) {
  ::Setup = TSetupData{};
  ::Setup.AppDir = "/opt/tools/";
  ::Setup.ConfigFile = "/elsewhere/config.cfg";
  ::Setup.Hosts = {THost{}, THost{}};
  ::Setup.Password = "secret";
  ::Setup.Redundancy = true;
  SetDefaults();
  EXPECT_EQ(::Setup.AppDir, "/opt/tools/");
  EXPECT_EQ(::Setup.ConfigFile, "/elsewhere/config.cfg");
  EXPECT_EQ(::Setup.LanguageFile, "/opt/tools/languages/english.lng");
  EXPECT_TRUE(::Setup.Hosts.empty());
  EXPECT_EQ(::Setup.Password, "");
  EXPECT_FALSE(::Setup.Redundancy);
  EXPECT_EQ(::Setup.Interval, 5);
  EXPECT_EQ(::Setup.Timeout, 3);
  EXPECT_EQ(::Setup.Retries, 3);
  EXPECT_TRUE(::Setup.ShowMessages);
  EXPECT_FALSE(::Setup.SystemLog);
  const std::vector<TEventSetting> events = {::Setup.Powerfail, ::Setup.LowBattery, ::Setup.BatteryCharge,
                                             ::Setup.Overload,  ::Setup.GeneralFault, ::Setup.UpsCommunicationLost};
  const std::vector<TEventSetting> expected = {{true, 10}, {true, 1}, {true, 10}, {false, 3}, {false, 1}, {false, 3}};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(::Setup.Tasks, (TCustomTasks{false, "", 5}));
}

TEST(ConfigModel, NewHostOverwritesEveryField) {
  THost host{"old", 1, "c", 2, "u", 2, "a", 2, "p"};
  NewHost(host);
  EXPECT_EQ(host, (THost{"", 161, "public", 1, "", 0, "", 0, ""}));
}

TEST(ConfigModel, DeleteHostRemovesOnlyAnIndexInRange) {
  const THost first{"first", 161, "", 1, "", 0, "", 0, ""};
  const THost second{"second", 162, "", 1, "", 0, "", 0, ""};
  struct Case {
    THosts before;
    std::int32_t index;
    bool result;
    THosts after;
  } cases[] = {
      {{first, second}, 0, true, {second}},
      {{first, second}, 1, true, {first}},
      {{first, second}, 2, false, {first, second}},
      {{first, second}, -1, false, {first, second}},
      {{}, 0, false, {}},
      {{}, -1, false, {}},
  };
  for (const Case& c : cases) {
    ::Setup = TSetupData{};
    ::Setup.Hosts = c.before;
    ::Setup.Redundancy = true;
    EXPECT_EQ(DeleteHost(c.index), c.result) << c.index;
    EXPECT_EQ(::Setup.Hosts, c.after) << c.index;
    EXPECT_TRUE(::Setup.Redundancy) << "the caller applies the redundancy rule";
  }
}

TEST(ConfigModel, BoolToText) {
  EXPECT_EQ(BoolToText(true), "1");
  EXPECT_EQ(BoolToText(false), "0");
}

TEST(ConfigModel, ReplaceLineMarkers) {
  EXPECT_EQ(ReplaceLineMarkers("a@b@c", false, " "), "a b c");
  EXPECT_EQ(ReplaceLineMarkers("a@b@c", true, " "), "a\r\nb\r\nc");
  EXPECT_EQ(ReplaceLineMarkers("@@", false, ", "), ", , ");
  EXPECT_EQ(ReplaceLineMarkers("no marker", true, " "), "no marker");
  EXPECT_EQ(ReplaceLineMarkers("", true, " "), "");
}

// The folder of the running executable, not the current one: the tests run elsewhere.
TEST(ConfigModel, ApplicationDirIsTheExecutablesFolder) {
  std::string dir = ApplicationDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  namespace fs = std::filesystem;
  EXPECT_TRUE(fs::equivalent(dir + fs::read_symlink("/proc/self/exe").filename().string(), "/proc/self/exe"));
}

}  // namespace
