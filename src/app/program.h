#pragma once
// The program body: start-up, main menu, clean-up.

#include <string>

namespace app {

// Runs the whole program on the active terminal; returns the exit status.
int RunProgram();
// Draws the main menu and returns the choice as typed.
std::string ShowMainMenu();
// Restores the console and releases the catalogue.
void CleanUp();

}  // namespace app
