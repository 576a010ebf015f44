// Whole-file reads and crash-safe whole-file replacement.
#pragma once

#include <string>

namespace platform {

enum class ReadResult { Ok, Missing, Unreadable };

// Paths are UTF-8.
ReadResult ReadWholeFile(const std::string &path, std::string &bytes);

// Writes the bytes to a new file beside the target, flushes it to disk and
// then puts it in the target's place in one step, so the target is always
// either the old file or the new one. Refuses a read-only target.
bool ReplaceFileContents(const std::string &path, const std::string &bytes);

} // namespace platform
