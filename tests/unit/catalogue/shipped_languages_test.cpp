// The language files shipped in languages/: each holds exactly the keys the program looks up,
// with texts that work where the program shows them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/program.h"
#include "config/uConstants.h"
#include "console/catalogue.h"
#include "console/console.h"
#include "platform/file_system.h"
#include "support/console_fixture.h"

namespace {

const std::vector<std::string> kLanguages = {"english", "deutsch", "francais", "italiano", "espanol"};
const std::string kMark = "\xEF\xBB\xBF";

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80            ? 1
                               : (lead >> 5) == 0x06  ? 2
                               : (lead >> 4) == 0x0E  ? 3
                               : (lead >> 3) == 0x1E  ? 4
                                                      : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::size_t Count(std::string_view text, std::string_view part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

TEST(ProgramKeys, AreSortedUniqueAndIncludeThePasswordAbortKeyText) {
  const auto& keys = console::ProgramKeys();
  EXPECT_EQ(keys.size(), 80u);
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
  EXPECT_NE(std::find(keys.begin(), keys.end(), "PasswordContainsAbortKey"), keys.end());
}

class ShippedLanguage : public test::ConsoleFixture, public ::testing::WithParamInterface<std::string> {
 protected:
  std::string Path() const { return test::SourceDir() + "/languages/" + GetParam() + ".lng"; }
};

TEST_P(ShippedLanguage, EncodingIsAsciiForEnglishAndMarkedUtf8ForTheOthers) {
  const auto content = platform::ReadWholeFile(Path());
  ASSERT_TRUE(content) << Path();
  if (GetParam() == "english") {
    EXPECT_TRUE(IsAscii(*content));
  } else {
    EXPECT_TRUE(content->starts_with(kMark));
    EXPECT_FALSE(IsAscii(content->substr(kMark.size()))) << "real accented letters expected";
  }
  EXPECT_TRUE(IsValidUtf8(*content));
}

TEST_P(ShippedLanguage, HoldsExactlyTheProgramKeysOnce) {
  UseLanguage(GetParam());
  std::map<std::string, int> seen;
  for (const auto& entry : console::Catalogue->Entries) {
    EXPECT_FALSE(entry.Name.empty()) << "a line without a key: " << entry.Text;
    ++seen[entry.Name];
  }
  for (const auto& [name, count] : seen) EXPECT_EQ(count, 1) << name << " appears " << count << " times";
  std::set<std::string> expected(console::ProgramKeys().begin(), console::ProgramKeys().end());
  std::set<std::string> found;
  for (const auto& [name, count] : seen) found.insert(name);
  EXPECT_EQ(found, expected);
}

TEST_P(ShippedLanguage, TextsWorkWhereTheProgramShowsThem) {
  UseLanguage(GetParam());
  for (std::string_view key : console::ProgramKeys()) {
    const std::string text = console::Translate(key);
    EXPECT_NE(text, "Not translated!") << key;
    const bool testResult = key == "TestConnectionFailed" || key == "TestConnectionOkNoName";
    EXPECT_EQ(Count(text, "@") > 0, testResult) << key << ": " << text;
    if (key != "ConfigurationTitle") {
      EXPECT_EQ(Count(text, "%"), 0u) << key << ": " << text;
    }
  }
  const std::string title = console::Translate("ConfigurationTitle");
  EXPECT_EQ(Count(title, "%"), 1u) << title;
  EXPECT_EQ(Count(title, "%s"), 1u) << title;
}

TEST_P(ShippedLanguage, ShortAnswersAreDifferentUpperCaseLetters) {
  UseLanguage(GetParam());
  const std::string yes = console::Translate("ShortYes");
  const std::string no = console::Translate("ShortNo");
  for (const std::string& answer : {yes, no}) {
    ASSERT_EQ(answer.size(), 1u) << answer;
    EXPECT_TRUE(answer[0] >= 'A' && answer[0] <= 'Z') << answer;
  }
  EXPECT_NE(yes, no);
  // The short answer is the first letter of the full word.
  EXPECT_EQ(console::Translate("Yes").substr(0, 1), yes);
  EXPECT_EQ(console::Translate("No").substr(0, 1), no);
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguage, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return info.param; });

// The main menu drawn from each shipped file: title upper-cased by the locale, items in order.
struct MainMenuCase {
  std::string language;
  std::string title;
  std::string firstItem;
  std::string lastItem;
  std::string prompt;
};

void PrintTo(const MainMenuCase& c, std::ostream* os) { *os << c.language; }

class MainMenuInLanguage : public test::ConsoleFixture, public ::testing::WithParamInterface<MainMenuCase> {};

TEST_P(MainMenuInLanguage, ShowsTheTranslatedMenu) {
  const MainMenuCase& c = GetParam();
  UseLanguage(c.language);
  Type("Q\n");
  EXPECT_EQ(app::ShowMainMenu(), "Q");
  const std::string screen = TakeOutput();
  EXPECT_NE(screen.find("Talvex Shutdown Client 1.0"), std::string::npos) << screen;
  EXPECT_NE(screen.find("\n " + c.title + "\n"), std::string::npos) << screen;
  EXPECT_NE(screen.find("\n 1 - " + c.firstItem + "\n"), std::string::npos) << screen;
  EXPECT_NE(screen.find("\n Q - " + c.lastItem + "\n"), std::string::npos) << screen;
  EXPECT_TRUE(screen.ends_with("\n\n" + c.prompt)) << screen;
}

INSTANTIATE_TEST_SUITE_P(
    Languages, MainMenuInLanguage,
    ::testing::Values(
        MainMenuCase{"english", "MAIN MENU", "UPS connections", "Exit without saving", "Selection: "},
        MainMenuCase{"deutsch", "HAUPTMEN\xC3\x9C", "USV-Verbindungen", "Beenden ohne Speichern", "Auswahl: "},
        MainMenuCase{"francais", "MENU PRINCIPAL", "Connexions aux onduleurs", "Quitter sans enregistrer",
                     "Choix: "},
        MainMenuCase{"italiano", "MENU PRINCIPALE", "Connessioni UPS", "Esci senza salvare", "Scelta: "},
        MainMenuCase{"espanol", "MEN\xC3\x9A PRINCIPAL", "Conexiones con SAI", "Salir sin guardar",
                     "Selecci\xC3\xB3n: "}),
    [](const auto& info) { return info.param.language; });

// Yes/no questions take the language's own short answers, in either letter case.
class Questions : public test::ConsoleFixture {};

TEST_F(Questions, GermanQuestionTakesJAndN) {
  UseLanguage("deutsch");
  Type("y\nj\n");
  EXPECT_TRUE(console::AskYesNo("RestartService", false));
  const std::string screen = TakeOutput();
  EXPECT_NE(screen.find("neu starten? [J/N]: "), std::string::npos) << screen;
  EXPECT_NE(screen.find("<BEEP>"), std::string::npos) << screen;
  Type("n\n");
  EXPECT_FALSE(console::AskYesNo("RestartService", false));
}

}  // namespace
