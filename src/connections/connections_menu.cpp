// The UPS connections menu, the connection list and the redundancy switch.
#include "connections/connections_menu.h"

#include "config/uConstants.h"
#include "connections/connection_editor.h"
#include "connections/connection_test.h"

namespace connections {
namespace {

std::string VersionText(std::int32_t version) {
  switch (version) {
    case SnmpVersion1: return console::Translate("SnmpV1");
    case SnmpVersion2c: return console::Translate("SnmpV2");
    default: return console::Translate("SnmpV3");
  }
}

std::string AuthenticationText(std::int32_t code) {
  if (code == AuthMD5) return "MD5";
  if (code == AuthSHA) return "SHA";
  return console::Translate("SnmpNone");
}

std::string PrivacyText(std::int32_t code) {
  if (code == PrivDES) return "DES";
  if (code == PrivAES) return "AES";
  return console::Translate("SnmpNone");
}

void DetailLine(std::string_view labelKey, std::string_view value) {
  console::WriteLine("   - " + console::Translate(labelKey) + ": " + std::string(value));
}

// Redundancy may be on only while two connections are configured.
void RedundancySwitch() {
  if (CheckNoConnections(true)) return;
  if (Setup.Hosts.size() < 2) {
    console::WaitForEnter(true, console::Translate("RedundancyNotAllowed"));
    return;
  }
  Setup.Redundancy = console::AskYesNo("EnableRedundancy", true);
}

}  // namespace

bool CheckNoConnections(bool showMessage) {
  if (!Setup.Hosts.empty()) return false;
  if (showMessage) console::WaitForEnter(true, console::Translate("NoConnectionsConfigured"));
  return true;
}

std::int32_t ChosenIndex(const std::string& choice) {
  if (choice.empty() || choice.size() > 9) return -2;
  std::int32_t n = 0;
  for (char c : choice) {
    if (c < '0' || c > '9') return -2;
    n = n * 10 + (c - '0');
  }
  return n - 1;
}

void ChooseConnections(std::string_view titleKey, void (*action)(THost& host)) {
  console::TMenuItems list;
  for (;;) {
    list.clear();
    FillConnectionChoices(list);
    const std::string choice = console::AskMenuChoice(titleKey, list, false);
    if (choice == "Q") break;
    const std::int32_t n = ChosenIndex(choice);
    if (n >= 0 && static_cast<std::size_t>(n) < Setup.Hosts.size())
      action(Setup.Hosts[static_cast<std::size_t>(n)]);
    else
      console::Beep();
  }
}

void FillConnectionChoices(console::TMenuItems& list) {
  for (std::size_t i = 0; i < Setup.Hosts.size(); ++i)
    list.push_back(std::to_string(i + 1) + "=" + Setup.Hosts[i].Address);
  console::AddMenuItem(list, "Q", "GoToPreviousMenu");
}

void ShowConnectionList() {
  if (CheckNoConnections(true)) return;
  const std::string word = console::Translate("Connection");
  console::WriteLine();
  for (std::size_t i = 0; i < Setup.Hosts.size(); ++i) {
    const THost& host = Setup.Hosts[i];
    console::WriteLine(" - " + word + " \"" + std::to_string(i + 1) + "\": " + host.Address);
    DetailLine("ConnectionType", VersionText(host.SnmpVersion));
    DetailLine("SnmpPort", std::to_string(host.SnmpPort));
    if (host.SnmpVersion == SnmpVersion3) {
      DetailLine("SnmpUserName", host.Username);
      DetailLine("SnmpAuthentication", AuthenticationText(host.Authentication));
      if (host.Authentication != AuthNone) DetailLine("SnmpPrivacy", PrivacyText(host.Privacy));
    } else if (!host.Community.empty()) {
      DetailLine("SnmpCommunity", host.Community);
    }
    if (i + 1 < Setup.Hosts.size()) console::WriteLine();
  }
  console::WriteLine();
  console::WriteLine(" - " + console::TranslateLabel("UseRedundancy", true) +
                     console::Translate(Setup.Redundancy ? "Yes" : "No"));
  console::WaitForEnter(true, "");
}

void UpsConnectionsMenu() {
  console::TMenuItems items;
  console::AddMenuItem(items, "1", "List");
  console::AddMenuItem(items, "2", "Add");
  console::AddMenuItem(items, "3", "Edit");
  console::AddMenuItem(items, "4", "Delete");
  console::AddMenuItem(items, "5", "Test");
  console::AddMenuItem(items, "6", "Redundancy");
  console::AddMenuItem(items, "Q", "GoToPreviousMenu");
  for (;;) {
    const std::string choice = console::AskMenuChoice("UpsConnections", items, false);
    if (choice == "1")
      ShowConnectionList();
    else if (choice == "2")
      AddConnection();
    else if (choice == "3")
      EditConnectionMenu();
    else if (choice == "4")
      DeleteConnectionMenu();
    else if (choice == "5")
      TestConnectionMenu();
    else if (choice == "6")
      RedundancySwitch();
    else if (choice == "Q")
      break;
  }
}

}  // namespace connections
