#pragma once
// The read-only summary of the whole configuration held in memory.

#include <string_view>

#include "config/uConstants.h"

namespace policy {

void ShowConfigurationSummary();
void PrintEventLine(const TEventSetting& setting, std::string_view key, std::string_view word,
                    std::string_view unit);
void PrintTasksSection();
void PrintOptionLine(bool flag, std::string_view key);

}  // namespace policy
