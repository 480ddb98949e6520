// The events menu: the six UPS events that lead to a shutdown, and the additional task.
#include "policy/shutdown_menu.h"

#include "console/console.h"

namespace policy {

void SystemShutdownMenu() {
  const std::string delayLabel = console::TranslateLabel("PromptEventDelay", true);
  const std::string thresholdLabel = console::TranslateLabel("PromptEventLessThan", true);
  console::TMenuItems items;
  console::AddMenuItem(items, "1", "EventPowerFailure");
  console::AddMenuItem(items, "2", "EventLowBattery");
  console::AddMenuItem(items, "3", "EventBatteryChargeLevel");
  console::AddMenuItem(items, "4", "EventOutputOverload");
  console::AddMenuItem(items, "5", "EventGeneralFault");
  console::AddMenuItem(items, "6", "EventUpsCommunicationLost");
  console::AddMenuItem(items, "A", "AdditionalTasks");
  console::AddMenuItem(items, "Q", "GoToPreviousMenu");
  for (;;) {
    const std::string choice = console::AskMenuChoice("SystemShutdown", items, false);
    if (choice == "A")
      EditAdditionalTask();
    else if (choice == "6")
      EditEvent(Setup.UpsCommunicationLost, delayLabel);
    else if (choice == "5")
      EditEvent(Setup.GeneralFault, delayLabel);
    else if (choice == "4")
      EditEvent(Setup.Overload, delayLabel);
    else if (choice == "3")
      EditEvent(Setup.BatteryCharge, thresholdLabel);
    else if (choice == "2")
      EditEvent(Setup.LowBattery, delayLabel);
    else if (choice == "1")
      EditEvent(Setup.Powerfail, delayLabel);
    if (choice == "Q") break;
  }
}

// 0 switches the event off and keeps its value; a switched-off event offers 0.
void EditEvent(TEventSetting& event, std::string_view promptLabel) {
  const std::int32_t offered = event.Enabled ? event.Value : 0;
  const std::int32_t entered = console::AskNumber(promptLabel, true, offered);
  event.Enabled = entered > 0;
  if (entered > 0) event.Value = entered;
}

void EditAdditionalTask() {
  Setup.Tasks.Enabled = console::AskYesNo("FileExecute", true);
  if (!Setup.Tasks.Enabled) return;  // name and time stay as they were
  Setup.Tasks.FileName = console::AskText(console::TranslateLabel("FileName", true), Setup.Tasks.FileName);
  const std::string prompt =
      console::Translate("FileMaxTime") + " [" + console::Translate("Minutes") + "]: ";
  Setup.Tasks.MaxTime = console::AskNumber(prompt, false, Setup.Tasks.MaxTime);
}

}  // namespace policy
