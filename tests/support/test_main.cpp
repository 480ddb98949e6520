// Entry point of every unit-test executable: the tests run under a UTF-8 locale.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/text_encoding.h"

int main(int argc, char** argv) {
  setenv("LC_ALL", "C.UTF-8", 1);
  platform::InitLocale();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
