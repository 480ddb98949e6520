// The events menu, the task editor, the other options, the access password and the summary,
// through a scripted terminal with a small catalogue of the test's own.
#include <gtest/gtest.h>

#include "config/uConstants.h"
#include "console/access_password.h"
#include "console/console.h"
#include "policy/other_options.h"
#include "policy/shutdown_menu.h"
#include "policy/summary.h"
#include "support/console_fixture.h"

namespace {

class Policy : public test::ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    UseCatalogue({{"Selection", "Choice"},   {"ShortYes", "Y"},        {"ShortNo", "N"},
                  {"Yes", "Yes"},            {"No", "No"},             {"PressEnterToContinue", "Enter"},
                  {"PromptEventDelay", "Delay"}, {"PromptEventLessThan", "Below:"},
                  {"FileExecute", "Run"},    {"FileName", "File"},     {"FileMaxTime", "Time"},
                  {"Minutes", "min"},        {"After", "after"},       {"LessThan", "below"},
                  {"Password", "Password"},  {"PressToAbort", "Q=abort"}, {"ConfirmPassword", "Again"},
                  {"PasswordSet", "Set."},   {"PasswordDeleted", "Deleted."},
                  {"PasswordContainsAbortKey", "No Q."},
                  {"CurrentConfiguration", "Now"}, {"UpsConnectionsList", "UPS"},
                  {"SystemShutdown", "Shutdown"},  {"OtherOptions", "Options"},
                  {"Shutdown", "Events"},    {"AdditionalTasks", "Task"},
                  {"EventPowerFailure", "Power"}, {"EventLowBattery", "Low"},
                  {"EventBatteryChargeLevel", "Charge"}, {"EventOutputOverload", "Overload"},
                  {"EventGeneralFault", "Fault"}, {"EventUpsCommunicationLost", "Lost"},
                  {"ConfigPassword", "Access"}, {"ShowMessages", "Messages"}, {"UseSystemLog", "Log"},
                  {"NoConnectionsConfigured", "None."}, {"ConfigurationTitle", "%s"}});
    ::Setup.AppDir = "/nowhere/";
    SetDefaults();
  }
};

// --- events -------------------------------------------------------------------------------------

TEST_F(Policy, EditEventCases) {
  struct Case {
    TEventSetting before;
    const char* typed;
    TEventSetting after;
    const char* shown;
  } cases[] = {
      {{true, 10}, "\b\b0\r", {false, 10}, "\nDelay: 10\b \b\b \b0\n"},  // 0 switches off, keeps 10
      {{false, 10}, "\b5\r", {true, 5}, "\nDelay: 0\b \b5\n"},           // off: 0 is offered
      {{false, 10}, "\r", {false, 10}, "\nDelay: 0\n"},                    // Enter alone: stays off
      {{true, 7}, "\r", {true, 7}, "\nDelay: 7\n"},
      {{true, 10}, "\b\b150\r", {true, 150}, "\nDelay: 10\b \b\b \b150\n"},  // no range check
  };
  for (const Case& c : cases) {
    terminal = test::ScriptedTerminal{};
    TEventSetting event = c.before;
    Type(c.typed);
    policy::EditEvent(event, "Delay: ");
    EXPECT_EQ(event, c.after) << c.typed;
    EXPECT_EQ(TakeOutput(), c.shown) << c.typed;
  }
}

TEST_F(Policy, ShutdownMenuDispatchesEachItem) {
  // "3" is the battery charge with its own label; "a" and "q" select nothing; "A" opens the
  // task editor and the menu comes back after it; "Q" leaves.
  Type("3\n\b\b150\r" "6\n\b4\r" "a\nq\n" "A\nN\n" "1\n\b\b0\r" "Q\n");
  ::Setup.Tasks = {true, "run.sh", 9};
  policy::SystemShutdownMenu();
  EXPECT_EQ(::Setup.Tasks, (TCustomTasks{false, "run.sh", 9}));
  EXPECT_EQ(::Setup.BatteryCharge, (TEventSetting{true, 150}));
  EXPECT_EQ(::Setup.UpsCommunicationLost, (TEventSetting{true, 4}));
  EXPECT_EQ(::Setup.Powerfail, (TEventSetting{false, 10}));
  EXPECT_EQ(terminal.beeps, 0);
  std::string out = TakeOutput();
  EXPECT_NE(out.find("\nBelow: 10"), std::string::npos);
  EXPECT_NE(out.find(" 6 - Lost\n A - Task\n Q - Not translated!\n"), std::string::npos);
  EXPECT_NE(out.find("\nChoice: \nRun [Y/N]: "), std::string::npos) << out;
  EXPECT_EQ(terminal.clears, 7);
  EXPECT_EQ(terminal.Unread(), "");
}

