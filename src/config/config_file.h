#pragma once
// config.cfg: the value readers and the load from a given folder, for tests and the fuzzer.

#include <cstdint>
#include <string>
#include <string_view>

namespace config_file {

// A whole signed 32-bit integer: optional leading blanks and sign, then decimal digits, or
// hexadecimal after "$", "x" or "0x", binary after "%", octal after "&". Otherwise fallback.
std::int32_t ParseInteger(std::string_view text, std::int32_t fallback);
// A decimal number, possibly with a fraction or an exponent (true when not zero), or "True" or
// "False" in any letter case. Otherwise fallback.
bool ParseBoolean(std::string_view text, bool fallback);
// The language name of a language file path: its file name without folder and extension.
std::string LanguageNameOf(std::string_view languageFile);

// LoadConfiguration with appDir in place of the executable's folder.
bool LoadConfigurationIn(const std::string& appDir, bool applyDefaults, bool requireHost);
// The document SaveConfiguration writes, as text.
std::string ConfigurationText();

}  // namespace config_file
