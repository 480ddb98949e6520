// The other-options menu: the access password, service messages and the system log.
#include "policy/other_options.h"

#include "config/uConstants.h"
#include "console/access_password.h"
#include "console/console.h"

namespace policy {

void OtherOptionsMenu() {
  console::TMenuItems items;
  console::AddMenuItem(items, "1", "ConfigPassword");
  console::AddMenuItem(items, "2", "ShowMessages");
  console::AddMenuItem(items, "3", "UseSystemLog");
  console::AddMenuItem(items, "Q", "GoToPreviousMenu");
  for (;;) {
    const std::string choice = console::AskMenuChoice("OtherOptions", items, false);
    if (choice == "3")
      Setup.SystemLog = console::AskYesNo("UseSystemLog", true);
    else if (choice == "2")
      Setup.ShowMessages = console::AskYesNo("ShowMessages", true);
    else if (choice == "1")
      console::PasswordMenu();
    if (choice == "Q") break;
  }
}

}  // namespace policy
