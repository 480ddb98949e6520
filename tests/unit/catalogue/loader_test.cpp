// The language-file reader: which lines of a file become catalogue entries, and what the
// lookup then finds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "config/uConstants.h"
#include "console/catalogue.h"
#include "console/console.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "support/console_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kNotTranslated = "Not translated!";

// A private folder for the language files of one test, removed afterwards.
class LanguageFiles : public test::ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    std::string pattern = (fs::temp_directory_path() / "talvex-lng-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    fs::remove_all(dir_);
    ConsoleFixture::TearDown();
  }

  // Writes content as the language file and points Setup at it.
  void UseFile(const std::string& content) {
    const fs::path path = dir_ / "test.lng";
    std::ofstream(path, std::ios::binary) << content;
    ::Setup.LanguageFile = path.string();
  }

  fs::path dir_;
};

struct LoaderCase {
  const char* name;
  std::string content;
  bool loads;
  std::vector<std::pair<std::string, std::string>> lookups;  // key, expected Translate
  std::size_t entries;                                      // entries in the catalogue
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const LoaderCase& c, std::ostream* os) { *os << c.name; }

const std::string kMark = "\xEF\xBB\xBF";

std::vector<LoaderCase> LoaderCases() {
  return {
      {"UpperCaseSectionAndBlanksAroundEquals",
       "[SETUP]\n  selection   =   Choice  \n",
       true,
       {{"Selection", "Choice"}},
       1},
      {"MixedCaseSectionNameAndBlanksInsideBrackets",
       "[ sEtUp ]\nMainMenu=Main menu\n",
       true,
       {{"MainMenu", "Main menu"}},
       1},
      {"DuplicateKeyFirstWins",
       "[Setup]\nYes=First\nYES=Second\n",
       true,
       {{"Yes", "First"}},
       2},
      {"KeyOnlyInAnotherSection",
       "[Other]\nNo=Nein\n[Setup]\nYes=Ja\n[More]\nOk=Gut\n",
       true,
       {{"Yes", "Ja"}, {"No", kNotTranslated}, {"Ok", kNotTranslated}},
       1},
      {"KeysBeforeAnySection",
       "Yes=Outside\n[Setup]\nNo=Inside\n",
       true,
       {{"Yes", kNotTranslated}, {"No", "Inside"}},
       1},
      {"SecondSetupSectionAddsToTheFirst",
       "[Setup]\nYes=One\n[Other]\nNo=Never\n[setup]\nNo=Two\nYes=Late\n",
       true,
       {{"Yes", "One"}, {"No", "Two"}},
       3},
      {"OnlyComments", "[Setup]\n; Yes=Ja\n  ;No=Nein\n", false, {{"Yes", kNotTranslated}}, 0},
      {"EmptyFile", "", false, {}, 0},
      {"NoSetupSection", "[Other]\nYes=Ja\n", false, {{"Yes", kNotTranslated}}, 0},
      {"SectionWithoutClosingBracketIsNotASection",
       "[Setup]\n[Other\nYes=Ja\n",
       true,
       {{"Yes", "Ja"}},
       2},
      {"MarkBeforeSectionHeader",
       kMark + "[Setup]\r\nYes=Ja\r\n",
       true,
       {{"Yes", "Ja"}},
       1},
      {"EmptyAndBlankTexts",
       "[Setup]\nEmpty=\nBlank=   \t\nFull=Text\n",
       true,
       {{"Empty", kNotTranslated}, {"Blank", kNotTranslated}, {"Full", "Text"}},
       3},
      {"SplitAtFirstEqualsNoQuotingNoEscapes",
       "[Setup]\nTitle= a=b \"c\" \\n ;d \nQuoted=\"x\"\n",
       true,
       {{"Title", "a=b \"c\" \\n ;d"}, {"Quoted", "\"x\""}},
       2},
      {"LineWithoutEqualsCountsButIsNeverFound",
       "[Setup]\nJust words\n",
       true,
       {{"Just words", kNotTranslated}, {"", kNotTranslated}},
       1},
      {"EmptyKeyIsNeverFound", "[Setup]\n=Text\n", true, {{"", kNotTranslated}}, 1},
      {"WindowsAndOldLineEndsTabsAndEmptyLines",
       "\r\n\t[Setup]\t\r\n\r\nYes=Ja\rNo=Nein\n\n\tOk\t=\tGut\t",
       true,
       {{"Yes", "Ja"}, {"No", "Nein"}, {"Ok", "Gut"}},
       3},
      {"MarkOnlyCountsAtTheStart",
       "[Setup]\n" + kMark + "Yes=Ja\n",
       true,
       {{"Yes", kNotTranslated}, {kMark + "Yes", "Ja"}},
       1},
  };
}

