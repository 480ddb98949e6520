#include "app/program.h"

#include "apply/save_and_exit.h"
#include "config/uConstants.h"
#include "connections/connections_menu.h"
#include "console/access_password.h"
#include "console/catalogue.h"
#include "console/console.h"
#include "policy/other_options.h"
#include "policy/shutdown_menu.h"
#include "policy/summary.h"

namespace app {
namespace {

constexpr int kExitOrderly = 0;
constexpr int kExitInputEnded = 1;

// Shows a start-up error, waits for Enter and cleans up.
int StopWithMessage(std::string_view message) {
  console::WaitForEnter(true, message);
  CleanUp();
  return kExitOrderly;
}

void RunMainLoop() {
  bool done = false;
  while (!done) {
    const std::string choice = ShowMainMenu();
    if (choice == "Q")
      done = true;
    else if (choice == "5")
      done = apply::SaveAndExit();
    else if (choice == "4")
      policy::ShowConfigurationSummary();
    else if (choice == "3")
      policy::OtherOptionsMenu();
    else if (choice == "2")
      policy::SystemShutdownMenu();
    else if (choice == "1")
      connections::UpsConnectionsMenu();
  }
}

int RunSteps() {
  console::PrepareConsole();
  if (!LoadConfiguration(true, false))
    return StopWithMessage("Error loading the configuration. Program stopped.");
  if (!console::LoadCatalogue())
    return StopWithMessage("Error loading the language file. Program stopped.");
  if (console::StartupGate()) RunMainLoop();
  console::WriteLine();
  CleanUp();
  return kExitOrderly;
}

}  // namespace

std::string ShowMainMenu() {
  console::TMenuItems items;
  console::AddMenuItem(items, "1", "UpsConnections");
  console::AddMenuItem(items, "2", "SystemShutdown");
  console::AddMenuItem(items, "3", "OtherOptions");
  console::AddMenuItem(items, "4", "CurrentConfiguration");
  console::AddMenuItem(items, "5", "SaveAndExit");
  console::AddMenuItem(items, "Q", "ExitWithoutSave");
  return console::AskMenuChoice("MainMenu", items, true);
}

void CleanUp() {
  console::RestoreConsole();
  console::Catalogue.reset();
}

int RunProgram() {
  try {
    return RunSteps();
  } catch (const console::InputEnded&) {
    // Input ended at a prompt: nothing is saved, the terminal is restored.
    console::WriteLine();
    CleanUp();
    return kExitInputEnded;
  }
}

}  // namespace app
