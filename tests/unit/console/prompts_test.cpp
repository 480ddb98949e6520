// The prompt primitives, through a scripted terminal: what the operator types, what the screen
// shows, the beeps, and the input-mode changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/catalogue.h"
#include "console/console.h"
#include "platform/terminal.h"
#include "support/console_fixture.h"

namespace {

using platform::kLineInput;

class Prompts : public test::ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    UseCatalogue({{"Selection", "Choice"},
                  {"ShortYes", "Y"},
                  {"ShortNo", "N"},
                  {"PressEnterToContinue", "Press Enter to continue..."},
                  {"PasswordTooShort", "Too short."},
                  {"PasswordWrong", "Passwords differ."},
                  {"ConfirmPassword", "Confirm"},
                  {"Password", "Password"},
                  {"Save", "Save the file?"},
                  {"NineChars", "Nine Char"},
                  {"Umlaut", "Menü"},
                  {"ConfigurationTitle", "%s - Configuration"}});
  }

  // The key-by-key readers switch line input off and back on, nothing else.
  void ExpectKeyByKeyThenLineMode() {
    EXPECT_EQ(terminal.modeChanges, (std::vector<std::uint32_t>{0, kLineInput}));
    EXPECT_EQ(terminal.mode, kLineInput);
  }
};

// --- Translate and TranslateLabel -------------------------------------------------------------

TEST_F(Prompts, TranslateFindsKeysIgnoringCaseAndTrimsTheText) {
  UseCatalogue({{"selection", "  Choice \t"}, {"Empty", ""}, {"Blank", "   "}, {"Twice", "first"},
                {"TWICE", "second"}, {"", "an entry without a name"}});
  EXPECT_EQ(console::Translate("Selection"), "Choice");
  EXPECT_EQ(console::Translate("SELECTION"), "Choice");
  EXPECT_EQ(console::Translate("Twice"), "first");
  EXPECT_EQ(console::Translate("Empty"), "Not translated!");
  EXPECT_EQ(console::Translate("Blank"), "Not translated!");
  EXPECT_EQ(console::Translate("Missing"), "Not translated!");
  EXPECT_EQ(console::Translate(""), "Not translated!");
}

TEST_F(Prompts, TranslateWithoutCatalogueSaysNotTranslated) {
  console::Catalogue.reset();
  EXPECT_EQ(console::Translate("Selection"), "Not translated!");
  console::Catalogue = std::make_unique<console::TCatalogue>();
  EXPECT_EQ(console::Translate("Selection"), "Not translated!");
  EXPECT_EQ(console::TranslateLabel("Selection", true), "Not translated!: ");
}

TEST_F(Prompts, TranslateLabelAddsOneColonAndAnOptionalSpace) {
  UseCatalogue({{"Plain", "Address"}, {"Colon", "Address:"}});
  EXPECT_EQ(console::TranslateLabel("Plain", false), "Address:");
  EXPECT_EQ(console::TranslateLabel("Plain", true), "Address: ");
  EXPECT_EQ(console::TranslateLabel("Colon", false), "Address:");
  EXPECT_EQ(console::TranslateLabel("Colon", true), "Address: ");
}

// --- Screen layout ------------------------------------------------------------------------------

TEST_F(Prompts, PrintTitleRuleIsTwoLongerThanTheTitle) {
  console::PrintTitle("NINE CHAR", false);
  EXPECT_EQ(TakeOutput(), " NINE CHAR\n-----------\n");
  console::PrintTitle("NINE CHAR", true);
  EXPECT_EQ(TakeOutput(), "-----------\n NINE CHAR\n-----------\n");
}

TEST_F(Prompts, PrintTitleCountsCharactersNotBytes) {
  console::PrintTitle("MENÜ", false);
  EXPECT_EQ(TakeOutput(), " MENÜ\n------\n");
}

TEST_F(Prompts, PrintHeaderFillsTheTitleTemplate) {
  console::PrintHeader();
  EXPECT_EQ(TakeOutput(),
            "Talvex Shutdown Client 1.0 - Configuration\n"
            "Copyright (C) Brevant. All rights reserved.\n\n");
}

