// libFuzzer target: DecodePassword takes any text; encoding what it gives decodes to the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/uConstants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string plain = DecodePassword(text);
  if (plain.size() != size / 2) std::abort();
  if (DecodePassword(EncodePassword(plain)) != plain) std::abort();
  if (DecodePassword(EncodePassword(text)) != text) std::abort();
  return 0;
}
