// The stored form of passwords in config.cfg: each byte XORed with the high byte of a 16-bit
// running key, written as two upper-case hexadecimal digits. The key advances after each byte,
// fed with the scrambled byte. The client service decodes with the same constants.
#include "config/uConstants.h"

namespace {

constexpr std::uint16_t kStartKey = 0x3A5C;
constexpr std::uint16_t kMultiplier = 0x2E95;
constexpr std::uint16_t kAddend = 0x1F7D;

std::uint16_t NextKey(std::uint16_t key, std::uint8_t scrambled) {
  return static_cast<std::uint16_t>((key + scrambled) * kMultiplier + kAddend);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string EncodePassword(std::string_view plain) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string stored;
  stored.reserve(plain.size() * 2);
  std::uint16_t key = kStartKey;
  for (char byte : plain) {
    auto scrambled = static_cast<std::uint8_t>(static_cast<std::uint8_t>(byte) ^ (key >> 8));
    key = NextKey(key, scrambled);
    stored.push_back(kDigits[scrambled >> 4]);
    stored.push_back(kDigits[scrambled & 0x0F]);
  }
  return stored;
}

std::string DecodePassword(std::string_view stored) {
  std::string plain;
  plain.reserve(stored.size() / 2);
  std::uint16_t key = kStartKey;
  // A last single digit is dropped; a pair that is not two hexadecimal digits counts as 00.
  for (std::size_t i = 0; i + 1 < stored.size(); i += 2) {
    int high = HexValue(stored[i]), low = HexValue(stored[i + 1]);
    auto scrambled = static_cast<std::uint8_t>(high < 0 || low < 0 ? 0 : high * 16 + low);
    plain.push_back(static_cast<char>(scrambled ^ (key >> 8)));
    key = NextKey(key, scrambled);
  }
  return plain;
}
