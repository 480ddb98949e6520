// The connections menu, the list, the redundancy switch and the connection form, through a
// scripted terminal with the shipped English texts.
#include <gtest/gtest.h>

#include "config/uConstants.h"
#include "connections/connection_editor.h"
#include "connections/connections_menu.h"
#include "support/console_fixture.h"

namespace {

class Connections : public test::ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    UseLanguage("english");
  }
};

const THost kV1{"ups-a", 161, "", SnmpVersion1, "", 0, "", 0, ""};
const THost kV2c{"10.0.0.2", 1161, "private", SnmpVersion2c, "olduser", 1, "oldauth1", 2, "oldpriv1"};
const THost kV3{"ups-c", 161, "public", SnmpVersion3, "admin", AuthSHA, "authpass", PrivAES, "privpass"};
const THost kV3NoAuth{"ups-d", 162, "", SnmpVersion3, "guest", AuthNone, "x", PrivDES, "y"};

TEST_F(Connections, ListLines) {
  ::Setup.Hosts = {kV1, kV3};
  ::Setup.Redundancy = true;
  Type("\n");
  connections::ShowConnectionList();
  EXPECT_EQ(TakeOutput(),
            "\n"
            " - Connection \"1\": ups-a\n"
            "   - SNMP version: SNMPv1\n"
            "   - Port: 161\n"
            "\n"
            " - Connection \"2\": ups-c\n"
            "   - SNMP version: SNMPv3\n"
            "   - Port: 161\n"
            "   - User name: admin\n"
            "   - Authentication: SHA\n"
            "   - Privacy: AES\n"
            "\n"
            " - Use redundancy: Yes\n"
            "\nPress Enter to continue...\n");
  ::Setup.Hosts = {kV2c, kV3NoAuth};
  ::Setup.Redundancy = false;
  Type("\n");
  connections::ShowConnectionList();
  EXPECT_EQ(TakeOutput(),
            "\n"
            " - Connection \"1\": 10.0.0.2\n"
            "   - SNMP version: SNMPv2c\n"
            "   - Port: 1161\n"
            "   - Community: private\n"
            "\n"
            " - Connection \"2\": ups-d\n"
            "   - SNMP version: SNMPv3\n"
            "   - Port: 162\n"
            "   - User name: guest\n"
            "   - Authentication: None\n"
            "\n"
            " - Use redundancy: No\n"
            "\nPress Enter to continue...\n");
}

TEST_F(Connections, NoConnectionShowsOnlyTheMessage) {
  Type("\n");
  connections::ShowConnectionList();
  EXPECT_EQ(TakeOutput(), "\nNo UPS connection is configured.\nPress Enter to continue...\n");
}

TEST_F(Connections, RedundancySwitch) {
  struct Case {
    std::vector<THost> hosts;
    bool before;
    const char* typed;
    bool after;
    const char* message;
  } cases[] = {
      {{}, false, "6\n\nQ\n", false, "No UPS connection is configured."},
      {{kV1}, false, "6\n\nQ\n", false, "Redundancy needs two UPS connections."},
      {{kV1, kV3}, true, "6\nN\nQ\n", false, "Enable redundancy? [Y/N]: "},
      {{kV1, kV3}, false, "6\ny\nQ\n", true, "Enable redundancy? [Y/N]: "},
  };
  for (const Case& c : cases) {
    terminal = test::ScriptedTerminal{};
    ::Setup.Hosts = c.hosts;
    ::Setup.Redundancy = c.before;
    Type(c.typed);
    connections::UpsConnectionsMenu();
    EXPECT_EQ(::Setup.Redundancy, c.after) << c.typed;
    EXPECT_NE(TakeOutput().find(c.message), std::string::npos) << c.message;
    EXPECT_EQ(terminal.Unread(), "");
  }
}

TEST_F(Connections, AddingAsksTheFieldsFromNewHost) {
  // Version prompt starts empty: Enter alone and 4 beep; 1 is SNMPv1. Port 0 and 70000 beep.
  Type("ups.example\r" "\b\b\b0\r\b70000\r\b\b\b\b\b1161\r" "\r4\r1\r" "\r" "N\n");
  connections::AddConnection();
  ASSERT_EQ(::Setup.Hosts.size(), 1u);
  EXPECT_EQ(::Setup.Hosts[0], (THost{"ups.example", 1161, "public", SnmpVersion1, "", 0, "", 0, ""}));
  EXPECT_EQ(terminal.beeps, 4);
  std::string out = TakeOutput();
  EXPECT_TRUE(out.starts_with("Address of the UPS network card: ups.example\nPort: 161")) << out;
  EXPECT_NE(out.find("SNMP version [1=SNMPv1; 2=SNMPv2c; 3=SNMPv3]: <BEEP>4"), std::string::npos) << out;
  EXPECT_NE(out.find("Community: public\n\nThe connection has been added.\nTest the connection now? [Y/N]: "),
            std::string::npos) << out;
}

