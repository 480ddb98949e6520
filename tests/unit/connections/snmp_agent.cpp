#include "snmp_agent.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "config/uConstants.h"
#include "connections/snmp_client.h"

namespace test {
namespace {

namespace fs = std::filesystem;

int BoundUdpSocket(std::uint16_t& port) {
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

const char* kUsers =
    "createUser noauth\n"
    "createUser md5none MD5 \"md5password\"\n"
    "createUser md5des MD5 \"md5password\" DES \"despassword\"\n"
    "createUser md5aes MD5 \"md5password\" AES \"aespassword\"\n"
    "createUser shanone SHA \"shapassword\"\n"
    "createUser shades SHA \"shapassword\" DES \"despassword\"\n"
    "createUser shaaes SHA \"shapassword\" AES \"aespassword\"\n"
    "rouser noauth noauth\n"
    "rouser md5none auth\n"
    "rouser md5des priv\n"
    "rouser md5aes priv\n"
    "rouser shanone auth\n"
    "rouser shades priv\n"
    "rouser shaaes priv\n";

// An SNMPv2c GET of one object from the agent, with its community.
connections::TSnmpSend AgentRequest(std::uint16_t port, const char* oid, std::uint32_t timeoutMs) {
  connections::TSnmpSend request;
  request.Query.Version = 1;
  request.Query.Community = "ups-community";
  request.Query.VarBinds = {oid};
  request.TargetHost = "127.0.0.1";
  request.TargetPort = std::to_string(port);
  request.TimeoutMs = timeoutMs;
  return request;
}

}  // namespace

std::uint16_t FreeUdpPort() {
  std::uint16_t port = 0;
  int fd = BoundUdpSocket(port);
  ::close(fd);
  return port;
}

SnmpAgent::SnmpAgent(AgentOptions options) {
  dir_ = (fs::temp_directory_path() / ("talvex-snmpd-" + std::to_string(::getpid()) + "-" +
                                       std::to_string(reinterpret_cast<std::uintptr_t>(this))))
             .string();
  fs::create_directories(dir_ + "/persist");
  port_ = FreeUdpPort();
  {
    std::ofstream conf(dir_ + "/snmpd.conf");
    conf << "agentaddress udp:127.0.0.1:" << port_;
    if (options.ipv6) conf << ",udp6:[::1]:" << port_;
    conf << "\nrocommunity ups-community 127.0.0.1\n";
    if (options.ipv6) conf << "rocommunity6 ups-community ::1/128\n";
    conf << kUsers;
    if (options.value) conf << "override .1.3.6.1.2.1.33.1.1.4.0 octet_str \"" << options.value << "\"\n";
  }
  pid_ = ::fork();
  if (pid_ == 0) {
    ::setenv("SNMP_PERSISTENT_DIR", (dir_ + "/persist").c_str(), 1);
    std::string conf = dir_ + "/snmpd.conf", pidFile = dir_ + "/snmpd.pid", log = dir_ + "/snmpd.log";
    ::execl("/usr/sbin/snmpd", "snmpd", "-f", "-C", "-c", conf.c_str(), "-p", pidFile.c_str(), "-Lf",
            log.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Ready when it answers a plain SNMPv2c request.
  const connections::TSnmpSend probe = AgentRequest(port_, "1.3.6.1.2.1.1.1.0", 200);
  for (int i = 0; i < 50; ++i) {
    std::string value;
    if (connections::SnmpSendRequest(probe, "1.3.6.1.2.1.1.1.0", value)) return;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) break;
  }
  std::ifstream in(dir_ + "/snmpd.log");
  logText_.assign(std::istreambuf_iterator<char>(in), {});
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  pid_ = -1;
}

long SnmpAgent::ReceivedMessages() const {
  const connections::TSnmpSend query = AgentRequest(port_, "1.3.6.1.2.1.11.1.0", 1000);
  std::string value;  // "Counter32: n"
  if (!connections::SnmpSendRequest(query, query.Query.VarBinds[0], value)) return -1;
  const std::size_t digits = value.find_last_of(' ');
  return digits == std::string::npos ? -1 : std::strtol(value.c_str() + digits + 1, nullptr, 10);
}

SnmpAgent::~SnmpAgent() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

SilentSocket::SilentSocket() { fd_ = BoundUdpSocket(port_); }

SilentSocket::~SilentSocket() {
  if (fd_ >= 0) ::close(fd_);
}

int SilentSocket::Count() {
  char buffer[65536];
  while (::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT) >= 0) ++count_;
  return count_;
}

}  // namespace test
