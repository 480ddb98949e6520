#include "platform/terminal.h"

namespace platform {
namespace {
Terminal* activeTerminal = nullptr;
}

Terminal& Term() { return *activeTerminal; }

void SetTerm(Terminal* terminal) { activeTerminal = terminal; }

}  // namespace platform
