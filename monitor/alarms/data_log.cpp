// The data log: heading pair, data records, empty records and Clear Log.
#include "monitor/alarms/data_log.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "monitor/alarms/alarm_windows.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

// The fixed lead of the column line: "Model", "Date" and "Time" over their fields.
constexpr std::string_view kTitleLead = "Model                 Date        Time    ";
constexpr std::size_t kLeadWidth = 42;
constexpr std::size_t kModelWidth = 20;

struct LogColumn {
  int item;
  std::string_view heading;  // exact, trailing blanks included
  int ruleWidth;             // hyphens under it
};
// Item 1 (+2.5V) and item 15 (chassis) have no column. Heading, rule and data widths do not
// line up exactly; these widths are the file format readers already know.
constexpr std::array<LogColumn, 14> kColumns{{
    {0, "VcoreA  ", 8},
    {2, "+3.3V  ", 7},
    {3, "+5V    ", 7},
    {4, "+12V    ", 7},
    {5, "-12V  ", 7},
    {6, "-5V    ", 7},
    {7, "5Vsb   ", 7},
    {8, "VBat  ", 7},
    {9, "CPU-Fan1   ", 10},
    {10, "Sys-Fan2    ", 10},
    {11, "Sys-Fan3  ", 10},
    {12, "Sys Temp  ", 7},
    {13, "CPU Temp  ", 7},
    {14, "CPU Kernal Temp ", 24},
}};

// Number formats and trailing blanks of the voltage and temperature fields.
struct NumberField {
  int intDigits;
  int decimals;
  int blanks;
};
constexpr std::array<NumberField, kVoltageCount> kVoltageFields{
    {{1, 2, 4}, {1, 2, 0}, {1, 2, 3}, {1, 2, 3}, {2, 2, 2}, {2, 2, 1}, {1, 2, 2}, {1, 2, 3}, {1, 2, 3}}};
constexpr std::array<int, kTempCount> kTempBlanks{6, 9, 8};

std::string TwoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

std::string Blanks(int count) {
  return std::string(static_cast<std::size_t>(std::max(count, 0)), ' ');
}

std::optional<double> ParseShownNumber(std::string text, char decimalSeparator) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return std::nullopt;
  text.erase(0, start);
  if (text[0] == '+') text.erase(0, 1);
  for (char& c : text) {
    if (c == decimalSeparator) c = '.';
  }
  double value = 0.0;
  const auto result =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

frmdoctor* MainWindow(Program& program) {
  return static_cast<frmdoctor*>(program.MainWindowIfCreated());
}

std::string QuotedRecord(const std::string& text) {
  return "\"" + text + "\"\r\n";
}

}  // namespace

std::string LogFilePath(Program& program) {
  // The platform's own separator: on Windows this is the folder, "\" and the name.
  return program.Files().PathInFolder(program.Sys().LogFolder(), kLogFileName);
}

bool AppendLogRecord(Program& program, const std::string& text) {
  const std::string path = LogFilePath(program);
  std::string reason;
  bool& reported = LogFailureReported(program);
  if (program.Files().AppendRecord(path, QuotedRecord(text), &reason)) {
    reported = false;  // a later failure is news again
    return true;
  }
  // The record is lost. Say so once, not on every tick: monitoring goes on regardless.
  if (!reported) {
    reported = true;
    program.Sys().MsgBox("Cannot write the log file " + path + " (" + reason +
                             "). Sampling data is not saved until the file can be written again.",
                         platform::vbOKOnly | platform::vbExclamation, "Warning");
  }
  return false;
}

std::string LogTitleLine(const std::array<std::uint8_t, 16>& enabled) {
  std::string line(kTitleLead);
  for (const LogColumn& column : kColumns) {
    if (enabled[static_cast<std::size_t>(column.item)] == 1) line += column.heading;
  }
  return line;
}

std::string LogRuleLine(const std::array<std::uint8_t, 16>& enabled) {
  std::string line(kLeadWidth, '-');
  for (const LogColumn& column : kColumns) {
    if (enabled[static_cast<std::size_t>(column.item)] == 1)
      line += std::string(static_cast<std::size_t>(column.ruleWidth), '-');
  }
  return line;
}

