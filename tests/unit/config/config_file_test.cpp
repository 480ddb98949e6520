// config.cfg: loading (defaults, rejections, value forms), saving byte for byte, and saves that
// fail without losing the old file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "config/config_file.h"
#include "config/uConstants.h"
#include "platform/atomic_file.h"

namespace {

namespace fs = std::filesystem;
using config_file::LoadConfigurationIn;

// A folder standing in for the program's own, removed afterwards.
class ConfigFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("talvex-config-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir / "languages");
    appDir = dir.string() + "/";
    ::Setup = TSetupData{};
  }
  void TearDown() override {
    platform::FailFileStepForTesting(platform::FileStep::None);
    fs::remove_all(dir);
  }
  void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  void WriteConfig(const std::string& text) { Write(dir / "config.cfg", text); }
  std::string ReadConfig() {
    std::ifstream in(dir / "config.cfg", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Load() { return LoadConfigurationIn(appDir, true, false); }

  fs::path dir;
  std::string appDir;
};

// The document around the given sections, and a file holding it.
std::string Document(const std::string& inner) {
  return "<Brevant><Talvex_Client><Cfg>" + inner + "</Cfg></Talvex_Client></Brevant>";
}
std::string Cfg(const std::string& inner) { return "<?xml version=\"1.0\"?>" + Document(inner); }
const std::string kGeneral =
    "<General><Language>english</Language><Password>7B42</Password><ShowMessages>0</ShowMessages>"
    "<SystemLog>1</SystemLog></General>";
const std::string kEvents = "<Events/>";
const std::string kTasks = "<Tasks/>";
std::string Hosts(const std::string& attributes, const std::string& children) {
  return "<Hosts " + attributes + ">" + children + "</Hosts>";
}
std::string Host(const std::string& address, const std::string& port, const std::string& extra = "") {
  return "<Host Address=\"" + address + "\" SnmpPort=\"" + port +
         "\" Community=\"c\" SnmpVersion=\"1\" Username=\"u\" Authentication=\"0\" AuthPassword=\"\" "
         "Privacy=\"0\" PrivacyPassword=\"\" " + extra + "/>";
}

TEST_F(ConfigFile, MissingFileGivesDefaultsAndCreatesNothing) {
  EXPECT_TRUE(Load());
  EXPECT_EQ(::Setup.ConfigFile, appDir + "config.cfg");
  EXPECT_EQ(::Setup.LanguageFile, appDir + "languages/english.lng");
  EXPECT_EQ(::Setup.Powerfail, (TEventSetting{true, 10}));
  EXPECT_EQ(::Setup.Tasks, (TCustomTasks{false, "", 5}));
  EXPECT_TRUE(::Setup.ShowMessages);
  EXPECT_FALSE(fs::exists(dir / "config.cfg"));
  EXPECT_FALSE(LoadConfigurationIn(appDir, true, true));   // no connection
  EXPECT_FALSE(LoadConfigurationIn(appDir, false, false));  // no defaults asked for
}

TEST_F(ConfigFile, UnreadableFilesFailTheLoad) {
  const std::string complete = Cfg(kGeneral + kEvents + kTasks);
  for (const std::string& text :
       {std::string(), std::string("plain text, not XML"), std::string("<?xml version=\"1.0\"?>"),
        std::string("<Brevant><Talvex_Client>"), std::string("<a></b>"), complete.substr(0, complete.size() - 1),
        "text before " + complete, complete + "text after", complete + "<Second/>",
        "<![CDATA[x]]>" + complete}) {
    WriteConfig(text);
    ::Setup = TSetupData{};
    EXPECT_FALSE(Load()) << text;
    // Nothing from the file, only the two paths.
    TSetupData expected;
    expected.AppDir = appDir;
    expected.ConfigFile = appDir + "config.cfg";
    EXPECT_EQ(::Setup, expected) << text;
    EXPECT_EQ(ReadConfig(), text);
  }
  // Comments, processing instructions and blank lines around the document element are fine.
  WriteConfig("<?xml version=\"1.0\"?>\n<!-- saved -->\n" + complete + "\n<?done?>\n\n");
  EXPECT_TRUE(Load());
  // Larger than any real configuration: refused as unreadable, whatever it holds.
  WriteConfig(Cfg(kGeneral + "<!--" + std::string(5u << 20, 'x') + "-->" + kEvents + kTasks));
  EXPECT_FALSE(Load());
  fs::remove(dir / "config.cfg");
  fs::create_directory(dir / "config.cfg");  // a folder of that name counts as no file
  EXPECT_TRUE(Load());
}

TEST_F(ConfigFile, CompleteFileIsRead) {
  WriteConfig(Cfg(kGeneral +
                  Hosts("Redundancy=\"1\" Interval=\"7\" Timeout=\"2\" Retries=\"4\"",
                        Host("ups1", "161") +
                            "<Host Address=\"ups2\" SnmpPort=\"1161\" Community=\"\" SnmpVersion=\"2\" "
                            "Username=\"admin\" Authentication=\"2\" AuthPassword=\"7B42\" Privacy=\"1\" "
                            "PrivacyPassword=\"7B\"/>") +
                  "<Events><Event Name=\"LowBattery\" Enabled=\"0\" Value=\"4\"/></Events>"
                  "<Tasks><Whatever Enabled=\"1\" MaxTime=\"9\" FileName=\"C:\\run me.cmd\"/></Tasks>"));
  ASSERT_TRUE(Load());
  EXPECT_EQ(::Setup.Password, "AB");
  EXPECT_FALSE(::Setup.ShowMessages);
  EXPECT_TRUE(::Setup.SystemLog);
  EXPECT_TRUE(::Setup.Redundancy);
  EXPECT_EQ(::Setup.Interval, 7);
  EXPECT_EQ(::Setup.Timeout, 2);
  EXPECT_EQ(::Setup.Retries, 4);
  ASSERT_EQ(::Setup.Hosts.size(), 2u);
  EXPECT_EQ(::Setup.Hosts[1], (THost{"ups2", 1161, "", 2, "admin", 2, "AB", 1, "A"}));
  EXPECT_EQ(::Setup.LowBattery, (TEventSetting{false, 4}));
  EXPECT_EQ(::Setup.Powerfail, (TEventSetting{true, 10}));
  EXPECT_EQ(::Setup.Tasks, (TCustomTasks{true, "C:\\run me.cmd", 9}));
  // Complete and with connections: every combination of the options succeeds.
  EXPECT_TRUE(LoadConfigurationIn(appDir, false, true));
  EXPECT_EQ(::Setup.Hosts.size(), 2u);
}

TEST_F(ConfigFile, HostElementsAreCheckedInOrder) {
  struct Case {
    std::string children;
    std::vector<std::string> addresses;
  } cases[] = {
      {Host("a", "161") + Host("b", "161") + Host("c", "161"), {"a", "b"}},  // third ignored
      {Host("a", "0") + Host("b", "161") + Host("c", "161"), {"b"}},          // not made up for
      {Host("a", "65535") + Host("b", "65536"), {"a"}},
      {Host("", "161") + Host("b", "abc"), {}},
      {Host("a", "161", "SnmpVersion=\"3\"").replace(0, 0, ""), {"a"}},  // duplicate attribute: first wins
      {"<Host Address=\"a\" SnmpPort=\"161\" SnmpVersion=\"0\" Privacy=\"0\"/>", {}},  // no Authentication
      {"<Host Address=\"a\" SnmpPort=\"161\" SnmpVersion=\"3\" Authentication=\"0\" Privacy=\"0\"/>", {}},
      {"<Host Address=\"a\" SnmpPort=\"161\" SnmpVersion=\"0\" Authentication=\"0\" Privacy=\"0\"/>", {"a"}},
      {"<!-- c -->text" + Host("a", "$A1") + "<Other/>" + Host("b", "1"), {"a"}},  // any element name counts
  };
  for (const Case& c : cases) {
    WriteConfig(Cfg(kGeneral + Hosts("Redundancy=\"1\"", c.children) + kEvents + kTasks));
    ASSERT_TRUE(Load()) << c.children;
    std::vector<std::string> addresses;
    for (const THost& h : ::Setup.Hosts) addresses.push_back(h.Address);
    EXPECT_EQ(addresses, c.addresses) << c.children;
    EXPECT_EQ(::Setup.Redundancy, addresses.size() == 2) << c.children;
  }
  EXPECT_EQ(::Setup.Hosts.empty(), false);
}

TEST_F(ConfigFile, MissingSectionsGiveDefaultsEverywhereButAnExistingLanguage) {
  Write(dir / "languages" / "deutsch.lng", "[Setup]\nA=B\n");
  std::string general = "<General><Language>deutsch</Language><Password>7B</Password></General>";
  WriteConfig(Cfg(general + Hosts("", Host("a", "161")) + kTasks));  // no Events
  ASSERT_TRUE(Load());
  EXPECT_EQ(::Setup.LanguageFile, appDir + "languages/deutsch.lng");
  EXPECT_TRUE(::Setup.Hosts.empty());
  EXPECT_EQ(::Setup.Password, "");

  std::string missingLanguage = "<General><Language>klingon</Language></General>";
  WriteConfig(Cfg(missingLanguage + kEvents));  // no Tasks
  ASSERT_TRUE(Load());
  EXPECT_EQ(::Setup.LanguageFile, appDir + "languages/english.lng");
  EXPECT_FALSE(LoadConfigurationIn(appDir, false, false));

  // Complete otherwise: a missing language file is kept, for the catalogue to report.
  WriteConfig(Cfg(missingLanguage + kEvents + kTasks));
  ASSERT_TRUE(Load());
  EXPECT_EQ(::Setup.LanguageFile, appDir + "languages/klingon.lng");

  // The document element's name is not checked, but Talvex_Client must be below it.
  WriteConfig("<Other><Talvex_Client><Cfg>" + kGeneral + kEvents + kTasks + "</Cfg></Talvex_Client></Other>");
  ASSERT_TRUE(Load());
  EXPECT_EQ(::Setup.Password, "AB");
  WriteConfig("<Talvex_Client><Cfg>" + kGeneral + kEvents + kTasks + "</Cfg></Talvex_Client>");
  ASSERT_TRUE(Load());
  EXPECT_EQ(::Setup.Password, "");
}

// The document's Unicode text reaches the record in the locale's encoding (UTF-8 in the tests),
// whatever encoding the file declares or marks.
TEST_F(ConfigFile, TextsAreReadInAnyDeclaredEncoding) {
  WriteConfig("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" +
              Document(kGeneral + Hosts("", Host("ups-\xE4", "161")) + kEvents + kTasks));
  ASSERT_TRUE(Load());
  ASSERT_EQ(::Setup.Hosts.size(), 1u);
  EXPECT_EQ(::Setup.Hosts[0].Address, "ups-\xC3\xA4");
  WriteConfig("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>" +
              Document(kGeneral + Hosts("", Host("ups-\xC3\xA4", "161")) + kEvents + kTasks));
  ASSERT_TRUE(Load());
  ASSERT_EQ(::Setup.Hosts.size(), 1u);
  EXPECT_EQ(::Setup.Hosts[0].Address, "ups-\xC3\xA4");
}

TEST_F(ConfigFile, GeneralValuesFallBackToTheirDefaults) {
  struct Case {
    std::string general;
    std::string language;
    std::string password;
    bool showMessages, systemLog;
  } cases[] = {
      {"<General/>", "english", "", true, false},
      {"<General><Language></Language><Password/><ShowMessages/><SystemLog></SystemLog></General>", "english", "",
       true, false},
      {"<General><Language>  </Language><ShowMessages>yes</ShowMessages><SystemLog>on</SystemLog></General>",
       "english", "", true, false},
      {"<General><ShowMessages>FALSE</ShowMessages><SystemLog>-0.5e1</SystemLog></General>", "english", "", false,
       true},
      {"<General><Language><![CDATA[deutsch]]></Language><Password>7b42</Password></General>", "deutsch", "AB",
       true, false},
      // The first element of a name is the one read; an element inside the value is no text.
      {"<General><Language>italiano</Language><Language>deutsch</Language><Password><x/>7B</Password></General>",
       "italiano", "", true, false},
  };
  for (const Case& c : cases) {
    WriteConfig(Cfg(c.general + kEvents + kTasks));
    ASSERT_TRUE(Load()) << c.general;
    EXPECT_EQ(::Setup.LanguageFile, appDir + "languages/" + c.language + ".lng") << c.general;
    EXPECT_EQ(::Setup.Password, c.password) << c.general;
    EXPECT_EQ(::Setup.ShowMessages, c.showMessages) << c.general;
    EXPECT_EQ(::Setup.SystemLog, c.systemLog) << c.general;
  }
}

TEST_F(ConfigFile, WithoutHostsTheHostSettingsStayAsTheyWere) {
  WriteConfig(Cfg(kGeneral + kEvents + kTasks));
  ASSERT_TRUE(Load());
  EXPECT_EQ(::Setup.Interval, 0);
  EXPECT_EQ(::Setup.Timeout, 0);
  EXPECT_EQ(::Setup.Retries, 0);
  EXPECT_EQ(::Setup.Tasks, (TCustomTasks{false, "", 0}));  // Tasks without a child: as they were
}

TEST_F(ConfigFile, EventsMatchByExactName) {
  WriteConfig(Cfg(kGeneral +
                  "<Events><E Name=\"powerfail\" Enabled=\"0\" Value=\"1\"/>"
                  "<E Name=\"Overload\" Enabled=\"TRUE\" Value=\"abc\"/>"
                  "<E Name=\"Overload\" Enabled=\"0\" Value=\"99\"/>"
                  "<E Name=\"GeneralFault\" Enabled=\"yes\" Value=\"-4\"/>"
                  "<E Name=\"LowBattery\" Enabled=\"0.0\" Value=\"0\"/>"
                  "<E Name=\"BatteryCharge\" Enabled=\"2\" Value=\"150\"/></Events>" +
                  kTasks));
  ASSERT_TRUE(Load());
  EXPECT_EQ(::Setup.Powerfail, (TEventSetting{true, 10}));
  EXPECT_EQ(::Setup.Overload, (TEventSetting{true, 3}));
  EXPECT_EQ(::Setup.GeneralFault, (TEventSetting{false, -4}));
  EXPECT_EQ(::Setup.LowBattery, (TEventSetting{false, 0}));
  EXPECT_EQ(::Setup.BatteryCharge, (TEventSetting{true, 150}));
}

TEST(ConfigValues, Integers) {
  struct Case {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"42", 42},       {"  -42", -42},   {"+7", 7},        {"$1F", 31},      {"x1f", 31},
      {"0x10", 16},     {"0X10", 16},     {"%101", 5},      {"&17", 15},      {"-$10", -16},
      {"2147483647", 2147483647},         {"-2147483648", INT32_MIN},         {"$FFFFFFFF", -1},
      {"2147483648", -99}, {"$100000000", -99}, {"", -99},  {"  ", -99},      {"12 ", -99},
      {"1.5", -99},     {"abc", -99},     {"%2", -99},      {"&8", -99},      {"0x", -99},
      {"- 1", -99},     {"99999999999999999999", -99},
  };
  for (const Case& c : cases) EXPECT_EQ(config_file::ParseInteger(c.text, -99), c.value) << c.text;
}

TEST(ConfigValues, Booleans) {
  struct Case {
    const char* text;
    int value;  // -1: the fallback
  } cases[] = {
      {"1", 1},    {"0", 0},     {"2", 1},     {"-1", 1},     {"0.0", 0},   {"0.5", 1},  {"1e3", 1},
      {"0e5", 0},  {"TRUE", 1},  {"false", 0}, {"FaLsE", 0},  {"yes", -1},  {"", -1},    {" 1", -1},
      {"1e", -1},  {".", -1},    {"abc", -1},  {".5", 1},     {"5.", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(config_file::ParseBoolean(c.text, true), c.value == -1 ? true : c.value == 1) << c.text;
    EXPECT_EQ(config_file::ParseBoolean(c.text, false), c.value == -1 ? false : c.value == 1) << c.text;
  }
}

TEST(ConfigValues, LanguageNames) {
  EXPECT_EQ(config_file::LanguageNameOf("/opt/x/languages/deutsch.lng"), "deutsch");
  EXPECT_EQ(config_file::LanguageNameOf("C:\\Tools\\languages\\francais.lng"), "francais");
  EXPECT_EQ(config_file::LanguageNameOf("a.b.lng"), "a.b");
  EXPECT_EQ(config_file::LanguageNameOf("noext"), "noext");
}

void FillSetup(const std::string& appDir) {
  ::Setup = TSetupData{};
  ::Setup.AppDir = appDir;
  ::Setup.ConfigFile = appDir + "config.cfg";
  SetDefaults();
  ::Setup.LanguageFile = appDir + "languages/deutsch.lng";
  ::Setup.Password = "AB";
  ::Setup.SystemLog = true;
  ::Setup.Redundancy = true;
  ::Setup.Hosts = {THost{"ups1", 161, "pub<&>\"lic", 1, "", 0, "", 0, ""},
                   THost{"ups-ä", 1161, "", 2, "admin", 2, "AB", 2, "A"}};
  ::Setup.Overload = {true, -3};
  ::Setup.Tasks = {true, "C:\\run me.cmd", 0};
}

const char* kExpectedFile =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Brevant>\n"
    "  <Talvex_Client>\n"
    "    <Cfg>\n"
    "      <General>\n"
    "        <Language>deutsch</Language>\n"
    "        <Password>7B42</Password>\n"
    "        <ShowMessages>1</ShowMessages>\n"
    "        <SystemLog>1</SystemLog>\n"
    "      </General>\n"
    "      <Hosts Redundancy=\"1\" Interval=\"5\" Timeout=\"3\" Retries=\"3\">\n"
    "        <Host Address=\"ups1\" SnmpPort=\"161\" Community=\"pub&lt;&amp;>&quot;lic\" SnmpVersion=\"1\" "
    "Username=\"\" Authentication=\"0\" AuthPassword=\"\" Privacy=\"0\" PrivacyPassword=\"\" />\n"
    "        <Host Address=\"ups-ä\" SnmpPort=\"1161\" Community=\"\" SnmpVersion=\"2\" Username=\"admin\" "
    "Authentication=\"2\" AuthPassword=\"7B42\" Privacy=\"2\" PrivacyPassword=\"7B\" />\n"
    "      </Hosts>\n"
    "      <Events>\n"
    "        <Event Name=\"Powerfail\" Enabled=\"1\" Value=\"10\" />\n"
    "        <Event Name=\"LowBattery\" Enabled=\"1\" Value=\"1\" />\n"
    "        <Event Name=\"BatteryCharge\" Enabled=\"1\" Value=\"10\" />\n"
    "        <Event Name=\"Overload\" Enabled=\"1\" Value=\"-3\" />\n"
    "        <Event Name=\"GeneralFault\" Enabled=\"0\" Value=\"1\" />\n"
    "        <Event Name=\"UpsCommunicationLost\" Enabled=\"0\" Value=\"3\" />\n"
    "      </Events>\n"
    "      <Tasks>\n"
    "        <Task Name=\"1\" Enabled=\"1\" MaxTime=\"0\" FileName=\"C:\\run me.cmd\" />\n"
    "      </Tasks>\n"
    "    </Cfg>\n"
    "  </Talvex_Client>\n"
    "</Brevant>\n";

TEST_F(ConfigFile, SaveWritesTheLayoutByteForByte) {
  FillSetup(appDir);
  ASSERT_TRUE(SaveConfiguration());
  EXPECT_EQ(ReadConfig(), kExpectedFile);
  struct stat info {};
  ASSERT_EQ(::stat((dir / "config.cfg").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);  // a new file holds passwords: owner only
}

TEST_F(ConfigFile, SaveThenLoadGivesEveryFieldBack) {
  Write(dir / "languages" / "deutsch.lng", "[Setup]\nA=B\n");
  FillSetup(appDir);
  ::Setup.Password = std::string("p\x01\xff Q&<", 7);
  ::Setup.Hosts[0].Community = "tab\there";
  TSetupData saved = ::Setup;
  ASSERT_TRUE(SaveConfiguration());
  ::Setup = TSetupData{};
  ASSERT_TRUE(Load());
  EXPECT_EQ(::Setup, saved);
}

TEST_F(ConfigFile, SavingNoConnectionsWritesAnEmptyHostsElement) {
  FillSetup(appDir);
  ::Setup.Hosts.clear();
  ::Setup.Password.clear();
  ASSERT_TRUE(SaveConfiguration());
  std::string text = ReadConfig();
  EXPECT_NE(text.find("        <Password />\n"), std::string::npos);
  EXPECT_NE(text.find("      <Hosts Redundancy=\"1\" Interval=\"5\" Timeout=\"3\" Retries=\"3\" />\n"), std::string::npos);
}

TEST_F(ConfigFile, AReplacedFileKeepsItsPermissions) {
  WriteConfig("old");
  fs::permissions(dir / "config.cfg", fs::perms(0640));
  FillSetup(appDir);
  ASSERT_TRUE(SaveConfiguration());
  EXPECT_EQ(fs::status(dir / "config.cfg").permissions(), fs::perms(0640));
}

TEST_F(ConfigFile, ALinkedFileIsReplacedAndTheLinkStays) {
  fs::create_directory(dir / "real");
  Write(dir / "real" / "shared.cfg", "old");
  fs::permissions(dir / "real" / "shared.cfg", fs::perms(0644));
  fs::create_symlink(dir / "real" / "shared.cfg", dir / "config.cfg");
  FillSetup(appDir);
  ASSERT_TRUE(SaveConfiguration());
  EXPECT_TRUE(fs::is_symlink(dir / "config.cfg"));
  EXPECT_EQ(ReadConfig(), kExpectedFile);
  EXPECT_EQ(fs::status(dir / "real" / "shared.cfg").permissions(), fs::perms(0644));

  fs::remove(dir / "real" / "shared.cfg");  // a dangling link is left alone
  EXPECT_FALSE(SaveConfiguration());
  EXPECT_TRUE(fs::is_symlink(dir / "config.cfg"));
  EXPECT_FALSE(fs::exists(dir / "real" / "shared.cfg"));
}

TEST_F(ConfigFile, FailedSavesLeaveTheOldFileAndNoTemporaryFile) {
  for (auto step : {platform::FileStep::Create, platform::FileStep::Write, platform::FileStep::Sync,
                    platform::FileStep::Rename}) {
    WriteConfig("the old file");
    FillSetup(appDir);
    platform::FailFileStepForTesting(step);
    EXPECT_FALSE(SaveConfiguration()) << static_cast<int>(step);
    EXPECT_EQ(ReadConfig(), "the old file");
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(dir)) entries += entry.path().filename() != "languages";
    EXPECT_EQ(entries, 1) << "a temporary file was left behind";
  }
  platform::FailFileStepForTesting(platform::FileStep::None);
  fs::remove(dir / "config.cfg");
  fs::create_directory(dir / "config.cfg");
  EXPECT_FALSE(SaveConfiguration());
  EXPECT_TRUE(fs::is_directory(dir / "config.cfg"));
  fs::remove_all(dir / "languages");
  ::Setup.ConfigFile = appDir + "missing-folder/config.cfg";
  EXPECT_FALSE(SaveConfiguration());
}

}  // namespace
