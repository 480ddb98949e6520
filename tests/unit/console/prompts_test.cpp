// The prompt primitives, through a scripted terminal.
#include <gtest/gtest.h>

#include "console/console.h"
#include "support/console_fixture.h"

namespace {

using console::AskNumber;

class Prompts : public test::ConsoleFixture {};

TEST_F(Prompts, AskNumberEditsTheCurrentValue) {
  Type("\b\b\b162\r");
  EXPECT_EQ(AskNumber("Port: ", false, 161), 162);
  EXPECT_EQ(TakeOutput(), "Port: 161\b \b\b \b\b \b162\n");
}

}  // namespace
