#include "connections/connection_editor.h"

#include "connections/connection_test.h"
#include "connections/connections_menu.h"
#include "console/console.h"

namespace connections {
namespace {

// "%s [1=%s; 2=%s; 3=%s]: "
std::string ThreeWayPrompt(std::string_view label, std::string_view one, std::string_view two,
                           std::string_view three) {
  return std::string(label) + " [1=" + std::string(one) + "; 2=" + std::string(two) + "; 3=" +
         std::string(three) + "]: ";
}

// A UDP port: 1 to 65535; anything else beeps and is asked again.
std::uint16_t AskPort(std::uint16_t current) {
  const std::string label = console::TranslateLabel("SnmpPort", true);
  for (;;) {
    const std::int32_t port = console::AskNumber(label, false, current);
    if (port >= 1 && port <= 65535) return static_cast<std::uint16_t>(port);
    console::Beep();
  }
}

void OfferTest(const THost& host) {
  if (console::AskYesNo("ExecuteTestConnection", false)) RunConnectionTest(host);
}

}  // namespace

std::int32_t AskOneOfThree(std::string_view prompt, std::int32_t currentCode, bool adding) {
  const std::int32_t offered = adding ? -1 : currentCode + 1;
  for (;;) {
    const std::int32_t n = console::AskNumber(prompt, false, offered);
    if (n >= 1 && n <= 3) return n;
    console::Beep();
  }
}

void EditConnectionFields(THost& host, bool adding) {
  host.Address = console::AskText(console::TranslateLabel("ConnectionAddress", true), host.Address);
  host.SnmpPort = AskPort(host.SnmpPort);
  host.SnmpVersion = AskOneOfThree(ThreeWayPrompt(console::Translate("ConnectionType"), console::Translate("SnmpV1"),
                                                  console::Translate("SnmpV2"), console::Translate("SnmpV3")),
                                   host.SnmpVersion, adding) - 1;
  if (host.SnmpVersion != SnmpVersion3) {
    host.Community = console::AskText(console::TranslateLabel("SnmpCommunity", true), host.Community);
    return;
  }
  host.Username = console::AskText(console::TranslateLabel("SnmpUserName", true), host.Username);
  host.Authentication = AskOneOfThree(ThreeWayPrompt(console::Translate("SnmpAuthentication"),
                                                     console::Translate("SnmpNone"), "MD5", "SHA"),
                                      host.Authentication, adding) - 1;
  if (host.Authentication == AuthNone) return;
  console::AskNewPassword("Password", host.AuthPassword, 8, false);
  host.Privacy = AskOneOfThree(ThreeWayPrompt(console::Translate("SnmpPrivacy"), console::Translate("SnmpNone"),
                                              "DES", "AES"),
                               host.Privacy, adding) - 1;
  if (host.Privacy != PrivNone) console::AskNewPassword("Password", host.PrivacyPassword, 8, false);
}

void AddConnection() {
  if (Setup.Hosts.size() >= static_cast<std::size_t>(MaxConnections)) {
    console::WaitForEnter(true, console::Translate("ImpossibleToAddConnections"));
    return;
  }
  THost host;
  NewHost(host);
  EditConnectionFields(host, true);
  Setup.Hosts.push_back(host);
  console::WriteLine();
  console::WriteLine(console::Translate("ConnectionAdded"));
  OfferTest(Setup.Hosts.back());
}

void EditConnectionMenu() {
  if (CheckNoConnections(true)) return;
  // The stored record itself changes, field by field as the answers come.
  ChooseConnections("Edit", [](THost& host) {
    EditConnectionFields(host, false);
    console::WriteLine();
    console::WriteLine(console::Translate("ConnectionChanged"));
    OfferTest(host);
  });
}

void DeleteConnectionMenu() {
  if (CheckNoConnections(true)) return;
  console::TMenuItems list;
  for (;;) {
    list.clear();
    FillConnectionChoices(list);
    const std::string choice = console::AskMenuChoice("Delete", list, false);
    if (choice == "Q") break;
    const bool deleted = DeleteHost(ChosenIndex(choice));
    console::WaitForEnter(true, console::Translate(deleted ? "ConnectionDeleted" : "ConnectionNotDeleted"));
    if (Setup.Hosts.empty()) break;
  }
  if (Setup.Hosts.size() < 2) Setup.Redundancy = false;
}

}  // namespace connections
