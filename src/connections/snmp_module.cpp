// SnmpSendRequest through the SNMP module, loaded at the first connection test.
#include "connections/snmp_client.h"
#include "platform/module_loader.h"

namespace connections {

using SendFunction = bool (*)(const TSnmpSend&, const std::string&, std::string&);

bool SnmpSendRequest(const TSnmpSend& client, const std::string& oid, std::string& value) {
  static const auto send =
      reinterpret_cast<SendFunction>(platform::ModuleSymbol(platform::kSnmpModule, "TalvexSnmpSendRequest"));
  value.clear();
  // Without the module nothing can be sent: the attempt gets no reply.
  return send != nullptr && send(client, oid, value);
}

}  // namespace connections
