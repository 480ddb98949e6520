// The access password of this program: asked at start-up when one is set, and set or deleted
// in the password menu.
#include "console/access_password.h"

#include "config/uConstants.h"
#include "console/console.h"

namespace console {
namespace {

// The capital letter that aborts the start-up password prompt.
constexpr char kAbortKey = 'Q';

}  // namespace

bool StartupGate() {
  if (Setup.Password.empty()) return true;
  PrintHeader();
  return AskAccessPassword();
}

bool AskAccessPassword() {
  const std::string prompt = Translate("Password") + " [" + Translate("PressToAbort") + "]: ";
  for (;;) {
    Write(prompt);
    std::string entry;
    if (!ReadMaskedLine(entry, kAbortKey)) return false;
    if (entry == Setup.Password) return true;
    Beep();
  }
}

void PasswordMenu() {
  TMenuItems items;
  AddMenuItem(items, "1", "Edit");
  AddMenuItem(items, "2", "Delete");
  AddMenuItem(items, "Q", "GoToPreviousMenu");
  for (;;) {
    const std::string choice = AskMenuChoice("ConfigPassword", items, false);
    if (choice == "2") {
      WaitForEnter(true, Translate("PasswordDeleted"));
      Setup.Password.clear();
      return;
    }
    if (choice == "1") {
      // A password with the abort key could never be typed at the start-up prompt.
      std::string password;
      for (;;) {
        AskNewPassword("Password", password, -1, true);
        if (password.find(kAbortKey) == std::string::npos) break;
        Beep();
        WriteLine(Translate("PasswordContainsAbortKey"));
      }
      Setup.Password = password;
      WaitForEnter(true, Translate("PasswordSet"));
      return;
    }
    if (choice == "Q") return;
  }
}

}  // namespace console
