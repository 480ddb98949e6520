#pragma once
// The UPS connections menu, the connection list and the choice lists of connections.

#include <cstdint>
#include <string>

#include <string_view>

#include "config/uConstants.h"
#include "console/console.h"

namespace connections {

void UpsConnectionsMenu();
// Prints every connection and the redundancy setting, then waits for Enter.
void ShowConnectionList();
// True when no connection is configured; shows "NoConnectionsConfigured" first if asked.
bool CheckNoConnections(bool showMessage);
// Appends "n=Address" for each connection and "Q=<GoToPreviousMenu>".
void FillConnectionChoices(console::TMenuItems& list);
// Lets the operator pick connections by number from a list titled titleKey, runs action on
// each pick, and beeps for a pick that names none; until "Q".
void ChooseConnections(std::string_view titleKey, void (*action)(THost& host));
// The 0-based position a choice from FillConnectionChoices names: the choice read as a decimal
// number, minus one (-2 when it is no number).
std::int32_t ChosenIndex(const std::string& choice);

}  // namespace connections
