// SystemdServiceControl through the systemd module, loaded at the first restart.
#include "platform/module_loader.h"
#include "platform/service_control.h"

namespace platform {
namespace {

// Stands in when the module cannot be loaded: the manager cannot be reached.
struct UnreachableServices final : ServiceControl {
  ServiceHandle OpenManager(std::uint32_t) override { return kNoHandle; }
  bool ListServices(ServiceHandle, std::vector<TServiceEntry>&) override { return false; }
  ServiceHandle OpenService(ServiceHandle, std::string_view, std::uint32_t) override { return kNoHandle; }
  bool QueryStatus(ServiceHandle, TServiceStatus&) override { return false; }
  bool ListActiveDependents(ServiceHandle, std::vector<TServiceEntry>&) override { return false; }
  bool Stop(ServiceHandle) override { return false; }
  bool Start(ServiceHandle) override { return false; }
  bool Close(ServiceHandle) override { return false; }
};

}  // namespace

ServiceControl& SystemdServiceControl() {
  using Factory = ServiceControl* (*)();
  static ServiceControl* const control = [] {
    auto factory = reinterpret_cast<Factory>(ModuleSymbol(kSystemdModule, "TalvexSystemdServiceControl"));
    ServiceControl* found = factory ? factory() : nullptr;
    static UnreachableServices unreachable;
    return found ? found : static_cast<ServiceControl*>(&unreachable);
  }();
  return *control;
}

}  // namespace platform
