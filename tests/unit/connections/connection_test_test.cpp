// The connection test against a real SNMP agent and against a socket that never answers.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "config/uConstants.h"
#include "connections/connection_test.h"
#include "snmp_agent.h"
#include "support/console_fixture.h"

namespace {

using connections::SnmpGetValue;
using connections::TestHost;

THost V2c(std::uint16_t port, const std::string& community, const std::string& address = "127.0.0.1") {
  return THost{address, port, community, SnmpVersion2c, "", 0, "", 0, ""};
}

THost V3(std::uint16_t port, const std::string& user, std::int32_t auth, const std::string& authPassword,
         std::int32_t priv, const std::string& privPassword, const std::string& address = "127.0.0.1") {
  return THost{address, port, "", SnmpVersion3, user, auth, authPassword, priv, privPassword};
}

// One agent for the whole suite; each test starts from an empty Setup and no catalogue.
class AgainstAgent : public test::ConsoleFixture {
 protected:
  static void SetUpTestSuite() { agent = new test::SnmpAgent(); }
  static void TearDownTestSuite() {
    delete agent;
    agent = nullptr;
  }
  void SetUp() override {
    ConsoleFixture::SetUp();
    ASSERT_TRUE(agent->Running()) << agent->log();
    ::Setup.Timeout = 1;
    ::Setup.Retries = 1;
  }
  // The SNMP messages the agent received during one connection test.
  static long RequestsOf(const THost& host) {
    const long before = agent->ReceivedMessages();
    TestHost(host);
    return agent->ReceivedMessages() - before - 1;
  }
  static test::SnmpAgent* agent;
};
test::SnmpAgent* AgainstAgent::agent = nullptr;

TEST_F(AgainstAgent, EverySecurityCombinationSucceeds) {
  const std::uint16_t port = agent->port();
  struct Case {
    const char* name;
    THost host;
  } cases[] = {
      {"v1", THost{"127.0.0.1", port, "ups-community", SnmpVersion1, "", 0, "", 0, ""}},
      {"v2c", V2c(port, "ups-community")},
      {"v2c to a host name", V2c(port, "ups-community", "localhost")},
      {"noAuthNoPriv", V3(port, "noauth", AuthNone, "", PrivNone, "")},
      // Authentication 0 means noAuthNoPriv whatever Privacy holds.
      {"noAuth, privacy ignored", V3(port, "noauth", AuthNone, "whatever1", PrivAES, "whatever2")},
      {"MD5", V3(port, "md5none", AuthMD5, "md5password", PrivNone, "")},
      {"MD5 DES", V3(port, "md5des", AuthMD5, "md5password", PrivDES, "despassword")},
      {"MD5 AES", V3(port, "md5aes", AuthMD5, "md5password", PrivAES, "aespassword")},
      {"SHA", V3(port, "shanone", AuthSHA, "shapassword", PrivNone, "")},
      {"SHA DES", V3(port, "shades", AuthSHA, "shapassword", PrivDES, "despassword")},
      {"SHA AES", V3(port, "shaaes", AuthSHA, "shapassword", PrivAES, "aespassword")},
      {"SHA AES to a host name", V3(port, "shaaes", AuthSHA, "shapassword", PrivAES, "aespassword", "localhost")},
  };
  for (const Case& c : cases) {
    std::string value;
    EXPECT_TRUE(SnmpGetValue(c.host, connections::kTestObject, value)) << c.name;
    EXPECT_EQ(value, test::kAgentValue) << c.name;
    EXPECT_TRUE(TestHost(c.host)) << c.name;
  }
}

TEST_F(AgainstAgent, WrongCredentialsFailAndNothingCarriesOver) {
  const std::uint16_t port = agent->port();
  const THost right = V3(port, "shaaes", AuthSHA, "shapassword", PrivAES, "aespassword");
  const THost rightMd5 = V3(port, "md5des", AuthMD5, "md5password", PrivDES, "despassword");
  struct Case {
    const char* name;
    THost host;
  } wrong[] = {
      {"community", V2c(port, "wrong-community")},
      {"user", V3(port, "nobody", AuthSHA, "shapassword", PrivAES, "aespassword")},
      {"auth password", V3(port, "shaaes", AuthSHA, "wrongpassword", PrivAES, "aespassword")},
      {"priv password", V3(port, "shaaes", AuthSHA, "shapassword", PrivAES, "wrongpassword")},
      {"auth protocol", V3(port, "shaaes", AuthMD5, "shapassword", PrivAES, "aespassword")},
      {"priv protocol", V3(port, "shaaes", AuthSHA, "shapassword", PrivDES, "aespassword")},
      {"level above the user's", V3(port, "shanone", AuthSHA, "shapassword", PrivAES, "aespassword")},
      {"MD5 auth password", V3(port, "md5des", AuthMD5, "md5passwore", PrivDES, "despassword")},
      {"DES priv password", V3(port, "md5des", AuthMD5, "md5password", PrivDES, "despasswore")},
  };
  // The same user with the right settings just before and just after each wrong one, in one
  // process: keys and engine times the library learned must not make the wrong one pass, nor
  // a failure spoil the next right one.
  for (const Case& c : wrong) {
    const THost& same = c.host.Authentication == AuthMD5 && c.host.Username == "md5des" ? rightMd5 : right;
    EXPECT_TRUE(TestHost(same)) << "right before wrong " << c.name;
    EXPECT_FALSE(TestHost(c.host)) << c.name;
    EXPECT_TRUE(TestHost(same)) << "right after wrong " << c.name;
  }
}

TEST_F(AgainstAgent, AnswersEndTheAttemptsAndSilenceRepeatsThem) {
  const std::uint16_t port = agent->port();
  const THost right = V2c(port, "ups-community");
  const THost unknownCommunity = V2c(port, "wrong-community");  // the agent stays silent
  ::Setup.Retries = 3;
  EXPECT_EQ(RequestsOf(right), 1);
  ::Setup.Retries = 2;
  EXPECT_EQ(RequestsOf(unknownCommunity), 2);
  // An SNMPv3 report (unknown user, wrong digest) is a reply: the test fails at once, however
  // many attempts are allowed.
  const THost reported[] = {
      V3(port, "nobody", AuthSHA, "shapassword", PrivAES, "aespassword"),
      V3(port, "shaaes", AuthSHA, "wrongpassword", PrivAES, "aespassword"),
  };
  for (const THost& host : reported) {
    ::Setup.Retries = 1;
    const long once = RequestsOf(host);
    ::Setup.Retries = 3;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RequestsOf(host), once) << host.Username << " " << host.AuthPassword;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900)) << "no time-out waited";
  }
  // A pass phrase shorter than 8 characters (a hand-edited file) gives no key: nothing is sent.
  const THost keyless = V3(port, "shaaes", AuthSHA, "short", PrivAES, "aespassword");
  ::Setup.Retries = 3;
  EXPECT_EQ(RequestsOf(keyless), 0);
  // A request sealed with a wrong privacy key cannot be read, and the agent drops it without a
  // report: that is silence, and every attempt is made.
  const THost unreadable = V3(port, "shaaes", AuthSHA, "shapassword", PrivAES, "wrongpassword");
  ::Setup.Retries = 1;
  const long once = RequestsOf(unreadable);
  ::Setup.Retries = 2;
  EXPECT_EQ(RequestsOf(unreadable), 2 * once);
}

