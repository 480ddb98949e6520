#pragma once
// The system's 8-bit text encoding is the user's locale's. Texts are held in it; they are
// converted to UTF-8 only on their way to the terminal and into the XML file, and back from
// UTF-8 when read from the XML file or a language file marked as UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Takes the character type of the user's locale (LC_ALL, LC_CTYPE, LANG) for the whole
// process: its encoding and its letter case. Call once at start.
void InitLocale();

// True when the locale's encoding is UTF-8: one character may then span several bytes.
bool LocaleIsUtf8();

// Locale text to UTF-8; unchanged where the locale is UTF-8 or plain ASCII.
// A byte the locale cannot map becomes "?".
std::string ToUtf8(std::string_view text);
// UTF-8 to locale text; unchanged where the locale is UTF-8. A character the locale has no
// byte for becomes "?".
std::string FromUtf8(std::string_view text);

// Upper case by the locale's rules, multi-byte letters included ("Menü" gives "MENÜ").
std::string UpperCase(std::string_view text);
// Equal when compared without regard to letter case, by the locale's rules.
bool SameText(std::string_view a, std::string_view b);

// Number of bytes of the last character of text (at least 1 for a non-empty text).
std::size_t LastCharLength(std::string_view text);
// True for a byte that starts a character (every byte, unless the locale is UTF-8).
bool StartsCharacter(unsigned char byte);

}  // namespace platform
