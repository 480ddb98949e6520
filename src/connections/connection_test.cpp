#include "connections/connection_test.h"

#include <algorithm>
#include <cstdint>

#include "connections/connections_menu.h"
#include "console/console.h"

namespace connections {

bool PrepareSnmpRequest(TSnmpSend& client, const THost& host) {
  ResetQuery(client.Query);
  TSnmpQuery& query = client.Query;
  if (host.SnmpVersion == SnmpVersion3) {
    query.Version = 3;
    query.UserName = host.Username;
    if (host.Authentication == AuthNone) {
      query.Flags = TSnmpFlags::NoAuthNoPriv;
    } else {
      query.AuthMode = host.Authentication == AuthSHA ? TSnmpAuth::SHA1 : TSnmpAuth::MD5;
      query.Password = host.AuthPassword;
      query.Flags = TSnmpFlags::AuthNoPriv;
      if (host.Privacy != PrivNone) {
        query.Flags = TSnmpFlags::AuthPriv;
        query.PrivMode = host.Privacy == PrivAES ? TSnmpPriv::AES : TSnmpPriv::DES;
        query.PrivPassword = host.PrivacyPassword;
      }
    }
  } else {
    query.Version = host.SnmpVersion == SnmpVersion2c ? 1 : 0;
    query.Community = host.Community;
    query.Flags = TSnmpFlags::NoAuthNoPriv;
  }
  query.FlagReportable = true;
  query.PDUType = 0xA0;
  client.TargetHost = host.Address;
  client.TargetPort = std::to_string(host.SnmpPort);
  // Seconds to milliseconds in 64 bits, where every 32-bit Timeout fits; a negative time-out
  // waits not at all.
  client.TimeoutMs = std::max<std::int64_t>(0, static_cast<std::int64_t>(Setup.Timeout) * 1000);
  return true;
}

bool SnmpGetValue(const THost& host, const std::string& objectId, std::string& value) {
  value.clear();
  TSnmpSend client;
  if (!PrepareSnmpRequest(client, host)) return false;
  bool result = false;
  std::int32_t attempt = 1;
  for (;;) {
    value.clear();
    // The binding is sent once per attempt, not accumulated.
    client.Query.VarBinds = {objectId};
    std::string read;
    result = SnmpSendRequest(client, objectId, read);
    if (result)
      value = console::Trim(read);
    else
      ++attempt;
    if (result || attempt > Setup.Retries) break;
  }
  return result;
}

bool TestHost(const THost& host) {
  std::string value;
  return SnmpGetValue(host, kTestObject, value) && !value.empty();
}

void RunConnectionTest(const THost& host) {
  console::WriteLine();
  console::WriteLine(console::Translate("TestRunning"));
  console::Flush();
  const THost copy = host;
  const bool ok = TestHost(copy);
  const std::string message = console::Translate(ok ? "TestConnectionOkNoName" : "TestConnectionFailed");
  console::WriteLine(ReplaceLineMarkers(message, false, " "));
  console::WaitForEnter(true, "");
}

void TestConnectionMenu() {
  if (CheckNoConnections(true)) return;
  ChooseConnections("TestConnection", [](THost& host) { RunConnectionTest(host); });
}

}  // namespace connections
