#pragma once
// The terminal front end: console set-up, text lookup and every prompt primitive.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// A menu's items, in display order, each "key=text".
using TMenuItems = std::vector<std::string>;

// Thrown when standard input ends: the program then ends without saving.
struct InputEnded {};

void PrepareConsole();
void RestoreConsole();
void ClearScreen();

// text without the bytes of value 32 or less (blanks, control characters) at both ends.
std::string_view Trim(std::string_view text);

// The text of key; "Not translated!" when missing or blank.
std::string Translate(std::string_view key);
// Translate(key) with ":" added unless it ends in one, then a space if addSpace.
std::string TranslateLabel(std::string_view key, bool addSpace);

void WaitForEnter(bool blankLineFirst, std::string_view message);
void PrintHeader();
void PrintTitle(std::string_view text, bool topRule);
// Appends "key=Translate(textKey)" to items.
void AddMenuItem(TMenuItems& items, std::string_view key, std::string_view textKey);
std::string AskMenuChoice(std::string_view titleKey, const TMenuItems& items, bool withHeader);
bool AskYesNo(std::string_view questionKey, bool blankLineFirst);
// Masked entry; false when abortKey (0 for none) was typed.
bool ReadMaskedLine(std::string& text, char abortKey);
void AskNewPassword(std::string_view labelKey, std::string& password, std::int32_t minLength,
                    bool blankLineFirst);
// current -1: the entry starts empty.
std::int32_t AskNumber(std::string_view label, bool blankLineFirst, std::int32_t current);
std::string AskText(std::string_view label, std::string_view current);

void DisableLineInput(std::uint32_t& savedMode);
void RestoreInputMode(std::uint32_t savedMode);

// Output. Texts are converted to the terminal's encoding; single characters go as they are.
void Write(std::string_view text);
void WriteLine(std::string_view text = {});
void WriteChar(char c);
void Flush();
// The warning beep.
void Beep();

}  // namespace console
