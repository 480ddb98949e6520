// config.cfg, the XML file the client service shares with this program. Element and attribute
// names are exact; the first child of a name is the one read; defaults fill what is missing.
#include "config/config_file.h"

#include <pugixml.hpp>

#include <cctype>
#include <optional>
#include <sstream>

#include "config/uConstants.h"
#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"

namespace config_file {
namespace {

// A real config.cfg is a few kilobytes. A larger file is refused as unreadable, so that a
// damaged or hostile file cannot make the parser take hundreds of megabytes.
constexpr std::uint64_t kLargestConfigFile = 4u << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// --- reading --------------------------------------------------------------------------------

// The text of the first node of the parent's first child of that name, in the locale's encoding.
std::string ReadElementText(const pugi::xml_node& parent, const char* name, std::string_view fallback) {
  const char* text = parent.child(name).first_child().value();
  if (text == nullptr || *text == '\0') return std::string(fallback);
  return platform::FromUtf8(text);
}

bool ReadBoolElement(const pugi::xml_node& parent, const char* name, bool fallback) {
  return ParseBoolean(ReadElementText(parent, name, BoolToText(fallback)), fallback);
}

std::int32_t ReadIntAttribute(const pugi::xml_node& element, const char* name, std::int32_t fallback) {
  pugi::xml_attribute attribute = element.attribute(name);
  return attribute ? ParseInteger(attribute.value(), fallback) : fallback;
}

bool ReadBoolAttribute(const pugi::xml_node& element, const char* name, bool fallback) {
  pugi::xml_attribute attribute = element.attribute(name);
  return attribute ? ParseBoolean(attribute.value(), fallback) : fallback;
}

std::string ReadTextAttribute(const pugi::xml_node& element, const char* name) {
  return platform::FromUtf8(element.attribute(name).value());
}

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) { return value >= low && value <= high; }

// One "Host" element; false rejects it. The checks run in the order of the attributes.
bool ReadHost(const pugi::xml_node& element, THost& host) {
  host.Address = ReadTextAttribute(element, "Address");
  if (host.Address.empty()) return false;
  std::int32_t port = ReadIntAttribute(element, "SnmpPort", -1);
  if (!InRange(port, 1, 65535)) return false;
  host.SnmpPort = static_cast<std::uint16_t>(port);
  host.Community = ReadTextAttribute(element, "Community");
  host.SnmpVersion = ReadIntAttribute(element, "SnmpVersion", -1);
  if (!InRange(host.SnmpVersion, 0, 2)) return false;
  host.Username = ReadTextAttribute(element, "Username");
  host.Authentication = ReadIntAttribute(element, "Authentication", -1);
  if (!InRange(host.Authentication, 0, 2)) return false;
  host.AuthPassword = DecodePassword(ReadTextAttribute(element, "AuthPassword"));
  host.Privacy = ReadIntAttribute(element, "Privacy", -1);
  if (!InRange(host.Privacy, 0, 2)) return false;
  host.PrivacyPassword = DecodePassword(ReadTextAttribute(element, "PrivacyPassword"));
  return true;
}

void ReadHosts(const pugi::xml_node& hosts) {
  Setup.Redundancy = ReadBoolAttribute(hosts, "Redundancy", false);
  Setup.Interval = ReadIntAttribute(hosts, "Interval", 5);
  Setup.Timeout = ReadIntAttribute(hosts, "Timeout", 3);
  Setup.Retries = ReadIntAttribute(hosts, "Retries", 3);
  // Only the first two child elements are looked at, whatever their names.
  int looked = 0;
  for (pugi::xml_node element = hosts.first_child(); element && looked < MaxConnections;
       element = element.next_sibling()) {
    if (element.type() != pugi::node_element) continue;
    ++looked;
    THost host;
    if (ReadHost(element, host)) Setup.Hosts.push_back(std::move(host));
  }
  if (Setup.Hosts.size() < 2) Setup.Redundancy = false;
}

struct EventField {
  const char* name;
  TEventSetting TSetupData::*field;
  bool enabled;
  std::int32_t value;
};

constexpr EventField kEvents[] = {
    {"Powerfail", &TSetupData::Powerfail, true, 10},
    {"LowBattery", &TSetupData::LowBattery, true, 1},
    {"BatteryCharge", &TSetupData::BatteryCharge, true, 10},
    {"Overload", &TSetupData::Overload, false, 3},
    {"GeneralFault", &TSetupData::GeneralFault, false, 1},
    {"UpsCommunicationLost", &TSetupData::UpsCommunicationLost, false, 3},
};

void ReadEvent(const pugi::xml_node& events, const EventField& event) {
  pugi::xml_node match;
  for (pugi::xml_node element : events.children()) {
    if (element.type() == pugi::node_element && std::string_view(element.attribute("Name").value()) == event.name) {
      match = element;
      break;
    }
  }
  TEventSetting& setting = Setup.*event.field;
  setting.Enabled = match ? ReadBoolAttribute(match, "Enabled", event.enabled) : event.enabled;
  setting.Value = match ? ReadIntAttribute(match, "Value", event.value) : event.value;
}

void ReadTask(const pugi::xml_node& tasks) {
  pugi::xml_node task = tasks.find_child([](const pugi::xml_node& n) { return n.type() == pugi::node_element; });
  if (!task) return;  // the task fields stay as they were
  Setup.Tasks.Enabled = ReadBoolAttribute(task, "Enabled", false);
  Setup.Tasks.MaxTime = ReadIntAttribute(task, "MaxTime", 5);
  Setup.Tasks.FileName = ReadTextAttribute(task, "FileName");
}

// True when the file holds one well-formed document. The parser alone lets text outside the
// document element and a second top-level element pass; the client service's reader does not.
bool ParseFile(const std::string& path, pugi::xml_document& document) {
  std::optional<std::uint64_t> size = platform::FileSize(path);
  if (!size || *size > kLargestConfigFile) return false;
  if (!document.load_file(path.c_str(), pugi::parse_default | pugi::parse_fragment)) return false;
  int elements = 0;
  for (pugi::xml_node node : document.children()) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) return false;
    elements += node.type() == pugi::node_element;
  }
  return elements == 1;
}

