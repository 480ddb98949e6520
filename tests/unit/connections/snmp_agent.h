#pragma once
// A real SNMP agent (snmpd) on 127.0.0.1 and a free port, with a generated configuration read
// alone, its persistent state in a temporary folder, and one user per SNMPv3 security
// combination; and a silent UDP socket that only counts what it receives.

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace test {

constexpr const char* kAgentValue = "UPS agent 2.4";

struct AgentOptions {
  const char* value = kAgentValue;  // the UPS object's value; null: not served (noSuchObject)
  bool ipv6 = false;                // listen on [::1] too, with the same port
};

class SnmpAgent {
 public:
  explicit SnmpAgent(AgentOptions options = {});
  ~SnmpAgent();
  SnmpAgent(const SnmpAgent&) = delete;
  SnmpAgent& operator=(const SnmpAgent&) = delete;

  bool Running() const { return pid_ > 0; }
  // The agent's count of SNMP messages received (snmpInPkts.0), this request included; -1
  // when it does not answer.
  long ReceivedMessages() const;
  std::uint16_t port() const { return port_; }
  const std::string& log() const { return logText_; }

 private:
  std::string dir_;
  std::uint16_t port_ = 0;
  pid_t pid_ = -1;
  std::string logText_;
};

class SilentSocket {
 public:
  SilentSocket();
  ~SilentSocket();
  SilentSocket(const SilentSocket&) = delete;
  SilentSocket& operator=(const SilentSocket&) = delete;
  std::uint16_t port() const { return port_; }
  // Datagrams received so far.
  int Count();

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
  int count_ = 0;
};

// A UDP port on 127.0.0.1 nothing listens on right now.
std::uint16_t FreeUdpPort();

}  // namespace test
