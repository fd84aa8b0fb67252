#pragma once
// The data log "Vtx.log" in the program folder: one quoted text record per line (a double
// quote, the text, a double quote, CR LF), always appended, the file opened and closed for
// every record (through Program::Files(), which writes a record whole or not at all). See
// docs/data-log.md for the record layouts.
#include <array>
#include <cstdint>
#include <string>

namespace veltrix::monitor {

class Program;

inline constexpr const char* kLogFileName = "Vtx.log";

// Full path of the log: the log folder (the program folder, or the state folder of an
// installed program) joined with "Vtx.log".
std::string LogFilePath(Program& program);

// The shared append routine: writes `text` as one quoted record. A failed write loses the
// record; the first failure of a run of failures is reported with one message box, and a
// later successful write re-arms the report. Returns whether the record was written.
bool AppendLogRecord(Program& program, const std::string& text);

// The heading pair for the items enabled now.
void WriteLogTitle(Program& program);
// One data record from the values the main window shows now.
void WriteLogData(Program& program);
// "Clear Log": delete the file (when it exists) and start it again with an empty record, then
// "Log Deleted !". A log that cannot be deleted is left as it is and the user is told so.
void ClearLog(Program& program);
// Program exit with logging on: an empty record.
void TouchLogFile(Program& program);

// Pieces of the record layout, exposed for checks.
std::string LogTitleLine(const std::array<std::uint8_t, 16>& enabled);
std::string LogRuleLine(const std::array<std::uint8_t, 16>& enabled);
// "0.00" style formatting of a shown number: at least `intDigits` integer digits, exactly
// `decimals` decimals, the system's decimal separator. A text that is not a number comes
// back unchanged.
std::string FormatLogNumber(const std::string& shown, int intDigits, int decimals, char decimalSeparator);

}  // namespace veltrix::monitor
