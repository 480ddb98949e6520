// The SNMP library behind TSnmpSend. The library reads and writes no file of its own and logs
// nothing; each exchange opens its own session, and the keys and engine times it learned are
// forgotten afterwards, so one test never carries over into the next.
#include "connections/snmp_client.h"
#include "platform/module_loader.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/lcd_time.h>
#include <net-snmp/library/snmpusm.h>
#if defined(NETSNMP_USE_OPENSSL) && defined(HAVE_LIBSSL)
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <net-snmp/library/cert_util.h>
#define TALVEX_SNMP_HAS_CERTIFICATE_STORE 1
#endif

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstring>
#include <memory>
#include <string>

namespace connections {
namespace {

// OIDs of the USM protocols (RFC 3414, RFC 3826).
constexpr oid kHmacMd5[] = {1, 3, 6, 1, 6, 3, 10, 1, 1, 2};
constexpr oid kHmacSha1[] = {1, 3, 6, 1, 6, 3, 10, 1, 1, 3};
constexpr oid kCbcDes[] = {1, 3, 6, 1, 6, 3, 10, 1, 2, 2};
constexpr oid kAes128[] = {1, 3, 6, 1, 6, 3, 10, 1, 2, 4};
constexpr std::size_t kProtocolLength = 10;

// The library's TLS transport loads its certificates while the library starts: it lists the
// configuration folders and opens, or creates, a folder "cert_indexes" in the persistent
// directory. The test speaks UDP only, so the certificate store is released just before that
// step, which then finds no store to fill and touches no file.
int ReleaseCertificateStore(int, int, void*, void*) {
#ifdef TALVEX_SNMP_HAS_CERTIFICATE_STORE
  netsnmp_certs_shutdown();
#endif
  return SNMPERR_SUCCESS;
}

void InitialiseLibraryOnce() {
  static const bool initialised = [] {
    // The library prints to stderr whenever no log handler is enabled (snmp_disable_log alone
    // does exactly that), so its messages go to a handler that drops them.
    snmp_disable_log();
    netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_DEBUG);
    for (int option : {NETSNMP_DS_LIB_DONT_PERSIST_STATE, NETSNMP_DS_LIB_DISABLE_CONFIG_LOAD,
                       NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE,
                       NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, NETSNMP_DS_LIB_NO_TOKEN_WARNINGS})
      netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, option, 1);
    // No MIB folder: object identifiers are numeric and no MIB file is looked for.
    netsnmp_set_mib_directory("");
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIBDIRS, "");
    netsnmp_register_callback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_POST_PREMIB_READ_CONFIG,
                              ReleaseCertificateStore, nullptr, NETSNMP_CALLBACK_HIGHEST_PRIORITY);
    // init_snmp sets the character type of the locale from the environment; the program's
    // own setting is kept.
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    const std::string characterType = current ? current : "C";
    init_snmp("talvexsetup");
    std::setlocale(LC_CTYPE, characterType.c_str());
    return true;
  }();
  (void)initialised;
}

// Forgets the users, keys and engine times the library keeps between sessions.
void ForgetSecurityState() {
  while (struct usmUser* user = usm_get_userList()) {
    usm_remove_user(user);
    usm_free_user(user);
  }
  free_etimelist();
}

void WipeAndFree(u_char*& text, std::size_t length) {
  if (text) std::memset(text, 0, length);
  free(text);
  text = nullptr;
}

