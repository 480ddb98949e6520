// The read-only summary of the configuration held in memory, in three sections with a pause
// after each.
#include "policy/summary.h"

#include "connections/connections_menu.h"
#include "console/console.h"

namespace policy {
namespace {

std::string YesNo(bool flag) { return console::Translate(flag ? "Yes" : "No"); }

}  // namespace

void PrintEventLine(const TEventSetting& setting, std::string_view key, std::string_view word,
                    std::string_view unit) {
  std::string line = " - " + console::TranslateLabel(key, true) + YesNo(setting.Enabled);
  if (setting.Enabled) {
    line += ", ";
    line += word;
    line += " " + std::to_string(setting.Value) + " ";
    line += unit;
  }
  console::WriteLine(line);
}

void PrintTasksSection() {
  console::WriteLine(console::TranslateLabel("AdditionalTasks", true));
  const std::string lead = " - " + console::TranslateLabel("FileExecute", true);
  console::WriteLine(lead + YesNo(Setup.Tasks.Enabled));
  if (Setup.Tasks.Enabled) {
    console::WriteLine(" - " + console::Translate("FileName") + ": " + Setup.Tasks.FileName);
    console::WriteLine(" - " + console::Translate("FileMaxTime") + ": " + std::to_string(Setup.Tasks.MaxTime) +
                       " " + console::Translate("Minutes"));
  }
  console::WaitForEnter(true, "");
}

void PrintOptionLine(bool flag, std::string_view key) {
  console::WriteLine(" - " + console::TranslateLabel(key, true) + YesNo(flag));
}

void ShowConfigurationSummary() {
  const std::string prefix = console::TranslateLabel("CurrentConfiguration", true);
  const std::string after = console::Translate("After");
  const std::string minutes = console::Translate("Minutes");

  console::ClearScreen();
  console::PrintTitle(prefix + console::Translate("UpsConnectionsList"), true);
  connections::ShowConnectionList();
  console::WriteLine();

  console::PrintTitle(prefix + console::Translate("SystemShutdown"), true);
  console::WriteLine(console::TranslateLabel("Shutdown", true));
  PrintEventLine(Setup.Powerfail, "EventPowerFailure", after, minutes);
  PrintEventLine(Setup.LowBattery, "EventLowBattery", after, minutes);
  PrintEventLine(Setup.BatteryCharge, "EventBatteryChargeLevel", console::Translate("LessThan"), "%");
  PrintEventLine(Setup.Overload, "EventOutputOverload", after, minutes);
  PrintEventLine(Setup.GeneralFault, "EventGeneralFault", after, minutes);
  PrintEventLine(Setup.UpsCommunicationLost, "EventUpsCommunicationLost", after, minutes);
  console::WriteLine();
  PrintTasksSection();
  console::WriteLine();

  console::PrintTitle(prefix + console::Translate("OtherOptions"), true);
  PrintOptionLine(!Setup.Password.empty(), "ConfigPassword");
  PrintOptionLine(Setup.ShowMessages, "ShowMessages");
  PrintOptionLine(Setup.SystemLog, "UseSystemLog");
  console::WaitForEnter(true, "");
}

}  // namespace policy