TEST_F(AgainstAgent, TheConfiguredPortIsUsed) {
  THost host = V2c(agent->port(), "ups-community");
  EXPECT_TRUE(TestHost(host));
  host.SnmpPort = test::FreeUdpPort();
  EXPECT_FALSE(TestHost(host));
}

TEST_F(AgainstAgent, ResultMessagesShowLineMarkersAsSpaces) {
  UseCatalogue({{"TestRunning", "Testing..."},
                {"TestConnectionOkNoName", "It@works"},
                {"TestConnectionFailed", "It@failed@!"},
                {"PressEnterToContinue", "Press Enter"}});
  Type("\n");
  connections::RunConnectionTest(V2c(agent->port(), "ups-community"));
  EXPECT_EQ(TakeOutput(), "\nTesting...\nIt works\n\nPress Enter\n");
  ::Setup.Timeout = 0;  // nothing answers a wrong port; no need to wait
  Type("\n");
  connections::RunConnectionTest(V2c(test::FreeUdpPort(), "ups-community"));
  EXPECT_EQ(TakeOutput(), "\nTesting...\nIt failed !\n\nPress Enter\n");
}

TEST_F(AgainstAgent, TheTestMenuTestsOneConnectionAfterAnother) {
  UseLanguage("english");
  ::Setup.Hosts = {V2c(agent->port(), "ups-community"),
                   V3(agent->port(), "shaaes", AuthSHA, "wrongpassword", PrivAES, "aespassword")};
  // Connection 1, Enter, connection 2, Enter; a lower-case q names no connection and beeps.
  Type("1\n\n2\n\nq\nQ\n");
  connections::TestConnectionMenu();
  const std::string out = TakeOutput();
  const std::string ok = "The connection test succeeded. The UPS network card answered.";
  const std::string failed = "The connection test failed.";
  ASSERT_NE(out.find(ok), std::string::npos) << out;
  EXPECT_NE(out.find(failed, out.find(ok)), std::string::npos) << out;
  EXPECT_EQ(terminal.beeps, 1);
  EXPECT_EQ(terminal.clears, 4);  // the choice list, drawn before each choice
  EXPECT_EQ(terminal.Unread(), "");
  EXPECT_EQ(::Setup.Hosts[1].AuthPassword, "wrongpassword") << "the test changes no setting";
}

