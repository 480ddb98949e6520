#pragma once
// A terminal that plays a script of typed bytes and records what the program shows.
// Enter is typed as "\r" or "\n", Backspace as "\b" or "\x7f". In the recorded output a beep
// reads "<BEEP>" and a screen clear "<CLS>".

#include <cstdint>
#include <string>
#include <vector>

#include "platform/terminal.h"

namespace test {

struct ScriptedTerminal final : platform::Terminal {
  std::string input;   // what the operator types, in order
  std::size_t consumed = 0;
  std::string output;  // what the screen received
  int beeps = 0;
  int clears = 0;
  std::vector<std::uint32_t> modeChanges;  // every SetInputMode, in order
  std::uint32_t mode = platform::kLineInput;
  int prepares = 0;
  int restores = 0;

  bool ReadLine(std::string& line) override;
  int ReadKey() override;
  void Write(std::string_view bytes) override { output.append(bytes); }
  void Flush() override {}
  void Beep() override;
  void ClearScreen() override;
  std::uint32_t GetInputMode() override { return mode; }
  void SetInputMode(std::uint32_t newMode) override;
  void Prepare() override { ++prepares; }
  void Restore() override { ++restores; }

  // What is left of the script.
  std::string Unread() const { return input.substr(consumed); }
};

}  // namespace test