std::string FormatLogNumber(const std::string& shown, int intDigits, int decimals, char decimalSeparator) {
  const std::optional<double> value = ParseShownNumber(shown, decimalSeparator);
  if (!value) return shown;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(*value));
  std::string digits(buffer);
  const std::size_t point = digits.find('.');
  const std::size_t intLength = point == std::string::npos ? digits.size() : point;
  if (intLength < static_cast<std::size_t>(intDigits))
    digits.insert(0, static_cast<std::size_t>(intDigits) - intLength, '0');
  if (point != std::string::npos) digits[digits.find('.')] = decimalSeparator;
  const bool zero = digits.find_first_not_of(std::string("0") + decimalSeparator) == std::string::npos;
  return (*value < 0 && !zero ? "-" : "") + digits;
}

void WriteLogTitle(Program& program) {
  frmdoctor* main = MainWindow(program);
  if (main == nullptr) return;
  AppendLogRecord(program, LogTitleLine(main->WEnable));
  AppendLogRecord(program, LogRuleLine(main->WEnable));
}

void WriteLogData(Program& program) {
  frmdoctor* main = MainWindow(program);
  if (main == nullptr) return;
  platform::System& sys = program.Sys();
  const char separator = sys.DecimalSeparator();

  // The board as the information page names it.
  std::string record = main->lblModelName_.Caption;
  if (record.size() < kModelWidth) record += Blanks(static_cast<int>(kModelWidth - record.size()));

  // Date and time are asked for separately, date first. The seconds follow a full stop.
  const platform::LocalTime day = sys.Now();
  record += std::to_string(day.year) + "." + TwoDigits(day.month) + "." + TwoDigits(day.day) + "  ";
  const platform::LocalTime time = sys.Now();
  record += TwoDigits(time.hour) + ":" + TwoDigits(time.minute) + "." + TwoDigits(time.second) + "  ";

  for (int i = 0; i < kVoltageCount; ++i) {
    if (i == 1 || main->WEnable[i] != 1) continue;
    const NumberField f = kVoltageFields[static_cast<std::size_t>(i)];
    record +=
        FormatLogNumber(main->lblStatusV[i].Caption, f.intDigits, f.decimals, separator) + Blanks(f.blanks);
  }
  for (int j = 0; j < kFanCount; ++j) {
    if (main->WEnable[kFirstFanItem + j] != 1) continue;
    const std::string shown = main->lblFanSpeed[j].Caption;
    const int room = 10 - static_cast<int>(shown.size());
    record += shown + Blanks(j == 1 ? 2 * room : room);
  }
  for (int k = 0; k < kTempCount; ++k) {
    if (main->WEnable[kFirstTempItem + k] != 1) continue;
    record += FormatLogNumber(main->lblStatusT[k].Caption, 2, 1, separator) +
              Blanks(kTempBlanks[static_cast<std::size_t>(k)]);
  }
  AppendLogRecord(program, record);
}

void ClearLog(Program& program) {
  // No log is as good as a deleted one. A log that stays (a folder that is not writable) is
  // said to stay: "Log Deleted !" would tell the user their old records are gone.
  const std::string path = LogFilePath(program);
  platform::Files& files = program.Files();
  if (files.FileExists(path)) {
    if (!files.RemoveFile(path, nullptr)) {
      program.Sys().MsgBox("The log " + path + " could not be deleted; it is unchanged.",
                           platform::vbOKOnly | platform::vbExclamation, "Clear");
      return;
    }
    files.AppendRecord(path, QuotedRecord(""), nullptr);  // the file starts again; its failure loses nothing
  }
  program.Sys().MsgBox("Log Deleted !", platform::vbOKOnly, "Clear");
}

void TouchLogFile(Program& program) {
  frmdoctor* main = MainWindow(program);
  if (main == nullptr || main->Check5.Value != 1) return;
  AppendLogRecord(program, "");
}

}  // namespace veltrix::monitor
