#pragma once
// ModuleAbout: the text of the about page, read once from a readme file in the program folder
// while the main window loads.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrix::platform {
class Files;
}

namespace veltrix::monitor {

class Program;

// The readme file of the about page, with its leading separator: the fan-control boards get
// "\Readme(...).txt", the others "\VtxIII_Readme(...).txt"; "(Chinese)" for 1028, "(China)"
// for 2052, "(English)" for 1033 and any other language.
std::string_view AboutFileName(bool fanControlSupported, std::uint32_t languageId);

// The lines of a text file joined by CR LF: no line break after the last line, whether or not
// the file ends with one. A line ends at CR LF, LF or CR. Nothing when the file is missing,
// is not a regular file (a symbolic link is not followed), is larger than a readme can
// reasonably be, or cannot be read.
std::optional<std::string> ReadAboutFile(platform::Files& files, const std::string& path);

// Fills AboutText of the main window from the readme file of this board and language. A
// missing or unreadable file leaves the box empty; the caller's load goes on.
void LoadAboutText(Program& program);

}  // namespace veltrix::monitor
