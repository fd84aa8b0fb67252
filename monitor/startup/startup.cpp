#include "monitor/startup/startup.h"

#include <array>
#include <cstring>

#include "monitor/boards/board_tables.h"
#include "monitor/chip/chip_setup.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/frm_init.h"

namespace veltrix::monitor {
namespace {

constexpr std::uint16_t kDefaultPmBase = 0x4000;
constexpr std::uint16_t kMonitorIndexPort = 0x295;

// Start-up's registry writes — the first-start defaults of every subsystem (limits, general
// settings, fan control, CD-ROM speed, whatever the main window's load stores) — go into one
// batch, so a first start costs one durable save instead of one per value. The batch ends
// however start-up ends, a refusal included (which deletes a key that must stay deleted).
class StartupRegistryBatch {
 public:
  explicit StartupRegistryBatch(platform::Registry& registry) : registry_(registry) {
    registry_.BeginBatch();
  }
  ~StartupRegistryBatch() { registry_.EndBatch(); }
  StartupRegistryBatch(const StartupRegistryBatch&) = delete;
  StartupRegistryBatch& operator=(const StartupRegistryBatch&) = delete;

 private:
  platform::Registry& registry_;
};

[[noreturn]] void FailWithBox(Program& program, const std::string& text, int style,
                              const std::string& title) {
  program.Sys().MsgBox(text, style, title);
  EndProgram(0);
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string UpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

void ReadModelName(Program& program) {
  // The library writes NUL-terminated text into blank-filled buffers of 30 characters; one
  // extra byte beyond each keeps a misbehaving library from running off the end.
  std::array<char, platform::kBiosFieldSize + 1> model{};
  std::array<char, platform::kBiosFieldSize + 1> version{};
  std::array<char, platform::kBiosFieldSize + 1> date{};
  for (auto* buffer : {&model, &version, &date}) {
    std::memset(buffer->data(), ' ', platform::kBiosFieldSize);
  }
  program.Svc().boardInfo.GetKorvanaBIOSInformation(model.data(), version.data(), date.data());
  const void* nul = std::memchr(model.data(), '\0', platform::kBiosFieldSize);
  if (nul == nullptr) return;  // a name that fills the buffer cannot be cut: not taken
  const auto length = static_cast<std::size_t>(static_cast<const char*>(nul) - model.data());
  program.G().ModelName = UpperCase(std::string(model.data(), length));
}

void ChooseLanguage(Program& program) {
  const LanguageChoice choice = LanguageFromLcid(program.Sys().GetSystemDefaultLCID());
  program.G().LanguageId = choice.LanguageId;
  program.G().LangPrefix = choice.LangPrefix;
}

void ClassifyBoard(Program& program) {
  const boards::Classification c = boards::ClassifyBoard(program.G().ModelName);
  program.G().ChipFamily = c.chipFamily;
  program.G().BoardVariant = c.boardVariant;
}

void Main(Program& program) {
  auto& sys = program.Sys();
  const platform::SingleInstanceResult instance = sys.AcquireSingleInstance();
  if (instance.state == platform::InstanceLockState::kHeldByAnother) {
    FailWithBox(program, kAlreadyRunText, platform::vbOKOnly, "Message");
  }
  if (instance.state != platform::InstanceLockState::kAcquired) {
    // Not another instance: something keeps the check from being made at all.
    sys.MsgBox("Veltrix cannot make sure that it runs only once: " + instance.reason + ".",
               platform::vbOKOnly | platform::vbCritical, "Error");
    EndProgram(1);
  }
  ReadModelName(program);
  ChooseLanguage(program);
  if (Trimmed(program.G().ModelName).empty()) {
    FailWithBox(program, kModelNameFailedText, platform::vbCritical, "Error");
  }
  ClassifyBoard(program);
  InitializeHardware(program);
}

void ReadPmBase(Program& program) {
  std::int32_t arg = 1;
  const auto base = static_cast<std::uint16_t>(program.Svc().boardInfo.GetPciBaseAddress(&arg) & 0xFFFF);
  program.G().PmBase = base == 0xFFFF ? kDefaultPmBase : base;
}

void FindConfigPort(Program& program) {
  auto& g = program.G();
  if (ProbeSuperIo(program, 0x2E)) {
    g.ConfigPort = 0x2E;
  } else if (ProbeSuperIo(program, 0x4E)) {
    g.ConfigPort = 0x4E;
  } else {
    g.ConfigPort = 0;
  }
}

void ActivateMonitorDevice(Program& program) {
  auto& g = program.G();
  if (g.ConfigPort == 0) return;
  // Register 0x30 bit 0 activates the logical device; the exit path deactivates it again
  // only when it was found off.
  g.SavedActivation = ReadConfigRegister(program, 0x30);
  if (g.SavedActivation == 0) WriteConfigRegister(program, 0x30, 1);
}

void InitializeHardware(Program& program) {
  auto& g = program.G();
  auto& io = program.Port();
  auto& hooks = program.Hooks();

  ReadPmBase(program);
  g.HmIndexPort = kMonitorIndexPort;
  if (io.LoadPordexVxD() != 0) {
    FailWithBox(program, kDriverLoadFailedText, platform::vbOKOnly, kAppTitle);
  }
  FindConfigPort(program);
  ActivateMonitorDevice(program);
  g.HmIndexPort = kMonitorIndexPort;
  if (io.InitialBus(1, 0x5A, 0x92, 0x90) != 0) {
    FailWithBox(program, kBusInitFailedText, platform::vbOKOnly, kAppTitle);
  }
  g.VendorId = ReadVendorId(program);
  if (g.VendorId != kVendorWinbond && g.VendorId != kVendorIte) {
    FailWithBox(program, kNoSuperIoText, platform::vbOKOnly, kAppTitle);
  }
  program.frmInit().Show();
  ReadChipId(program);
  PrepareChassisSensor(program);
  const StartupRegistryBatch batch(program.Reg());
  if (hooks.BuildBoardItemTable) hooks.BuildBoardItemTable();
  if (hooks.LoadLimitStore) hooks.LoadLimitStore();
  if (g.FirstBoot != 0) g.FirstBoot = 0;
  ApplyChipQuirk(program);
  ApplyWinbondStartupBit(program);
  if (hooks.ApplyBeepSettings) hooks.ApplyBeepSettings();
  if (hooks.AddTrayIcon) hooks.AddTrayIcon();
  program.LoadMainWindowHidden();
}

}  // namespace veltrix::monitor
