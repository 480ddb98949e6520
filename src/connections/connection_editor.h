#pragma once
// Adding, changing and deleting UPS connections.

#include <cstdint>
#include <string_view>

#include "config/uConstants.h"

namespace connections {

void AddConnection();
void EditConnectionMenu();
void DeleteConnectionMenu();
// The connection form; the numbered choices start empty when adding.
void EditConnectionFields(THost& host, bool adding);
// A choice of 1 to 3; the current code + 1 is offered unless adding.
std::int32_t AskOneOfThree(std::string_view prompt, std::int32_t currentCode, bool adding);

}  // namespace connections
