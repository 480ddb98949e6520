#pragma once
// The access password that guards this program: the start-up gate and the password menu.

namespace console {

// True when no access password is set or the operator typed it; false when he aborted.
bool StartupGate();
// The start-up password prompt; true for the right password, false when "Q" aborted it.
bool AskAccessPassword();
// Sets or deletes the access password (in memory, until saved).
void PasswordMenu();

}  // namespace console
