#pragma once
// A private message bus with the stand-in systemd manager on it (tests/service/), for as long
// as the object lives; the system bus address of this process points at it meanwhile.

#include <sys/types.h>

#include <string>
#include <vector>

namespace test {

class PrivateSystemd {
 public:
  // unitsJson: the JSON list of units the stand-in manager starts with.
  explicit PrivateSystemd(const std::string& unitsJson);
  ~PrivateSystemd();
  PrivateSystemd(const PrivateSystemd&) = delete;
  PrivateSystemd& operator=(const PrivateSystemd&) = delete;

  // False, with the reason in error(), when the bus or the manager did not start.
  bool running() const { return !address_.empty(); }
  const std::string& error() const { return error_; }
  const std::string& address() const { return address_; }

  // The jobs requested so far, each "StopUnit name mode" or "StartUnit name mode".
  std::vector<std::string> JobLog() const;
  // The unit's ActiveState as the manager holds it now.
  std::string ActiveState(const std::string& unit) const;

 private:
  pid_t helper_ = -1;
  int toHelper_ = -1;  // closing it ends the helper
  std::string address_;
  std::string error_;
  std::string savedAddress_;
  bool hadAddress_ = false;
};

// Points the system bus address of this process at a socket that nobody listens on, and puts
// the old address back afterwards.
class UnreachableSystemBus {
 public:
  UnreachableSystemBus();
  ~UnreachableSystemBus();
  UnreachableSystemBus(const UnreachableSystemBus&) = delete;
  UnreachableSystemBus& operator=(const UnreachableSystemBus&) = delete;

 private:
  std::string savedAddress_;
  bool hadAddress_ = false;
};

}  // namespace test