TEST_F(Policy, AdditionalTask) {
  ::Setup.Tasks = {true, "run.sh", 9};
  Type("N\n");  // no: off, name and time kept
  policy::EditAdditionalTask();
  EXPECT_EQ(::Setup.Tasks, (TCustomTasks{false, "run.sh", 9}));
  EXPECT_EQ(TakeOutput(), "\nRun [Y/N]: ");

  Type("Y\n\r\r");  // yes with the offered values: only switches on
  policy::EditAdditionalTask();
  EXPECT_EQ(::Setup.Tasks, (TCustomTasks{true, "run.sh", 9}));
  EXPECT_EQ(TakeOutput(), "\nRun [Y/N]: File: run.sh\nTime [min]: 9\n");

  ::Setup.Tasks = {false, "", 5};
  Type("y\n\rmy prog\r\b0\r");  // no stored name: Enter alone is refused; 0 minutes is kept
  policy::EditAdditionalTask();
  EXPECT_EQ(::Setup.Tasks, (TCustomTasks{true, "my prog", 0}));
  EXPECT_EQ(terminal.beeps, 1);
}

// --- other options ------------------------------------------------------------------------------

TEST_F(Policy, OtherOptionsStoreTheAnswers) {
  Type("2\nN\n3\nY\nq\nQ\n");
  policy::OtherOptionsMenu();
  EXPECT_FALSE(::Setup.ShowMessages);
  EXPECT_TRUE(::Setup.SystemLog);
  EXPECT_EQ(terminal.clears, 4);
  EXPECT_EQ(terminal.beeps, 0);
}

// --- access password ----------------------------------------------------------------------------

TEST_F(Policy, PasswordMenuSetsReplacesAndDeletes) {
  Type("1\nsecret\rsecret\r\n");
  console::PasswordMenu();
  EXPECT_EQ(::Setup.Password, "secret");
  EXPECT_TRUE(TakeOutput().ends_with("\nPassword: ******\nAgain: ******\n\nSet.\nEnter\n"));

  Type("1\nx\rx\r\n");  // replaced without the old one; one character is enough
  console::PasswordMenu();
  EXPECT_EQ(::Setup.Password, "x");

  Type("2\n\n");
  console::PasswordMenu();
  EXPECT_EQ(::Setup.Password, "");
  EXPECT_TRUE(TakeOutput().ends_with("\nDeleted.\nEnter\n"));

  Type("2\n\n");  // deleting no password still says so
  console::PasswordMenu();
  EXPECT_EQ(::Setup.Password, "");
  EXPECT_TRUE(TakeOutput().ends_with("\nDeleted.\nEnter\n"));

  Type("q\nQ\n");
  console::PasswordMenu();
  EXPECT_EQ(terminal.Unread(), "");
}

TEST_F(Policy, PasswordMenuRefusesTheAbortKey) {
  ::Setup.Password = "old";
  Type("1\nQuiet\rQuiet\r" "quiet\rquiet\r\n");
  console::PasswordMenu();
  EXPECT_EQ(::Setup.Password, "quiet");
  EXPECT_EQ(terminal.beeps, 1);
  EXPECT_NE(TakeOutput().find("Again: *****\n<BEEP>No Q.\n\nPassword: "), std::string::npos);
}

