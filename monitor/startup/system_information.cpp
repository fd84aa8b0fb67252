#include "monitor/startup/system_information.h"

#include <charconv>
#include <cstring>
#include <string_view>
#include <system_error>
#include <vector>

#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

// A caller buffer for one string of the board-information library: `size` blanks, as the
// library expects, and one NUL beyond them so a library that ignores the size cannot make
// us read past the end.
class LibraryBuffer {
 public:
  explicit LibraryBuffer(int size) : size_(static_cast<std::size_t>(size)), bytes_(size_ + 1, ' ') {
    bytes_[size_] = '\0';
  }
  char* data() { return bytes_.data(); }

  // The text before the first NUL within the buffer; the whole buffer when there is none.
  std::string Text() const {
    const void* nul = std::memchr(bytes_.data(), '\0', size_);
    const std::size_t length =
        nul == nullptr ? size_ : static_cast<std::size_t>(static_cast<const char*>(nul) - bytes_.data());
    return std::string(bytes_.data(), length);
  }

  // The same, but empty when it holds nothing except blanks (an untouched buffer, or a
  // library that padded the name).
  std::string NameText() const {
    std::string text = Text();
    return text.find_first_not_of(' ') == std::string::npos ? std::string() : text;
  }

 private:
  std::size_t size_;
  std::vector<char> bytes_;
};

}  // namespace

std::string SuperIoName(std::uint32_t chipId) {
  switch (chipId) {
    case kChipW83627HF:
      return "Winbond W83627HF";
    case kChipW83697HF:
      return "Winbond W83697HF";
    case kChipW83637HF:
      return "Winbond W83637HF";
    case kChipIT8705F:
      return "ITE IT8705F";
    case kChipIT8712F:
      return "ITE IT8712F";
    default:
      return "Unknown.";
  }
}

std::string MemoryText(std::uint64_t bytes) {
  // A byte count divided by 1024 has at most ten decimals and is exact in a double up to
  // 2^53 bytes; fixed notation keeps small amounts out of exponent form.
  const double kbytes = static_cast<double>(bytes) / 1024.0;
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, kbytes, std::chars_format::fixed);
  if (result.ec != std::errc{}) return " KBytes";
  return std::string(text, result.ptr) + " KBytes";
}

void FillSystemInformation(Program& program) {
  monitor::frmdoctor& f = program.frmdoctor();
  platform::BoardInfo& library = program.Svc().boardInfo;
  const Globals& g = program.G();

  LibraryBuffer user(platform::kLoginUserSize);
  library.GetLoginUser(user.data());
  f.lblUser_.Caption = user.NameText();

  LibraryBuffer cpu(platform::kCpuTypeSize);
  library.GetCpuType(cpu.data());
  f.lblCPU_.Caption = cpu.NameText();

  // The library's 32-bit answer stops at 2 GiB; the wide call gives the whole amount (and
  // is that same answer where the library has nothing wider).
  f.lblMemory_.Caption = MemoryText(library.PhysicalMemoryBytes());

  f.lblModelName_.Caption = std::string(boards::DisplayName(g.ModelName));

  LibraryBuffer osName(platform::kPlatformFieldSize);
  LibraryBuffer osVersion(platform::kPlatformFieldSize);
  library.PlatformInformation(osName.data(), osVersion.data());
  f.lblOS_.Caption = osName.Text();
  f.lblOSVersion_.Caption = osVersion.Text();

  LibraryBuffer model(platform::kBiosFieldSize);
  LibraryBuffer biosVersion(platform::kBiosFieldSize);
  LibraryBuffer biosDate(platform::kBiosFieldSize);
  library.GetKorvanaBIOSInformation(model.data(), biosVersion.data(), biosDate.data());
  f.lblBIOSVersion_.Caption = biosVersion.Text();
  f.lblBIOSDate_.Caption = biosDate.Text();

  ApplyText(g.LangPrefix, 300, [&f](const std::string& s) { f.lblCountry_.Caption = s; });
  f.lblIO_.Caption = SuperIoName(g.ChipId);
}

}  // namespace veltrix::monitor
