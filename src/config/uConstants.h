#pragma once
// The configuration module: the one configuration record `Setup`, the types it is made of,
// its defaults and operations, and the file that holds it (config.cfg).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// At most this many UPS connections exist.
constexpr int MaxConnections = 2;

// SNMP codes as stored in THost and in config.cfg.
constexpr std::int32_t SnmpVersion1 = 0, SnmpVersion2c = 1, SnmpVersion3 = 2;
constexpr std::int32_t AuthNone = 0, AuthMD5 = 1, AuthSHA = 2;
constexpr std::int32_t PrivNone = 0, PrivDES = 1, PrivAES = 2;

// The path delimiter of this platform, used to build the paths the program opens.
constexpr char PathDelimiter = '/';

// One SNMP connection to the network card of a UPS.
struct THost {
  std::string Address;
  std::uint16_t SnmpPort = 0;
  std::string Community;
  std::int32_t SnmpVersion = 0;
  std::string Username;
  std::int32_t Authentication = 0;
  std::string AuthPassword;  // plain text in memory
  std::int32_t Privacy = 0;
  std::string PrivacyPassword;  // plain text in memory

  bool operator==(const THost&) const = default;
};

using THosts = std::vector<THost>;

// The setting of one UPS event that leads to a shutdown.
struct TEventSetting {
  bool Enabled = false;
  std::int32_t Value = 0;

  bool operator==(const TEventSetting&) const = default;
};

// The one additional task the service runs.
struct TCustomTasks {
  bool Enabled = false;
  std::string FileName;
  std::int32_t MaxTime = 0;

  bool operator==(const TCustomTasks&) const = default;
};

struct TSetupData {
  std::string AppDir;        // the executable's directory, with its trailing delimiter
  std::string ConfigFile;    // AppDir + "config.cfg"
  std::string LanguageFile;  // AppDir + "languages/" + name + ".lng"
  THosts Hosts;
  std::int32_t Interval = 0;
  std::int32_t Timeout = 0;
  std::int32_t Retries = 0;
  bool Redundancy = false;
  std::string Password;  // access password, plain text; empty: none
  bool ShowMessages = false;
  bool SystemLog = false;
  TEventSetting Powerfail;
  TEventSetting LowBattery;
  TEventSetting BatteryCharge;
  TEventSetting Overload;
  TEventSetting GeneralFault;
  TEventSetting UpsCommunicationLost;
  TCustomTasks Tasks;

  bool operator==(const TSetupData&) const = default;
};

// The whole configuration, for the whole run.
extern TSetupData Setup;

// Fields 3 to 18 of Setup to their defaults; AppDir and ConfigFile stay.
void SetDefaults();
// A new connection: port 161, community "public", SNMPv2c, no authentication, no privacy.
void NewHost(THost& host);
// Removes Hosts[index] (0-based) and closes the gap; false for an index out of range.
bool DeleteHost(std::int32_t index);
// "1" or "0".
std::string BoolToText(bool value);
// The directory of the running executable, with its trailing delimiter; empty if none.
std::string ApplicationDir();
// Every "@" becomes a line break (CR LF) when lineBreaks is true, otherwise separator.
std::string ReplaceLineMarkers(std::string_view text, bool lineBreaks, std::string_view separator);
// The language file path for a language name: AppDir + "languages" + delimiter + name + ".lng".
std::string LanguageFilePath(std::string_view languageName);

// The stored (scrambled, hexadecimal) form of passwords in config.cfg.
std::string EncodePassword(std::string_view plain);
std::string DecodePassword(std::string_view stored);

// Fills Setup from config.cfg beside the program. See config_file.cpp for the rules.
bool LoadConfiguration(bool ApplyDefaults, bool RequireHost);
// Writes Setup to config.cfg; false when the file could not be written (the old one stays).
bool SaveConfiguration();
