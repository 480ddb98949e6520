#include "console/console.h"

#include <limits>

#include "console/catalogue.h"
#include "platform/terminal.h"
#include "platform/text_encoding.h"

namespace console {

std::unique_ptr<TCatalogue> Catalogue;

namespace {

constexpr std::string_view kNotTranslated = "Not translated!";
constexpr std::string_view kProductLine = "Talvex Shutdown Client 1.0";
constexpr std::string_view kNoticeOfRights = "Copyright (C) Brevant. All rights reserved.";

// The number of characters of an 8-bit text (bytes, or UTF-8 characters under a UTF-8 locale).
std::size_t CharCount(std::string_view text) {
  std::size_t count = 0;
  for (unsigned char c : text)
    if (platform::StartsCharacter(c)) ++count;
  return count;
}

// The template with its first "%s" replaced by arg and "%%" written as "%"; any other
// directive stays as written.
std::string FormatWithOneText(std::string_view format, std::string_view arg) {
  std::string out;
  bool used = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        out.push_back('%');
        ++i;
        continue;
      }
      if (format[i + 1] == 's' && !used) {
        out.append(arg);
        used = true;
        ++i;
        continue;
      }
    }
    out.push_back(format[i]);
  }
  return out;
}

std::string ReadWholeLine() {
  std::string line;
  if (!platform::Term().ReadLine(line)) throw InputEnded{};
  return line;
}

int ReadKeyByte() {
  int c = platform::Term().ReadKey();
  if (c == platform::kEndOfInput) throw InputEnded{};
  return c;
}

// Key-by-key input for the lifetime of the object; the saved mode returns on every way out.
class KeyByKeyInput {
 public:
  KeyByKeyInput() { DisableLineInput(saved_); }
  ~KeyByKeyInput() { RestoreInputMode(saved_); }
  KeyByKeyInput(const KeyByKeyInput&) = delete;
  KeyByKeyInput& operator=(const KeyByKeyInput&) = delete;

 private:
  std::uint32_t saved_ = 0;
};

// Removes the last character of text and erases it on screen.
void EraseLastCharacter(std::string& text) {
  text.resize(text.size() - platform::LastCharLength(text));
  WriteChar(8);
  WriteChar(' ');
  WriteChar(8);
}

// The value of a decimal text with an optional leading minus sign, if it fits 32 bits.
bool DecimalValue(std::string_view text, std::int64_t& value) {
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) return false;
  std::int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) return false;
  }
  value = negative ? -v : v;
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

