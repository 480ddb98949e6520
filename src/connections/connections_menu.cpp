// Placeholder until the connections menu lands.
#include "connections/connections_menu.h"

namespace connections {

void UpsConnectionsMenu() {}
void ShowConnectionList() {}
bool CheckNoConnections(bool) { return true; }
void FillConnectionChoices(console::TMenuItems&) {}

}  // namespace connections
