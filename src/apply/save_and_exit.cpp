#include "apply/save_and_exit.h"

#include <string>

#include "apply/service_restart.h"
#include "config/uConstants.h"
#include "console/console.h"

namespace apply {

bool SaveAndExit() {
  if (!SaveConfiguration()) {
    console::Beep();
    console::WriteLine();
    console::WriteLine(console::Translate("ErrorSavingConfiguration"));
    return false;
  }
  if (!console::AskYesNo("RestartService", true)) return true;
  // The progress text shows while the restart runs; its outcome follows on the same line.
  console::Write(console::Translate("RestartingService"));
  console::Flush();
  if (RestartClientService(kClientServiceName, platform::Services(), platform::Time())) {
    console::WriteLine(" " + console::Translate("Ok"));
  } else {
    console::Beep();
    console::WriteLine(" " + console::Translate("Error"));
  }
  return true;
}

}  // namespace apply
