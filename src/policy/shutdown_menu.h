#pragma once
// The events (system shutdown) menu and the additional task editor.

#include <string_view>

#include "config/uConstants.h"

namespace policy {

void SystemShutdownMenu();
void EditEvent(TEventSetting& event, std::string_view promptLabel);
void EditAdditionalTask();

}  // namespace policy
