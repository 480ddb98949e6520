// Placeholder until the events menu lands.
#include "policy/shutdown_menu.h"

namespace policy {

void SystemShutdownMenu() {}
void EditEvent(TEventSetting&, std::string_view) {}
void EditAdditionalTask() {}

}  // namespace policy
