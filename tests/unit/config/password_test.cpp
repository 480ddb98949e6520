// The stored-password form of config.cfg.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "config/uConstants.h"

namespace {

// Worked by hand, key = 0x3A5C at the start:
//  "A": c = 0x41 ^ 0x3A = 0x7B; key = ((0x3A5C + 0x7B) * 0x2E95 + 0x1F7D) mod 65536
//       = (15063 * 11925 + 8061) mod 65536 = (179626275 mod 65536 = 57635) + 8061 - 65536 = 0x00A0
//  "AB": second byte c = 0x42 ^ 0x00 = 0x42
//  "ABC": key = ((0x00A0 + 0x42) * 0x2E95 + 0x1F7D) mod 65536 = (226 * 11925 + 8061) mod 65536
//       = 2703111 - 41 * 65536 = 16135 = 0x3F07; third byte c = 0x43 ^ 0x3F = 0x7C
//  The scrambled byte, not the plain one, feeds the key: with the plain 0x41 the second key
//  would be ((0x3A5C + 0x41) * 0x2E95 + 0x1F7D) mod 65536 = (15005 * 11925 + 8061) mod 65536
//  = 21345 + 8061 = 29406 = 0x72DE, and "AB" would be stored as "7B30" (0x42 ^ 0x72 = 0x30).
TEST(StoredPassword, HandWorkedVectors) {
  EXPECT_EQ(EncodePassword(""), "");
  EXPECT_EQ(EncodePassword("A"), "7B");
  EXPECT_EQ(EncodePassword("AB"), "7B42");
  EXPECT_EQ(EncodePassword("ABC"), "7B427C");
  EXPECT_EQ(DecodePassword("7B42"), "AB");
  EXPECT_EQ(DecodePassword("7B427C"), "ABC");
  EXPECT_EQ(DecodePassword(""), "");
}

TEST(StoredPassword, DecodingIsLenient) {
  EXPECT_EQ(DecodePassword("7b42"), "AB");   // lower-case digits
  EXPECT_EQ(DecodePassword("7B42F"), "AB");  // a trailing odd digit is dropped
  EXPECT_EQ(DecodePassword("7"), "");
  // A pair that is not two hexadecimal digits counts as 00: the byte is 0x00 ^ 0x3A = ':',
  // and the key goes on from the 00, so the next pair decodes as after "00".
  EXPECT_EQ(DecodePassword("zz42"), DecodePassword("0042"));
  EXPECT_EQ(DecodePassword("zz42")[0], ':');
  EXPECT_EQ(DecodePassword("7G42"), DecodePassword("0042"));
}

TEST(StoredPassword, EveryByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    std::string plain(1, static_cast<char>(b));
    std::string stored = EncodePassword(plain);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(DecodePassword(stored), plain) << b;
  }
}

TEST(StoredPassword, RandomTextsRoundTripAndSharePrefixes) {
  std::mt19937 random(20261210);
  for (int i = 0; i < 500; ++i) {
    std::string plain(random() % 64, '\0');
    for (char& c : plain) c = static_cast<char>(random() % 256);
    std::string stored = EncodePassword(plain);
    ASSERT_EQ(stored.size(), plain.size() * 2);
    EXPECT_EQ(DecodePassword(stored), plain);
    // Each stored pair depends on every byte before it, and only on those.
    std::string longer = EncodePassword(plain + "x");
    EXPECT_EQ(longer.substr(0, stored.size()), stored);
  }
  EXPECT_NE(EncodePassword("ab").substr(2), EncodePassword("bb").substr(2));
}

}  // namespace