class LoaderRules : public LanguageFiles, public ::testing::WithParamInterface<LoaderCase> {};

TEST_P(LoaderRules, EntriesAndLookups) {
  const LoaderCase& c = GetParam();
  UseFile(c.content);
  EXPECT_EQ(console::LoadCatalogue(), c.loads);
  ASSERT_NE(console::Catalogue, nullptr) << "an existing file leaves a catalogue, if empty";
  EXPECT_EQ(console::Catalogue->Entries.size(), c.entries);
  for (const auto& [key, text] : c.lookups) EXPECT_EQ(console::Translate(key), text) << key;
}

INSTANTIATE_TEST_SUITE_P(Files, LoaderRules, ::testing::ValuesIn(LoaderCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LanguageFiles, MissingFileLeavesNoCatalogue) {
  console::Catalogue = std::make_unique<console::TCatalogue>();  // from an earlier load
  ::Setup.LanguageFile = (dir_ / "missing.lng").string();
  EXPECT_FALSE(console::LoadCatalogue());
  EXPECT_EQ(console::Catalogue, nullptr);
  EXPECT_EQ(console::Translate("Yes"), kNotTranslated);
}

TEST_F(LanguageFiles, FolderInPlaceOfTheFileCountsAsMissing) {
  fs::create_directory(dir_ / "english.lng");
  ::Setup.LanguageFile = (dir_ / "english.lng").string();
  EXPECT_FALSE(console::LoadCatalogue());
  EXPECT_EQ(console::Catalogue, nullptr);
}

TEST_F(LanguageFiles, FileThatCannotBeReadGivesAnEmptyCatalogue) {
  // A regular file whose read fails: the process's own memory at address 0.
  const std::string unreadable = "/proc/self/mem";
  if (!platform::FileExists(unreadable) || platform::ReadWholeFile(unreadable))
    GTEST_SKIP() << "no regular file here that fails to read";
  ::Setup.LanguageFile = unreadable;
  EXPECT_FALSE(console::LoadCatalogue());
  ASSERT_NE(console::Catalogue, nullptr);
  EXPECT_TRUE(console::Catalogue->Entries.empty());
}

TEST_F(LanguageFiles, FileIsReadAtLoadAndNotKept) {
  UseFile("[Setup]\nYes=Ja\n");
  ASSERT_TRUE(console::LoadCatalogue());
  fs::remove(::Setup.LanguageFile);
  EXPECT_EQ(console::Translate("Yes"), "Ja");
}

// Under an ASCII locale a file marked as UTF-8 is converted (letters the locale lacks become
// "?"), and a file without the mark keeps its bytes as they are.
class LanguageFilesUnderAsciiLocale : public LanguageFiles {
 protected:
  void SetUp() override {
    LanguageFiles::SetUp();
    setenv("LC_ALL", "C", 1);
    platform::InitLocale();
  }
  void TearDown() override {
    setenv("LC_ALL", "C.UTF-8", 1);
    platform::InitLocale();
    LanguageFiles::TearDown();
  }
};

TEST_F(LanguageFilesUnderAsciiLocale, MarkedFileIsConvertedFromUtf8) {
  UseFile(kMark + "[Setup]\nMainMenu=Hauptmen\xC3\xBC\nSp\xC3\xA4t=late\n");
  ASSERT_TRUE(console::LoadCatalogue());
  EXPECT_EQ(console::Translate("MainMenu"), "Hauptmen?");
  EXPECT_EQ(console::Translate("Sp?t"), "late");
}

TEST_F(LanguageFilesUnderAsciiLocale, UnmarkedFileKeepsItsBytes) {
  UseFile("[Setup]\nMainMenu=Hauptmen\xC3\xBC\n");
  ASSERT_TRUE(console::LoadCatalogue());
  EXPECT_EQ(console::Translate("MainMenu"), "Hauptmen\xC3\xBC");
}

TEST_F(LanguageFiles, MarkedFileUnderUtf8LocaleKeepsItsLetters) {
  UseFile(kMark + "[Setup]\nMainMenu=Hauptmen\xC3\xBC\n");
  ASSERT_TRUE(console::LoadCatalogue());
  EXPECT_EQ(console::Translate("MainMenu"), "Hauptmen\xC3\xBC");
}

}  // namespace
