// The configuration program of the Talvex Shutdown Client. Takes no arguments.

#include "app/program.h"
#include "platform/terminal.h"
#include "platform/text_encoding.h"

int main() {
  platform::InitLocale();
  platform::SetTerm(&platform::StdioTerminal());
  return app::RunProgram();
}
