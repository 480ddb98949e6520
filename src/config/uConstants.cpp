#include "config/uConstants.h"

#include "platform/file_system.h"

TSetupData Setup;

std::string LanguageFilePath(std::string_view languageName) {
  std::string path = Setup.AppDir;
  path += "languages";
  path += PathDelimiter;
  path += languageName;
  path += ".lng";
  return path;
}

void SetDefaults() {
  Setup.LanguageFile = LanguageFilePath("english");
  Setup.Hosts.clear();
  Setup.Interval = 5;
  Setup.Timeout = 3;
  Setup.Retries = 3;
  Setup.Redundancy = false;
  Setup.Password.clear();
  Setup.ShowMessages = true;
  Setup.SystemLog = false;
  Setup.Powerfail = {true, 10};
  Setup.LowBattery = {true, 1};
  Setup.BatteryCharge = {true, 10};
  Setup.Overload = {false, 3};
  Setup.GeneralFault = {false, 1};
  Setup.UpsCommunicationLost = {false, 3};
  Setup.Tasks = {false, "", 5};
}

void NewHost(THost& host) {
  host = THost{};
  host.SnmpPort = 161;
  host.Community = "public";
  host.SnmpVersion = SnmpVersion2c;
  host.Authentication = AuthNone;
  host.Privacy = PrivNone;
}

bool DeleteHost(std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= Setup.Hosts.size()) return false;
  Setup.Hosts.erase(Setup.Hosts.begin() + index);
  return true;
}

std::string BoolToText(bool value) { return value ? "1" : "0"; }

std::string ApplicationDir() {
  std::string path = platform::ExecutablePath();
  std::size_t cut = path.find_last_of(PathDelimiter);
  if (cut == std::string::npos) return {};
  return path.substr(0, cut + 1);
}

std::string ReplaceLineMarkers(std::string_view text, bool lineBreaks, std::string_view separator) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '@')
      out.push_back(c);
    else if (lineBreaks)
      out += "\r\n";
    else
      out += separator;
  }
  return out;
}
