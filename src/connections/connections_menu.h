#pragma once
// The UPS connections menu, the connection list and the choice lists of connections.

#include "console/console.h"

namespace connections {

void UpsConnectionsMenu();
// Prints every connection and the redundancy setting, then waits for Enter.
void ShowConnectionList();
// True when no connection is configured; shows "NoConnectionsConfigured" first if asked.
bool CheckNoConnections(bool showMessage);
// Appends "n=Address" for each connection and "Q=<GoToPreviousMenu>".
void FillConnectionChoices(console::TMenuItems& list);

}  // namespace connections
