#pragma once
// The vanquil program's work on one settings file: the checks that keep it to that file, the
// clean-up itself, and the one message when something could not be removed.
#include <filesystem>
#include <ostream>

#include "platform/system/system.h"

namespace veltrix::app {

// Cleans the settings file and starts the registered uninstaller through `system`. Nothing is
// printed when all went well (a missing file is nothing to clean). Returns the exit status:
// 0, or 1 after one message on `err` when the file is a symbolic link or not a regular file
// (then nothing is touched), or when something that is ours could not be removed (a file or
// folder that cannot be written, a full disk, a damaged or unreadable file).
int CleanUpSettings(const std::filesystem::path& file, platform::System& system, std::ostream& err);

}  // namespace veltrix::app
