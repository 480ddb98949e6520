// Placeholder until the summary lands.
#include "policy/summary.h"

namespace policy {

void ShowConfigurationSummary() {}
void PrintEventLine(const TEventSetting&, std::string_view, std::string_view, std::string_view) {}
void PrintTasksSection() {}
void PrintOptionLine(bool, std::string_view) {}

}  // namespace policy
