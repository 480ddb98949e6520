#pragma once
// Replacing a file so that it cannot be lost: the new content goes to a temporary file in the
// same folder, is flushed to disk, and is renamed over the old file in one step.

#include <string>
#include <string_view>

namespace platform {

// Writes content to path atomically. A new file is readable by its owner only; a replaced
// file keeps its permissions. On any failure the temporary file is removed, the old file is
// as it was, and the result is false (also when something other than a file stands at path).
// A symbolic link at path is followed: the file it points to is replaced, the link stays.
bool ReplaceFileAtomically(const std::string& path, std::string_view content);

// The steps of ReplaceFileAtomically, for tests that make one of them fail.
enum class FileStep { None, Create, Write, Sync, Rename };
void FailFileStepForTesting(FileStep step);

}  // namespace platform