TEST_F(Prompts, PrintHeaderTemplateVariants) {
  struct Case {
    const char* templ;
    const char* firstLine;
  } cases[] = {
      {"Setup", "Setup"},                                  // no directive: unchanged
      {"%s", "Talvex Shutdown Client 1.0"},
      {"100%% %s", "100% Talvex Shutdown Client 1.0"},
      {"%s %s", "Talvex Shutdown Client 1.0 %s"},          // one text argument only
      {"%d %s %n", "%d Talvex Shutdown Client 1.0 %n"},    // other directives stay as written
      {"50%", "50%"},
  };
  for (const Case& c : cases) {
    UseCatalogue({{"ConfigurationTitle", c.templ}});
    console::PrintHeader();
    std::string out = TakeOutput();
    EXPECT_EQ(out.substr(0, out.find('\n')), c.firstLine) << c.templ;
  }
}

TEST_F(Prompts, WaitForEnterLayouts) {
  Type("anything\n\n");
  console::WaitForEnter(false, "");
  EXPECT_EQ(TakeOutput(), "Press Enter to continue...\n");
  console::WaitForEnter(true, "Saved.");
  EXPECT_EQ(TakeOutput(), "\nSaved.\nPress Enter to continue...\n");
  EXPECT_EQ(terminal.Unread(), "");
}

// --- AskMenuChoice ------------------------------------------------------------------------------

const console::TMenuItems kMenu = {"1=One", "2=Two", "Q=Back"};

TEST_F(Prompts, AskMenuChoiceDrawsTheScreen) {
  Type("2\n");
  EXPECT_EQ(console::AskMenuChoice("NineChars", kMenu, false), "2");
  EXPECT_EQ(TakeOutput(),
            "<CLS>-----------\n NINE CHAR\n-----------\n"
            " 1 - One\n 2 - Two\n Q - Back\n\nChoice: ");
}

TEST_F(Prompts, AskMenuChoiceUnderTheHeaderHasNoTopRule) {
  Type("1\n");
  console::AskMenuChoice("Umlaut", kMenu, true);
  EXPECT_EQ(TakeOutput(),
            "<CLS>Talvex Shutdown Client 1.0 - Configuration\n"
            "Copyright (C) Brevant. All rights reserved.\n\n"
            " MENÜ\n------\n 1 - One\n 2 - Two\n Q - Back\n\nChoice: ");
}

TEST_F(Prompts, AskMenuChoiceReturnsTheKeyAsTyped) {
  struct Case {
    const char* typed;
    const char* returned;
    int beeps;
  } cases[] = {
      {"2\n", "2", 0},
      {"q\n", "q", 0},               // any letter case matches; the caller compares exactly
      {"Q\n", "Q", 0},
      {" 2\n2\n", "2", 1},           // not trimmed
      {"2 \n2\n", "2", 1},
      {"\n2\n", "2", 1},             // empty line
      {"3\nx\n12\n1\n", "1", 3},
      {"1=One\n1\n", "1", 1},
  };
  for (const Case& c : cases) {
    terminal = test::ScriptedTerminal{};
    Type(c.typed);
    EXPECT_EQ(console::AskMenuChoice("NineChars", kMenu, false), c.returned) << c.typed;
    EXPECT_EQ(terminal.beeps, c.beeps) << c.typed;
    EXPECT_EQ(terminal.clears, c.beeps + 1) << "every refusal redraws the whole screen: " << c.typed;
  }
}

TEST_F(Prompts, AskMenuChoiceMatchesMultiByteKeysIgnoringCase) {
  Type("ü\n");
  EXPECT_EQ(console::AskMenuChoice("NineChars", {"Ü=Umlaut", "Q=Back"}, false), "ü");
  EXPECT_EQ(terminal.beeps, 0);
}

// --- AskYesNo -----------------------------------------------------------------------------------

TEST_F(Prompts, AskYesNoAnswers) {
  struct Case {
    const char* typed;
    bool answer;
    int beeps;
  } cases[] = {
      {"Y\n", true, 0},  {"y\n", true, 0},  {"N\n", false, 0},    {"n\n", false, 0},
      {"yes\nY\n", true, 1},   {"\nN\n", false, 1}, {"N \nn\n", false, 1}, {" Y\nY\n", true, 1},
  };
  for (const Case& c : cases) {
    terminal = test::ScriptedTerminal{};
    Type(c.typed);
    EXPECT_EQ(console::AskYesNo("Save", false), c.answer) << c.typed;
    EXPECT_EQ(terminal.beeps, c.beeps) << c.typed;
  }
}

