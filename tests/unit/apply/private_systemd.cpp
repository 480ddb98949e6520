#include "private_systemd.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "platform/sd_bus_owners.h"
#include "support/console_fixture.h"

extern char** environ;

namespace test {
namespace {

using platform::BusError;
using platform::BusPtr;
using platform::MallocList;
using platform::MallocText;
using platform::MessagePtr;

constexpr const char* kAddressVariable = "DBUS_SYSTEM_BUS_ADDRESS";
// The python that has dbusmock.
constexpr const char* kPython = "/usr/bin/python3";
constexpr int kStartTimeoutMs = 30000;

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// One line from fd, without its line end; empty when none came in time.
std::string ReadLine(int fd, int timeoutMs) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd ready{fd, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return {};
    char c;
    if (::read(fd, &c, 1) != 1) return {};
    if (c == '\n') return line;
    line += c;
  }
}

void SaveAddress(std::string& saved, bool& had) {
  const char* current = std::getenv(kAddressVariable);
  had = current != nullptr;
  if (had) saved = current;
}

void RestoreAddress(const std::string& saved, bool had) {
  if (had)
    ::setenv(kAddressVariable, saved.c_str(), 1);
  else
    ::unsetenv(kAddressVariable);
}

BusPtr Connect(const std::string& address) {
  sd_bus* raw = nullptr;
  if (sd_bus_new(&raw) < 0) return nullptr;
  BusPtr bus(raw);
  if (sd_bus_set_address(bus.get(), address.c_str()) < 0 || sd_bus_set_bus_client(bus.get(), 1) < 0 ||
      sd_bus_start(bus.get()) < 0)
    return nullptr;
  return bus;
}

}  // namespace

PrivateSystemd::PrivateSystemd(const std::string& unitsJson) {
  const std::string script = SourceDir() + "/tests/service/private_systemd.py";
  const std::string parameters = "{\"units\": " + unitsJson + "}";
  int toChild[2], fromChild[2];
  if (::pipe2(toChild, O_CLOEXEC) != 0) {
    error_ = "no pipe";
    return;
  }
  if (::pipe2(fromChild, O_CLOEXEC) != 0) {
    ::close(toChild[0]);
    ::close(toChild[1]);
    error_ = "no pipe";
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
  char* argv[] = {const_cast<char*>(kPython), const_cast<char*>(script.c_str()),
                  const_cast<char*>(parameters.c_str()), nullptr};
  const int spawned = ::posix_spawn(&helper_, kPython, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(toChild[0]);
  ::close(fromChild[1]);
  toHelper_ = toChild[1];
  if (spawned != 0) {
    helper_ = -1;
    error_ = std::string("cannot start ") + kPython;
  } else {
    address_ = ReadLine(fromChild[0], kStartTimeoutMs);
    if (address_.empty()) error_ = "the private bus with the stand-in systemd manager did not start";
  }
  ::close(fromChild[0]);
  if (!address_.empty()) {
    SaveAddress(savedAddress_, hadAddress_);
    ::setenv(kAddressVariable, address_.c_str(), 1);
  }
}

PrivateSystemd::~PrivateSystemd() {
  if (!address_.empty()) RestoreAddress(savedAddress_, hadAddress_);
  CloseFd(toHelper_);  // the helper stops the manager and the bus when its input ends
  if (helper_ <= 0) return;
  for (int waited = 0; waited < 200; ++waited) {
    if (::waitpid(helper_, nullptr, WNOHANG) == helper_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(helper_, SIGKILL);
  ::waitpid(helper_, nullptr, 0);
}

std::vector<std::string> PrivateSystemd::JobLog() const {
  std::vector<std::string> jobs;
  BusPtr bus = Connect(address_);
  if (!bus) return jobs;
  BusError error;
  sd_bus_message* raw = nullptr;
  if (sd_bus_call_method(bus.get(), "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                         "org.freedesktop.DBus.Mock", "JobLog", &error.error, &raw, "") < 0)
    return jobs;
  const MessagePtr reply(raw);
  char** list = nullptr;
  const int r = sd_bus_message_read_strv(reply.get(), &list);
  const MallocList owned(list);
  if (r < 0) return jobs;
  for (char** item = owned.get(); item && *item; ++item) jobs.emplace_back(*item);
  return jobs;
}

std::string PrivateSystemd::ActiveState(const std::string& unit) const {
  BusPtr bus = Connect(address_);
  if (!bus) return {};
  BusError error;
  sd_bus_message* raw = nullptr;
  if (sd_bus_call_method(bus.get(), "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                         "org.freedesktop.systemd1.Manager", "GetUnit", &error.error, &raw, "s",
                         unit.c_str()) < 0)
    return {};
  const MessagePtr reply(raw);
  const char* path = nullptr;
  if (sd_bus_message_read(reply.get(), "o", &path) < 0) return {};
  char* state = nullptr;
  BusError propertyError;
  if (sd_bus_get_property_string(bus.get(), "org.freedesktop.systemd1", path,
                                 "org.freedesktop.systemd1.Unit", "ActiveState",
                                 &propertyError.error, &state) < 0)
    return {};
  const MallocText owned(state);
  return owned ? owned.get() : std::string();
}

UnreachableSystemBus::UnreachableSystemBus() {
  SaveAddress(savedAddress_, hadAddress_);
  // A socket path in a folder that does not exist: the connection is refused at once.
  ::setenv(kAddressVariable, "unix:path=/nonexistent-talvex-test/socket", 1);
}

UnreachableSystemBus::~UnreachableSystemBus() { RestoreAddress(savedAddress_, hadAddress_); }

}  // namespace test
