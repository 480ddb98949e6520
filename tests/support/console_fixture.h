#pragma once
// A fixture for everything that talks to the operator: a scripted terminal in place of the
// real one, an empty Setup and no catalogue before each test.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "support/scripted_terminal.h"

namespace test {

class ConsoleFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Replaces the catalogue by these (key, text) entries, in order.
  void UseCatalogue(std::initializer_list<std::pair<std::string, std::string>> entries);
  // Loads the shipped language file languages/<name>.lng of the source tree.
  void UseLanguage(const std::string& name);
  // Appends bytes to what the operator types.
  void Type(const std::string& keys) { terminal.input += keys; }
  // Everything shown so far, then forgets it.
  std::string TakeOutput();

  ScriptedTerminal terminal;
};

// The source tree's top folder (from TALVEX_SOURCE_DIR, else the build's).
std::string SourceDir();

}  // namespace test
