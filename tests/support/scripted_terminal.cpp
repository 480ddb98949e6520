#include "support/scripted_terminal.h"

namespace test {

bool ScriptedTerminal::ReadLine(std::string& line) {
  line.clear();
  if (consumed >= input.size()) return false;
  std::size_t end = input.find('\n', consumed);
  if (end == std::string::npos) {
    line = input.substr(consumed);
    consumed = input.size();
  } else {
    line = input.substr(consumed, end - consumed);
    consumed = end + 1;
  }
  return true;
}

int ScriptedTerminal::ReadKey() {
  if (consumed >= input.size()) return platform::kEndOfInput;
  unsigned char c = static_cast<unsigned char>(input[consumed++]);
  if (c == '\r' || c == '\n') return platform::kKeyEnter;
  if (c == 127) return platform::kKeyBackspace;
  return c;
}

void ScriptedTerminal::Beep() {
  ++beeps;
  output += "<BEEP>";
}

void ScriptedTerminal::ClearScreen() {
  ++clears;
  output += "<CLS>";
}

void ScriptedTerminal::SetInputMode(std::uint32_t newMode) {
  mode = newMode;
  modeChanges.push_back(newMode);
}

}  // namespace test