char* CopyText(const std::string& text) {
  char* copy = static_cast<char*>(malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

bool MakeKey(const oid* hashProtocol, const std::string& passPhrase, u_char* key, std::size_t& keyLength) {
  keyLength = USM_AUTH_KU_LEN;
  std::string copy = passPhrase;
  int rc = generate_Ku(hashProtocol, static_cast<u_int>(kProtocolLength),
                       reinterpret_cast<u_char*>(copy.data()), copy.size(), key, &keyLength);
  std::memset(copy.data(), 0, copy.size());
  return rc == SNMPERR_SUCCESS;
}

// The library's name of the agent's UDP endpoint. An IPv6 address (it holds a colon, and may
// stand in brackets) goes over UDP on IPv6; an IPv4 address or a host name over UDP on IPv4.
std::string PeerName(const std::string& host, const std::string& port) {
  if (host.find(':') == std::string::npos) return "udp:" + host + ":" + port;
  std::string address = host;
  if (address.size() >= 2 && address.front() == '[' && address.back() == ']')
    address = address.substr(1, address.size() - 2);
  return "udp6:[" + address + "]:" + port;
}

// Fills the session from the client's settings; false when a setting cannot be made.
bool PrepareSession(const TSnmpSend& client, netsnmp_session& session) {
  snmp_sess_init(&session);
  session.peername = CopyText(PeerName(client.TargetHost, client.TargetPort));
  session.retries = 0;
  // Microseconds; a wait longer than the library's long can hold is cut to the longest it can.
  session.timeout = static_cast<long>(std::clamp<std::int64_t>(client.TimeoutMs, 0, LONG_MAX / 1000)) * 1000L;
  const TSnmpQuery& query = client.Query;
  if (query.Version != 3) {
    session.version = query.Version == 1 ? SNMP_VERSION_2c : SNMP_VERSION_1;
    session.community = reinterpret_cast<u_char*>(CopyText(query.Community));
    session.community_len = query.Community.size();
    return session.peername && session.community;
  }
  session.version = SNMP_VERSION_3;
  session.securityName = CopyText(query.UserName);
  session.securityNameLen = query.UserName.size();
  session.securityModel = SNMP_SEC_MODEL_USM;
  session.securityLevel = query.Flags == TSnmpFlags::NoAuthNoPriv ? SNMP_SEC_LEVEL_NOAUTH
                          : query.Flags == TSnmpFlags::AuthNoPriv ? SNMP_SEC_LEVEL_AUTHNOPRIV
                                                                   : SNMP_SEC_LEVEL_AUTHPRIV;
  if (query.Flags != TSnmpFlags::NoAuthNoPriv) {
    const oid* auth = query.AuthMode == TSnmpAuth::SHA1 ? kHmacSha1 : kHmacMd5;
    session.securityAuthProto = snmp_duplicate_objid(auth, kProtocolLength);
    session.securityAuthProtoLen = kProtocolLength;
    if (!MakeKey(auth, query.Password, session.securityAuthKey, session.securityAuthKeyLen)) return false;
    if (query.Flags == TSnmpFlags::AuthPriv) {
      const oid* priv = query.PrivMode == TSnmpPriv::AES ? kAes128 : kCbcDes;
      session.securityPrivProto = snmp_duplicate_objid(priv, kProtocolLength);
      session.securityPrivProtoLen = kProtocolLength;
      // The privacy key is made from its pass phrase with the authentication hash.
      if (!MakeKey(auth, query.PrivPassword, session.securityPrivKey, session.securityPrivKeyLen)) return false;
    }
  }
  return session.peername && session.securityName;
}

// The fields a session given to snmp_sess_open holds; freed here when it was never opened.
void FreeUnopenedSession(netsnmp_session& session) {
  free(session.peername);
  WipeAndFree(session.community, session.community_len);
  free(session.securityName);
  free(session.securityAuthProto);
  free(session.securityPrivProto);
  std::memset(session.securityAuthKey, 0, sizeof session.securityAuthKey);
  std::memset(session.securityPrivKey, 0, sizeof session.securityPrivKey);
}

struct SessionCloser {
  void operator()(void* handle) const { snmp_sess_close(handle); }
};
struct PduFreer {
  void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};

std::string ValueText(const netsnmp_variable_list* variable) {
  switch (variable->type) {
    case ASN_OCTET_STR:
    case ASN_OPAQUE:
      return std::string(reinterpret_cast<const char*>(variable->val.string), variable->val_len);
    case SNMP_NOSUCHOBJECT:
    case SNMP_NOSUCHINSTANCE:
    case SNMP_ENDOFMIBVIEW:
    case ASN_NULL:
      return {};
    default: {
      char buffer[1024];
      int n = snprint_value(buffer, sizeof buffer, variable->name, variable->name_length, variable);
      return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    }
  }
}

// A numeric object identifier ("1.3.6.1..." or ".1.3.6.1..."); no MIB is consulted.
bool ParseNumericOid(const std::string& text, oid* name, std::size_t& length) {
  length = 0;
  std::size_t i = text.starts_with(".") ? 1 : 0;
  while (i < text.size()) {
    if (length == MAX_OID_LEN) return false;
    std::uint64_t part = 0;
    std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      part = part * 10 + static_cast<std::uint64_t>(text[i++] - '0');
      if (part > 0xFFFFFFFFull) return false;
    }
    if (i == start || (i < text.size() && text[i++] != '.') || (i == text.size() && text.back() == '.'))
      return false;
    name[length++] = static_cast<oid>(part);
  }
  return length >= 2;
}

// A reply that arrived but reports a security problem (unknown user, wrong digest, ...).
bool IsSecurityReport(int error) {
  switch (error) {
    case SNMPERR_UNKNOWN_USER_NAME:
    case SNMPERR_AUTHENTICATION_FAILURE:
    case SNMPERR_UNKNOWN_ENG_ID:
    case SNMPERR_NOT_IN_TIME_WINDOW:
    case SNMPERR_DECRYPTION_ERR:
    case SNMPERR_UNKNOWN_SEC_MODEL:
    case SNMPERR_UNSUPPORTED_SEC_LEVEL:
    case SNMPERR_UNKNOWN_REPORT:
    case SNMPERR_INVALID_MSG:
      return true;
    default:
      return false;
  }
}

bool Exchange(const TSnmpSend& client, const std::string& oidText, std::string& value) {
  netsnmp_session settings;
  if (!PrepareSession(client, settings)) {
    FreeUnopenedSession(settings);
    return false;
  }
  // Opening an SNMPv3 session discovers the agent's engine; no answer means no reply.
  std::unique_ptr<void, SessionCloser> session(snmp_sess_open(&settings));
  if (!session) {
    int error = settings.s_snmp_errno;
    FreeUnopenedSession(settings);
    return IsSecurityReport(error);
  }
  FreeUnopenedSession(settings);  // the open session holds copies of its own

  netsnmp_pdu* request = snmp_pdu_create(client.Query.PDUType);
  if (!request) return false;
  // The library sets the reportable flag of every confirmed request such as this GET, so
  // FlagReportable needs no setting of its own here.
  for (const std::string& binding : client.Query.VarBinds) {
    oid name[MAX_OID_LEN];
    std::size_t length = 0;
    if (!ParseNumericOid(binding, name, length)) {
      snmp_free_pdu(request);
      return false;
    }
    snmp_add_null_var(request, name, length);
  }
  netsnmp_pdu* replyPdu = nullptr;
  int status = snmp_sess_synch_response(session.get(), request, &replyPdu);  // frees the request
  std::unique_ptr<netsnmp_pdu, PduFreer> reply(replyPdu);
  if (status == STAT_TIMEOUT) return false;
  if (status != STAT_SUCCESS) {
    int error = 0, systemError = 0;
    char* message = nullptr;
    snmp_sess_error(session.get(), &systemError, &error, &message);
    free(message);
    return IsSecurityReport(error);
  }
  if (!reply || reply->errstat != SNMP_ERR_NOERROR) return true;
  oid wanted[MAX_OID_LEN];
  std::size_t wantedLength = 0;
  if (!ParseNumericOid(oidText, wanted, wantedLength)) return true;
  for (netsnmp_variable_list* variable = reply->variables; variable; variable = variable->next_variable) {
    if (snmp_oid_compare(variable->name, variable->name_length, wanted, wantedLength) == 0) {
      value = ValueText(variable);
      break;
    }
  }
  return true;
}

}  // namespace

bool SnmpSendRequest(const TSnmpSend& client, const std::string& oid, std::string& value) {
  InitialiseLibraryOnce();
  value.clear();
  bool replied = Exchange(client, oid, value);
  ForgetSecurityState();
  return replied;
}

}  // namespace connections

// The module's entry point; no exception leaves the module.
TALVEX_MODULE_EXPORT bool TalvexSnmpSendRequest(const connections::TSnmpSend& client, const std::string& oid,
                                                std::string& value) {
  try {
    return connections::SnmpSendRequest(client, oid, value);
  } catch (...) {
    value.clear();
    return false;
  }
}