TEST(ConnectionTest, RepliesWithoutAUsableValueAreAskedOnce) {
  struct Case {
    const char* name;
    const char* served;
  } cases[] = {{"no such object", nullptr}, {"blanks only", "   "}};
  for (const Case& c : cases) {
    test::SnmpAgent agent({.value = c.served});
    ASSERT_TRUE(agent.Running()) << agent.log();
    ::Setup.Timeout = 1;
    ::Setup.Retries = 3;
    const THost host = V2c(agent.port(), "ups-community");
    const long before = agent.ReceivedMessages();
    std::string value = "stale";
    EXPECT_TRUE(SnmpGetValue(host, connections::kTestObject, value)) << c.name << ": a reply arrived";
    EXPECT_EQ(value, "") << c.name;
    EXPECT_EQ(agent.ReceivedMessages() - before - 1, 1) << c.name << ": one request only";
    EXPECT_FALSE(TestHost(host)) << c.name;
  }
}

TEST(ConnectionTest, AttemptsAgainstASilentSocket) {
  struct Case {
    std::int32_t retries;
    int requests;
  } cases[] = {{3, 3}, {1, 1}, {0, 1}, {-5, 1}, {2, 2}};
  ::Setup.Timeout = 1;
  for (const Case& c : cases) {
    test::SilentSocket silent;
    ::Setup.Retries = c.retries;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(TestHost(V2c(silent.port(), "public"))) << c.retries;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(silent.Count(), c.requests) << c.retries;
    EXPECT_GE(seconds, c.requests * 0.9) << "each attempt waits for the time-out";
    EXPECT_LT(seconds, c.requests * 1.5) << "and no longer";
  }
  // SNMPv3: no answer to the engine discovery is no reply either.
  test::SilentSocket silent;
  ::Setup.Retries = 2;
  EXPECT_FALSE(TestHost(V3(silent.port(), "u", AuthSHA, "shapassword", PrivAES, "aespassword")));
  EXPECT_EQ(silent.Count(), 2);
}

TEST(ConnectionTest, TimeoutAndPortOfTheRequest) {
  struct Case {
    std::int32_t timeout;
    std::int64_t milliseconds;
  } cases[] = {{3, 3000}, {1, 1000}, {0, 0}, {-1, 0}, {2147483647, 2147483647000LL}};
  for (const Case& c : cases) {
    ::Setup.Timeout = c.timeout;
    connections::TSnmpSend client;
    ASSERT_TRUE(connections::PrepareSnmpRequest(client, V2c(65535, "public")));
    EXPECT_EQ(client.TimeoutMs, c.milliseconds) << c.timeout;
    EXPECT_EQ(client.TargetPort, "65535");
  }
}

bool LoopbackIpv6Available() {
  int fd = ::socket(AF_INET6, SOCK_DGRAM, 0);
  if (fd < 0) return false;
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return bound;
}

TEST(ConnectionTest, AnIpv6AddressIsReachedOverIpv6) {
  if (!LoopbackIpv6Available()) GTEST_SKIP() << "no IPv6 loopback on this machine";
  test::SnmpAgent agent({.ipv6 = true});
  ASSERT_TRUE(agent.Running()) << agent.log();
  ::Setup.Timeout = 1;
  ::Setup.Retries = 1;
  for (const char* address : {"::1", "[::1]"}) {
    EXPECT_TRUE(TestHost(V2c(agent.port(), "ups-community", address))) << address;
    EXPECT_TRUE(TestHost(V3(agent.port(), "shaaes", AuthSHA, "shapassword", PrivAES, "aespassword", address)))
        << address;
  }
}

}  // namespace
