#include "monitor/startup/about_text.h"

#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

// A readme is a few kilobytes; anything far larger is not one and is not shown.
constexpr std::size_t kMaxAboutFileBytes = std::size_t{1024} * 1024;

}  // namespace

std::string_view AboutFileName(bool fanControlSupported, std::uint32_t languageId) {
  if (fanControlSupported) {
    switch (languageId) {
      case kLcidTraditionalChinese:
        return "\\Readme(Chinese).txt";
      case kLcidSimplifiedChinese:
        return "\\Readme(China).txt";
      default:
        return "\\Readme(English).txt";
    }
  }
  switch (languageId) {
    case kLcidTraditionalChinese:
      return "\\VtxIII_Readme(Chinese).txt";
    case kLcidSimplifiedChinese:
      return "\\VtxIII_Readme(China).txt";
    default:
      return "\\VtxIII_Readme(English).txt";
  }
}

std::optional<std::string> ReadAboutFile(platform::Files& files, const std::string& path) {
  // The program may run as root: the platform reads only a plain file of a sensible size,
  // never what a symbolic link in the program folder points at.
  const std::optional<std::string> bytes = files.ReadTextFile(path, kMaxAboutFileBytes, nullptr);
  if (!bytes) return std::nullopt;

  // Editors on Windows put a byte-order mark before UTF-8 text; it is not part of the text.
  std::string_view rest(*bytes);
  if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);

  std::string text;
  text.reserve(rest.size());
  bool first = true;
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of("\r\n");
    if (!first) text += "\r\n";
    first = false;
    text.append(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
    rest.remove_prefix(end + (crlf ? 2 : 1));
  }
  return text;
}

void LoadAboutText(Program& program) {
  monitor::frmdoctor& f = program.frmdoctor();
  // The names are written with the Windows separator; the folder is a path of this system.
  const std::string_view name = AboutFileName(f.CheckSupportFANControl(), program.G().LanguageId).substr(1);
  const std::string path = program.Files().PathInFolder(program.Sys().ProgramFolder(), name);
  f.AboutText.Text = ReadAboutFile(program.Files(), path).value_or(std::string());
}

}  // namespace veltrix::monitor
