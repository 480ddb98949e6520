#include "platform/service_control.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

struct SteadyClock final : Clock {
  std::uint64_t TickCount() override {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
  }
  void Sleep(std::uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

ServiceControl* activeServices = nullptr;
Clock* activeClock = nullptr;

}  // namespace

Clock& SystemClock() {
  static SteadyClock clock;
  return clock;
}

ServiceControl& Services() { return activeServices ? *activeServices : SystemdServiceControl(); }

void SetServices(ServiceControl* control) { activeServices = control; }

Clock& Time() { return activeClock ? *activeClock : SystemClock(); }

void SetTime(Clock* clock) { activeClock = clock; }

}  // namespace platform
