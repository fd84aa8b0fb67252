#pragma once
// Starting another program from a command line as the Windows shell would receive it.
#include <string>
#include <string_view>
#include <vector>

namespace veltrix::platform {

// Splits on blanks and tabs; double quotes group blanks into one argument and are removed
// ("" gives an empty argument). Backslashes are ordinary characters (Windows paths).
// An unterminated quote runs to the end of the line.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Starts the program (searched on PATH when the name has no slash, never through a shell)
// without waiting for it, in a session of its own; false when the line is empty or the program
// cannot be started. The child is reaped in the background so no zombie is left behind.
bool SpawnDetached(std::string_view commandLine);

// Runs the program and waits; its exit status, or -1 when it could not be started or did
// not exit normally.
int SpawnAndWait(std::string_view commandLine);

}  // namespace veltrix::platform
