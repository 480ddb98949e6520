// The language file: a small INI reader for the one section "Setup", and the table of keys.
#include "console/catalogue.h"

#include "config/uConstants.h"
#include "console/console.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"

namespace console {
namespace {

constexpr std::string_view kSectionName = "Setup";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Section names are matched ignoring the case of ASCII letters only.
bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// A file marked as UTF-8 is converted to the locale's 8-bit text; any other file is taken
// byte for byte.
std::string TextOfFile(std::string_view content) {
  if (content.starts_with(kUtf8Mark)) return platform::FromUtf8(content.substr(kUtf8Mark.size()));
  return std::string(content);
}

// Adds one trimmed line of the "Setup" section: key and text split at the first "=".
// A line without "=" becomes an entry without a name, which no lookup finds.
void AddLine(TCatalogue& catalogue, std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    AddCatalogueEntry(catalogue, std::string(), std::string(line));
    return;
  }
  AddCatalogueEntry(catalogue, std::string(Trim(line.substr(0, equals))),
                    std::string(Trim(line.substr(equals + 1))));
}

// Copies the entries of every "Setup" section of text into catalogue, in file order.
void ReadSetupSection(TCatalogue& catalogue, std::string_view text) {
  bool inSetup = false;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      inSetup = SameAsciiText(Trim(line.substr(1, line.size() - 2)), kSectionName);
      continue;
    }
    if (inSetup) AddLine(catalogue, line);
  }
}

}  // namespace

bool LoadCatalogue() {
  Catalogue.reset();
  if (!platform::FileExists(Setup.LanguageFile)) return false;
  Catalogue = std::make_unique<TCatalogue>();
  const std::optional<std::string> content = platform::ReadWholeFile(Setup.LanguageFile);
  if (!content) return false;
  ReadSetupSection(*Catalogue, TextOfFile(*content));
  return !Catalogue->Entries.empty();
}

const std::vector<std::string_view>& ProgramKeys() {
  static const std::vector<std::string_view> keys = {
      "Add",
      "AdditionalTasks",
      "After",
      "ConfigPassword",
      "ConfigurationTitle",
      "ConfirmPassword",
      "Connection",
      "ConnectionAdded",
      "ConnectionAddress",
      "ConnectionChanged",
      "ConnectionDeleted",
      "ConnectionNotDeleted",
      "ConnectionType",
      "CurrentConfiguration",
      "Delete",
      "Edit",
      "EnableRedundancy",
      "Error",
      "ErrorSavingConfiguration",
      "EventBatteryChargeLevel",
      "EventGeneralFault",
      "EventLowBattery",
      "EventOutputOverload",
      "EventPowerFailure",
      "EventUpsCommunicationLost",
      "ExecuteTestConnection",
      "ExitWithoutSave",
      "FileExecute",
      "FileMaxTime",
      "FileName",
      "GoToPreviousMenu",
      "ImpossibleToAddConnections",
      "LessThan",
      "List",
      "MainMenu",
      "Minutes",
      "No",
      "NoConnectionsConfigured",
      "Ok",
      "OtherOptions",
      "Password",
      "PasswordContainsAbortKey",
      "PasswordDeleted",
      "PasswordSet",
      "PasswordTooShort",
      "PasswordWrong",
      "PressEnterToContinue",
      "PressToAbort",
      "PromptEventDelay",
      "PromptEventLessThan",
      "Redundancy",
      "RedundancyNotAllowed",
      "RestartService",
      "RestartingService",
      "SaveAndExit",
      "Selection",
      "ShortNo",
      "ShortYes",
      "ShowMessages",
      "Shutdown",
      "SnmpAuthentication",
      "SnmpCommunity",
      "SnmpNone",
      "SnmpPort",
      "SnmpPrivacy",
      "SnmpUserName",
      "SnmpV1",
      "SnmpV2",
      "SnmpV3",
      "SystemShutdown",
      "Test",
      "TestConnection",
      "TestConnectionFailed",
      "TestConnectionOkNoName",
      "TestRunning",
      "UpsConnections",
      "UpsConnectionsList",
      "UseRedundancy",
      "UseSystemLog",
      "Yes",
  };
  return keys;
}

}  // namespace console