// Steps 5 to 9 of the load; returns the number of missing sections.
int ReadDocument(const pugi::xml_document& document) {
  pugi::xml_node cfg = document.document_element().child("Talvex_Client").child("Cfg");
  if (!cfg) return 1;
  int missing = 0;
  if (pugi::xml_node general = cfg.child("General")) {
    Setup.LanguageFile = LanguageFilePath(ReadElementText(general, "Language", "english"));
    Setup.Password = DecodePassword(ReadElementText(general, "Password", ""));
    Setup.ShowMessages = ReadBoolElement(general, "ShowMessages", true);
    Setup.SystemLog = ReadBoolElement(general, "SystemLog", false);
  } else {
    ++missing;
  }
  Setup.Hosts.clear();
  if (pugi::xml_node hosts = cfg.child("Hosts")) ReadHosts(hosts);
  if (pugi::xml_node events = cfg.child("Events")) {
    for (const EventField& event : kEvents) ReadEvent(events, event);
  } else {
    ++missing;
  }
  if (pugi::xml_node tasks = cfg.child("Tasks"))
    ReadTask(tasks);
  else
    ++missing;
  return missing;
}

// --- writing --------------------------------------------------------------------------------

void SetText(pugi::xml_node parent, const char* name, std::string_view text) {
  pugi::xml_node element = parent.append_child(name);
  if (!text.empty()) element.text().set(platform::ToUtf8(text).c_str());
}

void SetAttribute(pugi::xml_node element, const char* name, std::string_view text) {
  element.append_attribute(name).set_value(platform::ToUtf8(text).c_str());
}

void SetAttribute(pugi::xml_node element, const char* name, std::int64_t number) {
  element.append_attribute(name).set_value(std::to_string(number).c_str());
}

void SetAttribute(pugi::xml_node element, const char* name, bool flag) {
  element.append_attribute(name).set_value(BoolToText(flag).c_str());
}

