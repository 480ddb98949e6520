#include "platform/text_encoding.h"

#include <iconv.h>
#include <langinfo.h>

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <memory>

namespace platform {
namespace {

enum class Codeset { Utf8, Ascii, Other };
Codeset codeset = Codeset::Ascii;
std::string codesetName = "ANSI_X3.4-1968";

bool IsAsciiName(const std::string& name) {
  return name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII" || name.empty();
}

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenIconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return IconvHandle(cd);
}

// Converts text; a sequence that cannot be converted is replaced by "?" and skipped
// (one byte, or one whole UTF-8 character when reading UTF-8).
std::string Convert(std::string_view text, const char* to, const char* from, bool fromUtf8) {
  IconvHandle cd = OpenIconv(to, from);
  if (!cd) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t rc = iconv(static_cast<iconv_t>(cd.get()), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.push_back('?');
      std::size_t skip = 1;
      if (fromUtf8) {
        while (skip < inLeft && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) ++skip;
      }
      in += skip;
      inLeft -= skip;
      iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

void InitLocale() {
  // Only the character type matters here: the encoding and the case of letters.
  std::setlocale(LC_CTYPE, "");
  codesetName = nl_langinfo(CODESET);
  if (codesetName == "UTF-8" || codesetName == "utf8")
    codeset = Codeset::Utf8;
  else if (IsAsciiName(codesetName))
    codeset = Codeset::Ascii;
  else
    codeset = Codeset::Other;
}

bool LocaleIsUtf8() { return codeset == Codeset::Utf8; }

std::string ToUtf8(std::string_view text) {
  if (codeset != Codeset::Other || IsAscii(text)) return std::string(text);
  return Convert(text, "UTF-8", codesetName.c_str(), false);
}

std::string FromUtf8(std::string_view text) {
  if (codeset == Codeset::Utf8 || IsAscii(text)) return std::string(text);
  if (codeset == Codeset::Ascii) return Convert(text, "ASCII", "UTF-8", true);
  return Convert(text, codesetName.c_str(), "UTF-8", true);
}

std::string UpperCase(std::string_view text) {
  if (codeset != Codeset::Utf8) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
  }
  std::string out;
  out.reserve(text.size());
  std::mbstate_t in{};
  std::size_t pos = 0;
  while (pos < text.size()) {
    wchar_t wc = 0;
    std::size_t n = std::mbrtowc(&wc, text.data() + pos, text.size() - pos, &in);
    if (n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) {
      // Not a valid character here: keep the byte as it is.
      out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos]))));
      in = std::mbstate_t{};
      ++pos;
      continue;
    }
    if (n == 0) n = 1;  // an embedded NUL byte
    char bytes[MB_LEN_MAX];
    std::mbstate_t outState{};
    std::size_t m = std::wcrtomb(bytes, static_cast<wchar_t>(std::towupper(static_cast<wint_t>(wc))), &outState);
    if (m == static_cast<std::size_t>(-1))
      out.append(text.data() + pos, n);
    else
      out.append(bytes, m);
    pos += n;
  }
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0) return true;
  return UpperCase(a) == UpperCase(b);
}

std::size_t LastCharLength(std::string_view text) {
  if (text.empty()) return 0;
  if (codeset != Codeset::Utf8) return 1;
  std::size_t n = 1;
  // Step back over continuation bytes, at most three, to the byte that starts the character.
  while (n < text.size() && n < 4 &&
         (static_cast<unsigned char>(text[text.size() - n]) & 0xC0) == 0x80)
    ++n;
  unsigned char lead = static_cast<unsigned char>(text[text.size() - n]);
  if ((lead & 0xC0) == 0x80 || lead < 0xC0) return 1;  // stray continuation bytes: one at a time
  return n;
}

bool StartsCharacter(unsigned char byte) {
  return codeset != Codeset::Utf8 || (byte & 0xC0) != 0x80;
}

}  // namespace platform