TEST_F(Prompts, AskYesNoWritesThePromptAgainAfterARefusal) {
  Type("x\nY\n");
  console::AskYesNo("Save", true);
  EXPECT_EQ(TakeOutput(), "\nSave the file? [Y/N]: <BEEP>Save the file? [Y/N]: ");
}

TEST_F(Prompts, AskYesNoAcceptsLowerCaseTranslations) {
  UseCatalogue({{"ShortYes", "j"}, {"ShortNo", "n"}, {"Save", "Speichern?"}});
  Type("J\n");
  EXPECT_TRUE(console::AskYesNo("Save", false));
  Type("n\n");
  EXPECT_FALSE(console::AskYesNo("Save", false));
  EXPECT_EQ(terminal.beeps, 0);
  EXPECT_EQ(TakeOutput(), "Speichern? [j/n]: Speichern? [j/n]: ");
}

TEST_F(Prompts, AskYesNoWithEqualTextsYesWins) {
  UseCatalogue({{"ShortYes", "S"}, {"ShortNo", "S"}});
  Type("s\n");
  EXPECT_TRUE(console::AskYesNo("Save", false));
}

// --- AskNumber ----------------------------------------------------------------------------------

TEST_F(Prompts, AskNumberEditsTheCurrentValue) {
  Type("\b\b\b162\r");
  EXPECT_EQ(console::AskNumber("Port: ", false, 161), 162);
  EXPECT_EQ(TakeOutput(), "Port: 161\b \b\b \b\b \b162\n");
  ExpectKeyByKeyThenLineMode();
}

TEST_F(Prompts, AskNumberCases) {
  struct Case {
    std::int32_t current;
    const char* typed;
    std::int32_t result;
    int beeps;
  } cases[] = {
      {161, "\r", 161, 0},                       // Enter alone keeps the current value
      {-1, "\r7\r", 7, 1},                       // starts empty: Enter alone beeps
      {161, "a:-+ 1\r", 1611, 5},                // letters, colon, signs and blanks beep
      {5, "\b\b\r0\r", 0, 1},                    // Backspace on empty does nothing; 0 is a number
      {-1, "2147483647\r", 2147483647, 0},
      {-1, "21474836470\r", 2147483647, 1},      // a digit past 32 bits is refused
      {-1, "21474836487\r", 2147483647, 1},
      {-1, "000042\r", 42, 0},
      {-5, "\r", -5, 0},                         // a negative current value shows as it is
      {-5, "\b\b\b9\r", 9, 0},
  };
  for (const Case& c : cases) {
    terminal = test::ScriptedTerminal{};
    Type(c.typed);
    EXPECT_EQ(console::AskNumber("N: ", false, c.current), c.result) << c.typed;
    EXPECT_EQ(terminal.beeps, c.beeps) << c.typed;
  }
}

TEST_F(Prompts, AskNumberBlankLineFirst) {
  Type("\r");
  console::AskNumber("Minutes: ", true, 10);
  EXPECT_EQ(TakeOutput(), "\nMinutes: 10\n");
}

// --- AskText ------------------------------------------------------------------------------------

TEST_F(Prompts, AskTextKeepsTheCurrentTextOnEnter) {
  Type("\r");
  EXPECT_EQ(console::AskText("Community: ", "public"), "public");
  EXPECT_EQ(TakeOutput(), "Community: public\n");
  ExpectKeyByKeyThenLineMode();
}

TEST_F(Prompts, AskTextCases) {
  struct Case {
    const char* current;
    const char* typed;
    const char* result;
    int beeps;
  } cases[] = {
      {"public", "\b\b\b\b\b\b\r\bx\r", "x", 1},   // cannot be emptied
      {"", "a b\r", "a b", 0},
      {"", "\t\x1b\x01\x7f" "c\r", "", 3},        // control bytes beep (DEL is Backspace)
      {"ü", "\b\r1\r", "1", 1},                    // Backspace removes the whole character
      {"aé", "\bb\r", "ab", 0},
      {"x", "\xc3\xa4\r", "xä", 0},
  };
  for (const Case& c : cases) {
    terminal = test::ScriptedTerminal{};
    Type(c.typed);
    std::string result = console::AskText("T: ", c.current);
    if (std::string(c.result).empty()) {
      EXPECT_EQ(result, "c") << c.typed;
    } else {
      EXPECT_EQ(result, c.result) << c.typed;
    }
    EXPECT_EQ(terminal.beeps, c.beeps) << c.typed;
  }
}

