// The connection test against a real SNMP agent and against a socket that never answers.
#include <gtest/gtest.h>

#include <chrono>

#include "config/uConstants.h"
#include "connections/connection_test.h"
#include "snmp_agent.h"
#include "support/console_fixture.h"

namespace {

using connections::SnmpGetValue;
using connections::TestHost;

THost V2c(std::uint16_t port, const std::string& community) {
  return THost{"127.0.0.1", port, community, SnmpVersion2c, "", 0, "", 0, ""};
}

THost V3(std::uint16_t port, const std::string& user, std::int32_t auth, const std::string& authPassword,
         std::int32_t priv, const std::string& privPassword) {
  return THost{"127.0.0.1", port, "", SnmpVersion3, user, auth, authPassword, priv, privPassword};
}

class AgainstAgent : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { agent = new test::SnmpAgent(); }
  static void TearDownTestSuite() {
    delete agent;
    agent = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(agent->Running()) << agent->log();
    ::Setup.Timeout = 1;
    ::Setup.Retries = 1;
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
      {"noAuthNoPriv", V3(port, "noauth", AuthNone, "", PrivNone, "")},
      // Authentication 0 means noAuthNoPriv whatever Privacy holds.
      {"noAuth, privacy ignored", V3(port, "noauth", AuthNone, "whatever1", PrivAES, "whatever2")},
      {"MD5", V3(port, "md5none", AuthMD5, "md5password", PrivNone, "")},
      {"MD5 DES", V3(port, "md5des", AuthMD5, "md5password", PrivDES, "despassword")},
      {"MD5 AES", V3(port, "md5aes", AuthMD5, "md5password", PrivAES, "aespassword")},
      {"SHA", V3(port, "shanone", AuthSHA, "shapassword", PrivNone, "")},
      {"SHA DES", V3(port, "shades", AuthSHA, "shapassword", PrivDES, "despassword")},
      {"SHA AES", V3(port, "shaaes", AuthSHA, "shapassword", PrivAES, "aespassword")},
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
  };
  for (const Case& c : wrong) {
    EXPECT_TRUE(TestHost(right)) << "right before wrong " << c.name;
    EXPECT_FALSE(TestHost(c.host)) << c.name;
    EXPECT_TRUE(TestHost(right)) << "right after wrong " << c.name;
  }
}

TEST_F(AgainstAgent, TheConfiguredPortIsUsed) {
  THost host = V2c(agent->port(), "ups-community");
  EXPECT_TRUE(TestHost(host));
  host.SnmpPort = test::FreeUdpPort();
  EXPECT_FALSE(TestHost(host));
}

TEST(ConnectionTest, AnAgentWithoutTheObjectIsAskedOnce) {
  test::SnmpAgent agent(false);
  ASSERT_TRUE(agent.Running()) << agent.log();
  ::Setup.Timeout = 1;
  ::Setup.Retries = 3;
  std::string value = "stale";
  EXPECT_TRUE(SnmpGetValue(V2c(agent.port(), "ups-community"), connections::kTestObject, value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(TestHost(V2c(agent.port(), "ups-community")));
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
  }
  // SNMPv3: no answer to the engine discovery is no reply either.
  test::SilentSocket silent;
  ::Setup.Retries = 2;
  EXPECT_FALSE(TestHost(V3(silent.port(), "u", AuthSHA, "shapassword", PrivAES, "aespassword")));
  EXPECT_EQ(silent.Count(), 2);
}

TEST(ConnectionTest, AnUnresolvableNameFails) {
  ::Setup.Timeout = 1;
  ::Setup.Retries = 1;
  EXPECT_FALSE(TestHost(THost{"no-such-host.invalid", 161, "public", SnmpVersion2c, "", 0, "", 0, ""}));
}

}  // namespace
