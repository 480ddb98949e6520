// The terminal on standard input and output. Whole-line mode is the terminal's canonical mode
// with echo; key-by-key mode has canonical input and echo off, signals on, one byte at a time.
// When standard input is not a terminal, everything works on plain bytes and no terminal call
// is made.

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "platform/terminal.h"

namespace platform {
namespace {

constexpr int kEscape = 27;
// How long a byte after Escape may take to count as part of a key's escape sequence.
constexpr int kEscapeSequenceWaitMs = 25;

// State the signal handlers read: plain data, set before the handlers are installed.
struct termios savedState {};
struct termios currentState {};
volatile sig_atomic_t stateSaved = 0;

void RestoreSavedState() {
  if (stateSaved) ::tcsetattr(STDIN_FILENO, TCSANOW, &savedState);
}

// Restores the terminal, then lets the signal end the process as it would have.
void OnTerminatingSignal(int sig) {
  RestoreSavedState();
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

// Ctrl+Z: give the shell its terminal back while stopped, take our mode again on return.
void OnStopSignal(int sig) {
  int savedErrno = errno;
  RestoreSavedState();
  ::signal(sig, SIG_DFL);
  ::raise(sig);
  ::signal(sig, OnStopSignal);
  if (stateSaved) ::tcsetattr(STDIN_FILENO, TCSANOW, &currentState);
  errno = savedErrno;
}

void InstallSignalHandlers() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    struct sigaction current {};
    // A signal ignored from the start (as under nohup) stays ignored.
    if (::sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnTerminatingSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
  }
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigemptyset(&stop.sa_mask);
  ::sigaction(SIGTSTP, &stop, nullptr);
}

class StdioTerminalImpl final : public Terminal {
 public:
  bool ReadLine(std::string& line) override {
    Flush();
    line.clear();
    for (;;) {
      int c = NextByte();
      if (c < 0) return !line.empty();
      if (c == '\n') {
        if (line.empty() && afterCarriageReturn_) {  // the LF of a CR LF that ended a key entry
          afterCarriageReturn_ = false;
          continue;
        }
        break;
      }
      afterCarriageReturn_ = false;
      line.push_back(static_cast<char>(c));
    }
    afterCarriageReturn_ = false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }

  int ReadKey() override {
    Flush();
    for (;;) {
      int c = NextByte();
      if (c < 0) return kEndOfInput;
      bool followsCarriageReturn = afterCarriageReturn_;
      afterCarriageReturn_ = false;
      if (c == '\r') {
        afterCarriageReturn_ = true;
        return kKeyEnter;
      }
      if (c == '\n') {
        if (followsCarriageReturn) continue;  // CR LF is one Enter
        return kKeyEnter;
      }
      if (c == 127 || c == kKeyBackspace || (isTty_ && c == eraseChar_ && c != 0)) return kKeyBackspace;
      if (c == kEscape) {
        if (SkipEscapeSequence()) continue;
        return kEscape;
      }
      return c;
    }
  }

  void Write(std::string_view bytes) override { output_.append(bytes); }

  void Flush() override {
    std::size_t done = 0;
    while (done < output_.size()) {
      ssize_t n = ::write(STDOUT_FILENO, output_.data() + done, output_.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        break;  // nowhere to write to: the output is dropped
      }
      done += static_cast<std::size_t>(n);
    }
    output_.clear();
  }

  void Beep() override { output_.push_back('\a'); }

  void ClearScreen() override { output_.append("\x1b[H\x1b[2J\x1b[3J"); }

  std::uint32_t GetInputMode() override { return mode_; }

  void SetInputMode(std::uint32_t mode) override {
    mode_ = mode;
    if (!isTty_) return;
    struct termios state {};
    if (::tcgetattr(STDIN_FILENO, &state) != 0) return;
    if (mode & kLineInput) {
      state.c_lflag |= ICANON | ECHO;
    } else {
      state.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
      state.c_cc[VMIN] = 1;
      state.c_cc[VTIME] = 0;
    }
    state.c_lflag |= ISIG;
    Flush();
    // TCSANOW, not TCSAFLUSH: keys typed ahead stay for the next read.
    ::tcsetattr(STDIN_FILENO, TCSANOW, &state);
    currentState = state;
  }

  void Prepare() override {
    isTty_ = ::isatty(STDIN_FILENO) == 1;
    if (isTty_ && ::tcgetattr(STDIN_FILENO, &savedState) == 0) {
      currentState = savedState;
      eraseChar_ = savedState.c_cc[VERASE];
      stateSaved = 1;
      InstallSignalHandlers();
    } else {
      isTty_ = false;
    }
    SetInputMode(mode_);
  }

  void Restore() override {
    Flush();
    RestoreSavedState();
  }

 private:
  // The next input byte, or -1 at the end of input.
  int NextByte() {
    if (pos_ == buffer_.size() && !Fill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_++]);
  }

  bool Fill() {
    buffer_.clear();
    pos_ = 0;
    char chunk[4096];
    for (;;) {
      ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;  // end of input, or the terminal is gone
      buffer_.assign(chunk, static_cast<std::size_t>(n));
      return true;
    }
  }

  // True when a byte arrives within the escape-sequence wait.
  bool ByteSoon() {
    if (pos_ < buffer_.size()) return true;
    struct pollfd fds {STDIN_FILENO, POLLIN, 0};
    int rc;
    do rc = ::poll(&fds, 1, kEscapeSequenceWaitMs);
    while (rc < 0 && errno == EINTR);
    return rc > 0;
  }

  // After an Escape byte: swallows the rest of a key's sequence (ESC [ ... final, ESC O x).
  // False when the Escape stands alone; the byte after it, if any, stays unread.
  bool SkipEscapeSequence() {
    if (!ByteSoon()) return false;
    int next = NextByte();
    if (next < 0) return true;
    if (next == '[') {
      for (;;) {  // parameters and intermediates up to the final byte 0x40..0x7E
        if (!ByteSoon()) return true;
        int c = NextByte();
        if (c < 0 || (c >= 0x40 && c <= 0x7E)) return true;
      }
    }
    if (next == 'O') {
      if (ByteSoon()) NextByte();
      return true;
    }
    --pos_;  // not a sequence: leave the byte for the next read
    return false;
  }

  std::string buffer_;
  std::size_t pos_ = 0;
  std::string output_;
  std::uint32_t mode_ = kLineInput;
  bool isTty_ = false;
  bool afterCarriageReturn_ = false;
  int eraseChar_ = 127;
};

}  // namespace

Terminal& StdioTerminal() {
  static StdioTerminalImpl terminal;
  return terminal;
}

}  // namespace platform