TEST_F(Policy, StartupGate) {
  struct Case {
    const char* typed;
    bool opened;
    int beeps;
  } cases[] = {
      {"quiet\r", true, 0},
      {"QUIET", false, 0},             // Q aborts at once
      {"Quiet\r", false, 0},
      {"QUIET\rquiet\r", false, 0},
      {"abQ", false, 0},               // after other characters too
      {"Quiet", false, 0},
      {"quieT\rquiet\r", true, 1},     // letter case matters: beep, asked again
      {"\rquiet\r", true, 1},          // empty entry refused by the reader
  };
  ::Setup.Password = "quiet";
  for (const Case& c : cases) {
    terminal = test::ScriptedTerminal{};
    Type(c.typed);
    EXPECT_EQ(console::StartupGate(), c.opened) << c.typed;
    EXPECT_EQ(terminal.beeps, c.beeps) << c.typed;
    EXPECT_EQ(terminal.clears, 0) << "the gate does not clear the screen";
  }
  terminal = test::ScriptedTerminal{};
  Type("x\rquiet\r");
  EXPECT_TRUE(console::StartupGate());
  EXPECT_EQ(TakeOutput(), "Talvex Shutdown Client 1.0\nCopyright (C) Brevant. All rights reserved.\n\n"
                          "Password [Q=abort]: *\n<BEEP>Password [Q=abort]: *****\n");
  ::Setup.Password.clear();
  terminal = test::ScriptedTerminal{};
  EXPECT_TRUE(console::StartupGate());
  EXPECT_EQ(TakeOutput(), "");
}

// --- summary ------------------------------------------------------------------------------------

TEST_F(Policy, SummaryLines) {
  ::Setup.Powerfail = {true, 10};
  ::Setup.LowBattery = {false, 1};
  ::Setup.BatteryCharge = {true, 10};
  ::Setup.Tasks = {false, "hidden", 3};
  ::Setup.ShowMessages = true;
  ::Setup.SystemLog = false;
  Type("\n\n\n");
  policy::ShowConfigurationSummary();
  const std::string out = TakeOutput();
  // The first section is the connection list, with its own pause.
  EXPECT_TRUE(out.starts_with("<CLS>----------\n Now: UPS\n----------\n\nNone.\nEnter\n\n---")) << out;
  EXPECT_EQ(terminal.Unread(), "");
  EXPECT_TRUE(out.ends_with(
            "\n"
            "---------------\n Now: Shutdown\n---------------\n"
            "Events: \n"
            " - Power: Yes, after 10 min\n"
            " - Low: No\n"
            " - Charge: Yes, below 10 %\n"
            " - Overload: No\n"
            " - Fault: No\n"
            " - Lost: No\n"
            "\n"
            "Task: \n"
            " - Run: No\n"
            "\nEnter\n"
            "\n"
            "--------------\n Now: Options\n--------------\n"
            " - Access: No\n"
            " - Messages: Yes\n"
            " - Log: No\n"
            "\nEnter\n")) << out;
}

TEST_F(Policy, SummaryWithTaskAndPassword) {
  ::Setup.Tasks = {true, "C:\\x y.cmd", 0};
  ::Setup.Password = "secret";
  Type("\n\n\n");
  policy::ShowConfigurationSummary();
  std::string out = TakeOutput();
  EXPECT_NE(out.find("Task: \n - Run: Yes\n - File: C:\\x y.cmd\n - Time: 0 min\n\nEnter\n"), std::string::npos);
  EXPECT_NE(out.find(" - Access: Yes\n"), std::string::npos);
  EXPECT_EQ(out.find("secret"), std::string::npos);
}

TEST_F(Policy, LabelsEndingInAColonGetNoSecond) {
  UseCatalogue({{"FileName", "File:"}, {"FileMaxTime", "Time:"}, {"FileExecute", "Run:"}, {"Minutes", "min"},
                {"AdditionalTasks", "Task:"}, {"Yes", "Yes"}, {"PressEnterToContinue", "Enter"}});
  ::Setup.Tasks = {true, "f", 1};
  Type("\n");
  policy::PrintTasksSection();
  EXPECT_EQ(TakeOutput(), "Task: \n - Run: Yes\n - File:: f\n - Time:: 1 min\n\nEnter\n");
}

}  // namespace