void BuildDocument(pugi::xml_document& document) {
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version").set_value("1.0");
  declaration.append_attribute("encoding").set_value("utf-8");
  pugi::xml_node cfg = document.append_child("Brevant").append_child("Talvex_Client").append_child("Cfg");

  pugi::xml_node general = cfg.append_child("General");
  SetText(general, "Language", LanguageNameOf(Setup.LanguageFile));
  SetText(general, "Password", EncodePassword(Setup.Password));
  SetText(general, "ShowMessages", BoolToText(Setup.ShowMessages));
  SetText(general, "SystemLog", BoolToText(Setup.SystemLog));

  pugi::xml_node hosts = cfg.append_child("Hosts");
  SetAttribute(hosts, "Redundancy", Setup.Redundancy);
  SetAttribute(hosts, "Interval", std::int64_t{Setup.Interval});
  SetAttribute(hosts, "Timeout", std::int64_t{Setup.Timeout});
  SetAttribute(hosts, "Retries", std::int64_t{Setup.Retries});
  for (const THost& host : Setup.Hosts) {
    pugi::xml_node element = hosts.append_child("Host");
    SetAttribute(element, "Address", std::string_view(host.Address));
    SetAttribute(element, "SnmpPort", std::int64_t{host.SnmpPort});
    SetAttribute(element, "Community", std::string_view(host.Community));
    SetAttribute(element, "SnmpVersion", std::int64_t{host.SnmpVersion});
    SetAttribute(element, "Username", std::string_view(host.Username));
    SetAttribute(element, "Authentication", std::int64_t{host.Authentication});
    SetAttribute(element, "AuthPassword", std::string_view(EncodePassword(host.AuthPassword)));
    SetAttribute(element, "Privacy", std::int64_t{host.Privacy});
    SetAttribute(element, "PrivacyPassword", std::string_view(EncodePassword(host.PrivacyPassword)));
  }

  pugi::xml_node events = cfg.append_child("Events");
  for (const EventField& event : kEvents) {
    pugi::xml_node element = events.append_child("Event");
    const TEventSetting& setting = Setup.*event.field;
    SetAttribute(element, "Name", std::string_view(event.name));
    SetAttribute(element, "Enabled", setting.Enabled);
    SetAttribute(element, "Value", std::int64_t{setting.Value});
  }

  pugi::xml_node task = cfg.append_child("Tasks").append_child("Task");
  SetAttribute(task, "Name", std::string_view("1"));
  SetAttribute(task, "Enabled", Setup.Tasks.Enabled);
  SetAttribute(task, "MaxTime", std::int64_t{Setup.Tasks.MaxTime});
  SetAttribute(task, "FileName", std::string_view(Setup.Tasks.FileName));
}

}  // namespace

std::int32_t ParseInteger(std::string_view text, std::int32_t fallback) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  std::string_view rest = text.substr(i);
  if (rest.starts_with("0x") || rest.starts_with("0X")) {
    base = 16;
    rest.remove_prefix(2);
  } else if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
    base = 16;
    rest.remove_prefix(1);
  } else if (!rest.empty() && rest[0] == '%') {
    base = 2;
    rest.remove_prefix(1);
  } else if (!rest.empty() && rest[0] == '&') {
    base = 8;
    rest.remove_prefix(1);
  }
  if (rest.empty()) return fallback;
  std::uint64_t magnitude = 0;
  for (char c : rest) {
    int digit = DigitValue(c);
    if (digit >= base) return fallback;
    magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (magnitude > 0xFFFFFFFFull) return fallback;
  }
  if (base == 10) {
    std::int64_t value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (value < INT32_MIN || value > INT32_MAX) return fallback;
    return static_cast<std::int32_t>(value);
  }
  // Hexadecimal, binary and octal digits fill the 32 bits as they stand.
  auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
  return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(value)) : value;
}

bool ParseBoolean(std::string_view text, bool fallback) {
  auto equalsIgnoringCase = [&](std::string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
    return true;
  };
  if (equalsIgnoringCase("true")) return true;
  if (equalsIgnoringCase("false")) return false;
  // A decimal number: sign, digits, optional fraction, optional exponent; at least one digit.
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false, nonZero = false;
  auto takeDigits = [&] {
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      digits = true;
      nonZero = nonZero || text[i] != '0';
      ++i;
    }
  };
  takeDigits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    takeDigits();
  }
  if (!digits) return fallback;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == start) return fallback;
  }
  if (i != text.size()) return fallback;
  return nonZero;
}

std::string LanguageNameOf(std::string_view languageFile) {
  std::size_t cut = languageFile.find_last_of("/\\:");
  std::string_view name = cut == std::string_view::npos ? languageFile : languageFile.substr(cut + 1);
  std::size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

bool LoadConfigurationIn(const std::string& appDir, bool applyDefaults, bool requireHost) {
  Setup.AppDir = appDir;
  Setup.ConfigFile = Setup.AppDir + "config.cfg";
  if (!platform::FileExists(Setup.ConfigFile)) {
    if (!applyDefaults) return false;
    SetDefaults();
    return !requireHost;
  }
  int missing = 0;
  {
    pugi::xml_document document;
    if (!ParseFile(Setup.ConfigFile, document)) return false;
    missing = ReadDocument(document);
  }
  if (missing > 0) {
    if (!applyDefaults) return false;
    std::string languageFile = Setup.LanguageFile;
    SetDefaults();
    if (platform::FileExists(languageFile)) Setup.LanguageFile = languageFile;
  }
  return requireHost ? !Setup.Hosts.empty() : true;
}

std::string ConfigurationText() {
  pugi::xml_document document;
  BuildDocument(document);
  std::ostringstream out;
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

}  // namespace config_file

bool LoadConfiguration(bool ApplyDefaults, bool RequireHost) {
  return config_file::LoadConfigurationIn(ApplicationDir(), ApplyDefaults, RequireHost);
}

bool SaveConfiguration() {
  return platform::ReplaceFileAtomically(Setup.ConfigFile, config_file::ConfigurationText());
}
