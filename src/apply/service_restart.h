#pragma once
// Restarting the client service through the service control manager.

#include <string_view>

#include "platform/service_control.h"

namespace apply {

// The name the client service is registered under (systemd: the unit talvexclient.service).
// Service names are compared without regard to ASCII letter case.
constexpr std::string_view kClientServiceName = "TalvexClient";

// Stops the named service when it runs (its active dependents are asked to stop first and are
// not started again), then starts it. True when the service was found and runs at the end.
// Shows nothing; every failing call of the manager makes the result false, and everything
// opened is closed again on every path.
bool RestartClientService(std::string_view name, platform::ServiceControl& control,
                          platform::Clock& clock);

}  // namespace apply
