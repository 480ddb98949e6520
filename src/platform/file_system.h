#pragma once
// The few file-system facts the program needs.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Full path of the running executable (not the current directory); empty if unknown.
std::string ExecutablePath();

// True when a regular file (or a link to one) stands at path; a directory does not count.
bool FileExists(const std::string& path);

// The size in bytes of a regular file, or nothing when there is none.
std::optional<std::uint64_t> FileSize(const std::string& path);

// The whole content of a regular file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace platform
