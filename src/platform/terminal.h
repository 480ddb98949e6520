#pragma once
// The terminal as the program sees it: whole lines, single keys, output bytes, the bell and
// the screen clear. The real one works on the process's standard input and output; tests put a
// scripted one in its place.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Input-mode bit: whole-line input with echo. Cleared, input arrives key by key without echo.
constexpr std::uint32_t kLineInput = 0x0002;

// Key codes the key-by-key reader delivers, whatever the terminal sends for them.
constexpr int kKeyEnter = 13;
constexpr int kKeyBackspace = 8;
constexpr int kEndOfInput = -1;

struct Terminal {
  virtual ~Terminal() = default;

  // One whole line without its line end; false at the end of input.
  virtual bool ReadLine(std::string& line) = 0;
  // One byte of key-by-key input (0..255), or kEndOfInput. Enter is kKeyEnter, Backspace
  // kKeyBackspace; the escape sequences of arrow, function and editing keys give nothing.
  virtual int ReadKey() = 0;

  // Bytes as they are, already in the terminal's encoding.
  virtual void Write(std::string_view bytes) = 0;
  virtual void Flush() = 0;
  virtual void Beep() = 0;
  virtual void ClearScreen() = 0;

  virtual std::uint32_t GetInputMode() = 0;
  virtual void SetInputMode(std::uint32_t mode) = 0;

  // Saves the terminal's state and puts it in whole-line mode; Restore puts the saved state
  // back. The saved state is also put back when a signal ends the program.
  virtual void Prepare() = 0;
  virtual void Restore() = 0;
};

// The terminal on the process's standard input and output.
Terminal& StdioTerminal();

// The terminal every prompt works on. Never null once the program or a test has set one.
Terminal& Term();
void SetTerm(Terminal* terminal);

}  // namespace platform
