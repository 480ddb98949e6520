#pragma once
// The connection test: one SNMP GET of the UPS agent's software version.

#include <string>

#include "config/uConstants.h"
#include "connections/snmp_client.h"

namespace connections {

// upsIdentAgentSoftwareVersion.0 of the UPS MIB.
constexpr const char* kTestObject = "1.3.6.1.2.1.33.1.1.4.0";

void TestConnectionMenu();
// Prints the progress and the result of one test, then waits for Enter.
void RunConnectionTest(const THost& host);
// True when the agent returned a non-empty value for the test object.
bool TestHost(const THost& host);
// True when the last attempt received a reply; value holds what was read, trimmed.
bool SnmpGetValue(const THost& host, const std::string& objectId, std::string& value);
bool PrepareSnmpRequest(TSnmpSend& client, const THost& host);

}  // namespace connections
