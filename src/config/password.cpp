// Placeholder until the stored-password form lands.
#include "config/uConstants.h"

std::string EncodePassword(std::string_view plain) { return std::string(plain); }
std::string DecodePassword(std::string_view stored) { return std::string(stored); }
