#pragma once
// The string convention of the board-information library: the caller passes a buffer of a
// fixed size filled with blanks; the library writes at most size-1 characters and a NUL,
// and leaves the rest of the buffer as it was.
#include <optional>
#include <string>
#include <string_view>

namespace veltrix::platform {

// Writes text (cut to size-1 characters) and a terminating NUL at the start of buffer.
// Control characters become '?', so the text never holds an early NUL or a line break.
void WriteLibraryString(char* buffer, int size, std::string_view text);

// The text before the first NUL within size characters; nullopt when there is no NUL.
std::optional<std::string> ReadLibraryString(const char* buffer, int size);

}  // namespace veltrix::platform