std::string_view Trim(std::string_view text) {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

void AddCatalogueEntry(TCatalogue& catalogue, std::string name, std::string text) {
  std::string upper = platform::UpperCase(name);
  catalogue.Entries.push_back({std::move(name), std::move(text), std::move(upper)});
}

void Write(std::string_view text) { platform::Term().Write(platform::ToUtf8(text)); }

void WriteLine(std::string_view text) {
  Write(text);
  platform::Term().Write("\n");
}

void WriteChar(char c) { platform::Term().Write(std::string_view(&c, 1)); }

void Flush() { platform::Term().Flush(); }

void Beep() { platform::Term().Beep(); }

void PrepareConsole() { platform::Term().Prepare(); }

void RestoreConsole() { platform::Term().Restore(); }

void ClearScreen() { platform::Term().ClearScreen(); }

std::string Translate(std::string_view key) {
  std::string_view text;
  if (Catalogue) {
    std::string upperKey = platform::UpperCase(key);
    for (const TCatalogueEntry& entry : Catalogue->Entries) {
      if (!entry.Name.empty() && entry.UpperName == upperKey) {
        text = entry.Text;
        break;
      }
    }
  }
  text = Trim(text);
  if (text.empty()) return std::string(kNotTranslated);
  return std::string(text);
}

std::string TranslateLabel(std::string_view key, bool addSpace) {
  std::string label = Translate(key);
  if (label.back() != ':') label.push_back(':');
  if (addSpace) label.push_back(' ');
  return label;
}

void WaitForEnter(bool blankLineFirst, std::string_view message) {
  if (blankLineFirst) WriteLine();
  if (!message.empty()) WriteLine(message);
  WriteLine(Translate("PressEnterToContinue"));
  ReadWholeLine();
}

void PrintHeader() {
  WriteLine(FormatWithOneText(Translate("ConfigurationTitle"), kProductLine));
  WriteLine(kNoticeOfRights);
  WriteLine();
}

void PrintTitle(std::string_view text, bool topRule) {
  std::string rule(CharCount(text) + 2, '-');
  if (topRule) WriteLine(rule);
  Write(" ");
  WriteLine(text);
  WriteLine(rule);
}

void AddMenuItem(TMenuItems& items, std::string_view key, std::string_view textKey) {
  std::string item(key);
  item.push_back('=');
  item += Translate(textKey);
  items.push_back(std::move(item));
}

std::string AskMenuChoice(std::string_view titleKey, const TMenuItems& items, bool withHeader) {
  const std::string title = platform::UpperCase(Translate(titleKey));
  const std::string label = TranslateLabel("Selection", true);
  for (;;) {
    ClearScreen();
    if (withHeader) PrintHeader();
    PrintTitle(title, !withHeader);
    for (const std::string& item : items) {
      std::size_t eq = item.find('=');
      std::string_view key = std::string_view(item).substr(0, eq);
      std::string_view text = eq == std::string::npos ? std::string_view() : std::string_view(item).substr(eq + 1);
      Write(" ");
      Write(key);
      Write(" - ");
      WriteLine(text);
    }
    WriteLine();
    Write(label);
    std::string line = ReadWholeLine();
    for (const std::string& item : items) {
      std::string_view key = std::string_view(item).substr(0, item.find('='));
      if (platform::SameText(key, line)) return line;
    }
    Beep();
  }
}

bool AskYesNo(std::string_view questionKey, bool blankLineFirst) {
  const std::string yes = Translate("ShortYes");
  const std::string no = Translate("ShortNo");
  const std::string upperYes = platform::UpperCase(yes);
  const std::string upperNo = platform::UpperCase(no);
  const std::string prompt = Translate(questionKey) + " [" + yes + "/" + no + "]: ";
  if (blankLineFirst) WriteLine();
  for (;;) {
    Write(prompt);
    std::string answer = platform::UpperCase(ReadWholeLine());
    if (answer == upperYes) return true;
    if (answer == upperNo) return false;
    Beep();
  }
}

void DisableLineInput(std::uint32_t& savedMode) {
  savedMode = platform::Term().GetInputMode();
  platform::Term().SetInputMode(savedMode & ~platform::kLineInput);
}

void RestoreInputMode(std::uint32_t savedMode) { platform::Term().SetInputMode(savedMode); }

bool ReadMaskedLine(std::string& text, char abortKey) {
  text.clear();
  KeyByKeyInput keyByKey;
  for (;;) {
    int c = ReadKeyByte();
    if (c == platform::kKeyBackspace) {
      if (!text.empty()) EraseLastCharacter(text);
    } else if (c == platform::kKeyEnter) {
      if (!text.empty()) break;
      Beep();
    } else if (abortKey != 0 && c == static_cast<unsigned char>(abortKey)) {
      text.clear();
      WriteLine();
      return false;
    } else {
      if (platform::StartsCharacter(static_cast<unsigned char>(c))) WriteChar('*');
      text.push_back(static_cast<char>(c));
    }
  }
  WriteLine();
  return true;
}

void AskNewPassword(std::string_view labelKey, std::string& password, std::int32_t minLength,
                    bool blankLineFirst) {
  const std::string label = TranslateLabel(labelKey, true);
  const std::string tooShort = Translate("PasswordTooShort");
  const std::string wrong = Translate("PasswordWrong");
  const std::string confirm = TranslateLabel("ConfirmPassword", true);
  for (;;) {
    if (blankLineFirst) WriteLine();
    Write(label);
    std::string first;
    ReadMaskedLine(first, 0);
    if (minLength != -1 && CharCount(first) < static_cast<std::size_t>(minLength < 0 ? 0 : minLength)) {
      Beep();
      WriteLine(tooShort);
      continue;
    }
    Write(confirm);
    std::string second;
    ReadMaskedLine(second, 0);
    if (second == first) {
      password = first;
      return;
    }
    Beep();
    WriteLine(wrong);
  }
}

std::int32_t AskNumber(std::string_view label, bool blankLineFirst, std::int32_t current) {
  if (blankLineFirst) WriteLine();
  std::string text = current == -1 ? std::string() : std::to_string(current);
  Write(label);
  Write(text);
  KeyByKeyInput keyByKey;
  std::int64_t value = 0;
  for (;;) {
    int c = ReadKeyByte();
    if (c == platform::kKeyBackspace) {
      if (!text.empty()) EraseLastCharacter(text);
    } else if (c == platform::kKeyEnter) {
      if (!text.empty() && DecimalValue(text, value)) break;
      Beep();
    } else if (c >= '0' && c <= '9' && DecimalValue(text + static_cast<char>(c), value)) {
      text.push_back(static_cast<char>(c));
      WriteChar(static_cast<char>(c));
    } else {
      Beep();  // not a digit, or a digit that would take the number past 32 bits
    }
  }
  WriteLine();
  return static_cast<std::int32_t>(value);
}

std::string AskText(std::string_view label, std::string_view current) {
  std::string text(current);
  Write(label);
  Write(text);
  KeyByKeyInput keyByKey;
  for (;;) {
    int c = ReadKeyByte();
    if (c == platform::kKeyBackspace) {
      if (!text.empty()) EraseLastCharacter(text);
    } else if (c == platform::kKeyEnter) {
      if (!text.empty()) break;
      Beep();
    } else if (c < 32 || c == 127) {
      Beep();  // control bytes would make config.cfg unreadable
    } else {
      text.push_back(static_cast<char>(c));
      WriteChar(static_cast<char>(c));
    }
  }
  WriteLine();
  return text;
}

}  // namespace console