TEST_F(Prompts, AskTextEchoesAndErasesOneCharacterPerBackspace) {
  Type("\b\r");
  EXPECT_EQ(console::AskText("T: ", "aü"), "a");
  EXPECT_EQ(TakeOutput(), "T: aü\b \b\n");
}

// --- ReadMaskedLine -----------------------------------------------------------------------------

TEST_F(Prompts, ReadMaskedLineAbortKeyDiscardsTheEntry) {
  Type("abQ");
  std::string text = "old";
  EXPECT_FALSE(console::ReadMaskedLine(text, 'Q'));
  EXPECT_EQ(text, "");
  EXPECT_EQ(TakeOutput(), "**\n");
  ExpectKeyByKeyThenLineMode();
}

TEST_F(Prompts, ReadMaskedLineCases) {
  struct Case {
    char abortKey;
    const char* typed;
    bool finished;
    const char* text;
    const char* shown;
  } cases[] = {
      {'Q', "qwerty\r", true, "qwerty", "******\n"},      // lower-case q is an ordinary character
      {0, "Qx\r", true, "Qx", "**\n"},                    // no abort key
      {0, "\b\rab\bc\r", true, "ac", "<BEEP>**\b \b*\n"},  // Backspace on empty: nothing; Enter on empty: beep
      {0, "pä\r", true, "pä", "**\n"},                    // one star per character
      {0, "pä\b\r", true, "p", "**\b \b\n"},
      {'Q', "Q", false, "", "\n"},
  };
  for (const Case& c : cases) {
    terminal = test::ScriptedTerminal{};
    Type(c.typed);
    std::string text;
    EXPECT_EQ(console::ReadMaskedLine(text, c.abortKey), c.finished) << c.typed;
    EXPECT_EQ(text, c.text) << c.typed;
    EXPECT_EQ(TakeOutput(), c.shown) << c.typed;
  }
}

// --- AskNewPassword -----------------------------------------------------------------------------

TEST_F(Prompts, AskNewPasswordRefusesShortAndDifferingEntries) {
  Type("1234567\r"      // 7 characters: too short
       "12345678\r"     // 8: enough
       "12345679\r"     // confirmation differs: both asked again
       "abcdefgh\rabcdefgh\r");
  std::string password = "before";
  console::AskNewPassword("Password", password, 8, true);
  EXPECT_EQ(password, "abcdefgh");
  EXPECT_EQ(TakeOutput(),
            "\nPassword: *******\n<BEEP>Too short.\n"
            "\nPassword: ********\nConfirm: ********\n<BEEP>Passwords differ.\n"
            "\nPassword: ********\nConfirm: ********\n");
  EXPECT_EQ(terminal.Unread(), "");
}

TEST_F(Prompts, AskNewPasswordWithoutMinimumTakesOneCharacter) {
  Type("x\rx\r");
  std::string password;
  console::AskNewPassword("Password", password, -1, false);
  EXPECT_EQ(password, "x");
  EXPECT_EQ(terminal.beeps, 0);
}

// --- End of input -------------------------------------------------------------------------------

TEST_F(Prompts, EndOfInputEndsEveryPromptAndRestoresLineInput) {
  struct Case {
    const char* name;
    void (*ask)();
  } cases[] = {
      {"menu", [] { console::AskMenuChoice("NineChars", kMenu, false); }},
      {"yes/no", [] { console::AskYesNo("Save", false); }},
      {"wait", [] { console::WaitForEnter(false, ""); }},
      {"number", [] { console::AskNumber("N: ", false, -1); }},
      {"text", [] { console::AskText("T: ", "x"); }},
      {"masked", [] { std::string t; console::ReadMaskedLine(t, 'Q'); }},
      {"password", [] { std::string p; console::AskNewPassword("Password", p, 8, false); }},
  };
  for (const Case& c : cases) {
    // A last line without its line end still counts as a line: the pause takes it.
    for (const char* typed : {"", "1x", "xyz"}) {
      if (std::string(c.name) == "wait" && *typed) continue;
      terminal = test::ScriptedTerminal{};
      Type(typed);
      EXPECT_THROW(c.ask(), console::InputEnded) << c.name << " after " << typed;
      EXPECT_EQ(terminal.mode, kLineInput) << c.name;
    }
  }
}

}  // namespace
