#include "fake_service_control.h"

#include <cstdio>

namespace test {
namespace {

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

}  // namespace

bool FakeServiceControl::Call(const std::string& call) {
  calls.push_back(call);
  return !(call == failingCall && ++occurrences_[call] == failingOccurrence);
}

platform::ServiceHandle FakeServiceControl::NewHandle(const std::string& what) {
  openHandles[next_] = what;
  return next_++;
}

FakeService* FakeServiceControl::Find(std::string_view name) {
  for (auto& service : services)
    if (service.name == name) return &service;
  return nullptr;
}

FakeService* FakeServiceControl::ServiceOf(platform::ServiceHandle handle) {
  const auto found = openHandles.find(handle);
  return found == openHandles.end() ? nullptr : Find(found->second);
}

platform::ServiceHandle FakeServiceControl::OpenManager(std::uint32_t access) {
  if (!Call("OpenManager " + Hex(access))) return platform::kNoHandle;
  return NewHandle("manager");
}

bool FakeServiceControl::ListServices(platform::ServiceHandle manager,
                                      std::vector<platform::TServiceEntry>& listed) {
  if (!Call("ListServices") || openHandles[manager] != "manager") return false;
  for (const auto& service : services) listed.push_back({service.name, service.name + " service", service.status});
  return true;
}

platform::ServiceHandle FakeServiceControl::OpenService(platform::ServiceHandle manager,
                                                        std::string_view name,
                                                        std::uint32_t access) {
  const std::string service(name);
  if (!Call("OpenService " + service + " " + Hex(access)) || openHandles[manager] != "manager" ||
      !Find(service))
    return platform::kNoHandle;
  return NewHandle(service);
}

bool FakeServiceControl::QueryStatus(platform::ServiceHandle handle, platform::TServiceStatus& status) {
  FakeService* service = ServiceOf(handle);
  if (!Call("QueryStatus " + (service ? service->name : "?")) || !service) return false;
  // What a stop or start request made of the service shows one query at a time.
  if (!service->reporting.empty()) {
    service->status = service->reporting.front();
    service->reporting.pop_front();
  }
  status = service->status;
  return true;
}

bool FakeServiceControl::ListActiveDependents(platform::ServiceHandle handle,
                                              std::vector<platform::TServiceEntry>& dependents) {
  FakeService* service = ServiceOf(handle);
  if (!Call("ListActiveDependents " + (service ? service->name : "?")) || !service) return false;
  for (const auto& name : service->dependents) {
    const FakeService* dependent = Find(name);
    dependents.push_back({name, name + " service", dependent ? dependent->status : Status(0)});
  }
  return true;
}

bool FakeServiceControl::Request(platform::ServiceHandle handle, const std::string& request) {
  FakeService* service = ServiceOf(handle);
  if (!Call(request + " " + (service ? service->name : "?")) || !service) return false;
  const bool stop = request == "Stop";
  service->reporting = stop ? service->afterStop : service->afterStart;
  if (service->reporting.empty())
    service->reporting.push_back(Status(stop ? platform::kServiceStopped : platform::kServiceRunning));
  return true;
}

bool FakeServiceControl::Close(platform::ServiceHandle handle) {
  const auto found = openHandles.find(handle);
  if (found == openHandles.end()) {
    ++closeOfUnknownHandle;
    calls.push_back("Close ?");
    return false;
  }
  const bool closed = Call("Close " + found->second);
  openHandles.erase(found);
  return closed;
}

std::vector<std::string> FakeServiceControl::Requests() const {
  std::vector<std::string> requests;
  for (const auto& call : calls)
    if (call.starts_with("Stop ") || call.starts_with("Start ")) requests.push_back(call);
  return requests;
}

}  // namespace test
