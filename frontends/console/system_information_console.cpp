#include "frontends/console/system_information_console.h"

#include <array>
#include <string>
#include <string_view>

#include "frontends/console/json_text.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::console {
namespace {

struct InfoRow {
  const char* key;
  const forms::Label& caption;
  const forms::Label& value;
};

// "CPU:" and the Chinese tables' "CPU：" both become "CPU".
std::string WithoutColon(std::string caption) {
  constexpr std::string_view kWideColon = "\xEF\xBC\x9A";
  while (!caption.empty() && caption.back() == ' ') caption.pop_back();
  if (caption.ends_with(kWideColon)) {
    caption.resize(caption.size() - kWideColon.size());
  } else if (caption.ends_with(':')) {
    caption.pop_back();
  }
  return caption;
}

std::string WithoutTrailingBlanks(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

void PrintSystemInformation(monitor::frmdoctor& f, std::ostream& out, bool json) {
  const std::array<InfoRow, 10> rows{{
      {"user", f.lblUser, f.lblUser_},
      {"cpu", f.lblCPU, f.lblCPU_},
      {"memory", f.lblMemory, f.lblMemory_},
      {"mainboard", f.lblModelName, f.lblModelName_},
      {"os", f.lblOS, f.lblOS_},
      {"osVersion", f.lblOSVersion, f.lblOSVersion_},
      {"biosVersion", f.lblBIOSVersion, f.lblBIOSVersion_},
      {"biosDate", f.lblBIOSDate, f.lblBIOSDate_},
      {"language", f.lblCountry, f.lblCountry_},
      {"superIo", f.lblIO, f.lblIO_},
  }};
  if (json) {
    out << '{';
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (i > 0) out << ',';
      out << JsonString(rows[i].key) << ':' << JsonString(rows[i].value.Caption.Get());
    }
    out << "}\n";
    return;
  }
  for (const InfoRow& row : rows) {
    out << WithoutColon(row.caption.Caption.Get()) << ": " << WithoutTrailingBlanks(row.value.Caption.Get())
        << '\n';
  }
}

}  // namespace veltrix::console
