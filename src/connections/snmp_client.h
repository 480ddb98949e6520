#pragma once
// The SNMP client the connection test uses: one request, its settings, and one exchange per
// call. Only snmp_client.cpp talks to the SNMP library.

#include <cstdint>
#include <string>
#include <vector>

namespace connections {

enum class TSnmpFlags { NoAuthNoPriv, AuthNoPriv, AuthPriv };
enum class TSnmpAuth { MD5, SHA1 };
enum class TSnmpPriv { DES, AES };

// The request record; Reset gives SNMPv1, community "public", no user, no bindings.
struct TSnmpQuery {
  std::int32_t Version = 0;  // message version on the wire: 0 v1, 1 v2c, 3 v3
  std::string Community = "public";
  std::string UserName;
  TSnmpFlags Flags = TSnmpFlags::NoAuthNoPriv;
  TSnmpAuth AuthMode = TSnmpAuth::MD5;
  std::string Password;  // authentication pass phrase
  TSnmpPriv PrivMode = TSnmpPriv::DES;
  std::string PrivPassword;
  bool FlagReportable = false;
  std::int32_t PDUType = 0xA0;  // GetRequest
  std::vector<std::string> VarBinds;  // object identifiers, each with a NULL value
};

struct TSnmpSend {
  TSnmpQuery Query;
  std::string TargetHost;
  std::string TargetPort = "161";
  std::int64_t TimeoutMs = 5000;  // the longest wait for each reply
};

inline void ResetQuery(TSnmpQuery& query) { query = TSnmpQuery{}; }

// Sends the request and waits for one reply. True when a reply arrived in time and decoded
// (whatever its error status, a report included); value then holds the text of the reply's
// first binding for oid, empty for an error, an exception value or no such binding.
bool SnmpSendRequest(const TSnmpSend& client, const std::string& oid, std::string& value);

}  // namespace connections