TEST_F(Connections, AddingAnSnmpV3ConnectionStartsEveryChoiceEmpty) {
  ::Setup.Hosts = {kV1};  // adding with one connection present works
  // A prefilled choice would join the typed digit ("13", "21") and be refused with a beep.
  Type("ups-b\r" "\r" "3\r" "admin\r" "3\r" "authpass1\rauthpass1\r" "2\r" "1234567\r" "privpass1\rprivpass1\r"
       "N\n");
  connections::AddConnection();
  ASSERT_EQ(::Setup.Hosts.size(), 2u);
  EXPECT_EQ(::Setup.Hosts[1], (THost{"ups-b", 161, "public", SnmpVersion3, "admin", AuthSHA, "authpass1", PrivDES,
                                     "privpass1"}));
  EXPECT_EQ(terminal.beeps, 1);  // the 7-character privacy password
  const std::string out = TakeOutput();
  EXPECT_NE(out.find("SNMP version [1=SNMPv1; 2=SNMPv2c; 3=SNMPv3]: 3\n"), std::string::npos) << out;
  EXPECT_NE(out.find("User name: admin\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Authentication [1=None; 2=MD5; 3=SHA]: 3\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Privacy [1=None; 2=DES; 3=AES]: 2\n"), std::string::npos) << out;
  EXPECT_NE(out.find("*******\n<BEEP>"), std::string::npos) << out;
  EXPECT_EQ(out.find("Community"), std::string::npos) << "no community question at SNMPv3";
  EXPECT_EQ(terminal.Unread(), "");
}

TEST_F(Connections, AddingAThirdIsRefused) {
  ::Setup.Hosts = {kV1, kV3};
  Type("\n");
  connections::AddConnection();
  EXPECT_EQ(::Setup.Hosts.size(), 2u);
  EXPECT_EQ(TakeOutput(), "\nNo more connections can be added: two is the maximum.\nPress Enter to continue...\n");
}

TEST_F(Connections, EditingIntoSnmpV3KeepsTheUnaskedFields) {
  ::Setup.Hosts = {kV2c};
  Type("1\n" "\r\r" "\b3\r" "\r" "\b3\r" "authpass1\rauthpass1\r" "\b3\r" "short\rprivpass1\rprivpass1\r" "N\n" "Q\n");
  connections::EditConnectionMenu();
  EXPECT_EQ(::Setup.Hosts[0], (THost{"10.0.0.2", 1161, "private", SnmpVersion3, "olduser", AuthSHA, "authpass1",
                                     PrivAES, "privpass1"}));
  std::string out = TakeOutput();
  EXPECT_NE(out.find("SNMP version [1=SNMPv1; 2=SNMPv2c; 3=SNMPv3]: 2"), std::string::npos);
  EXPECT_NE(out.find("Authentication [1=None; 2=MD5; 3=SHA]: 2"), std::string::npos);  // MD5 was stored
  EXPECT_NE(out.find("Privacy [1=None; 2=DES; 3=AES]: 3"), std::string::npos);
  EXPECT_EQ(terminal.beeps, 1);  // the 5-character password
  EXPECT_NE(out.find("The connection has been changed."), std::string::npos);
}

TEST_F(Connections, ChoosingNoAuthenticationSkipsPasswordsAndPrivacy) {
  ::Setup.Hosts = {kV3};
  Type("1\n" "\r\r\r\r" "\b1\r" "N\n" "Q\n");
  connections::EditConnectionMenu();
  THost expected = kV3;
  expected.Authentication = AuthNone;
  EXPECT_EQ(::Setup.Hosts[0], expected);
}

TEST_F(Connections, DeletingRenumbersAndClearsRedundancy) {
  ::Setup.Hosts = {kV1, kV3};
  ::Setup.Redundancy = true;
  Type("1\n\n" "Q\n");
  connections::DeleteConnectionMenu();
  ASSERT_EQ(::Setup.Hosts.size(), 1u);
  EXPECT_EQ(::Setup.Hosts[0].Address, "ups-c");
  EXPECT_FALSE(::Setup.Redundancy);
  std::string out = TakeOutput();
  EXPECT_NE(out.find("The connection has been deleted."), std::string::npos);
  EXPECT_NE(out.find(" 1 - ups-c\n Q - Back to the previous menu\n"), std::string::npos);

  Type("1\n\n");  // the last one: back at once
  connections::DeleteConnectionMenu();
  EXPECT_TRUE(::Setup.Hosts.empty());
  EXPECT_EQ(terminal.Unread(), "");
}

TEST_F(Connections, ChoicesThatNameNoConnection) {
  ::Setup.Hosts = {kV1};
  Type("q\nQ\n");  // lower-case q is accepted by the prompt, matches nothing here
  connections::EditConnectionMenu();
  EXPECT_EQ(terminal.clears, 2);
  Type("\n");
  ::Setup.Hosts.clear();
  connections::EditConnectionMenu();
  EXPECT_TRUE(TakeOutput().ends_with("No UPS connection is configured.\nPress Enter to continue...\n"));
}

}  // namespace
