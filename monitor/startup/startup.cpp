#include "monitor/startup/startup.h"

#include <array>
#include <cstring>
#include <stdexcept>

#include "monitor/boards/board_tables.h"
#include "monitor/chip/chip_setup.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/exit_status.h"
#include "monitor/startup/frm_init.h"
#include "monitor/startup/last_resort_restore.h"
#include "monitor/startup/tray_window.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/text/text.h"

namespace veltrix::monitor {
namespace {

constexpr std::uint16_t kDefaultPmBase = 0x4000;
// The monitor's index port at the base the boards' firmware programs.
constexpr std::uint16_t kMonitorIndexPort = superio::MonitorIndexPort(superio::kUsualMonitorBase);

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

[[noreturn]] void FailWithBox(Program& program, const std::string& text, int style, const std::string& title,
                              int exitStatus) {
  program.Sys().MsgBox(text, style, title);
  EndProgram(exitStatus);
}

}  // namespace

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
  program.G().ModelName = text::UpperCase(std::string(model.data(), length));
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
  EnsureAssembled(program);
  auto& sys = program.Sys();
  const platform::SingleInstanceResult instance = sys.AcquireSingleInstance();
  if (instance.state == platform::InstanceLockState::kHeldByAnother) {
    FailWithBox(program, kAlreadyRunText, platform::vbOKOnly, "Message", kExitAlreadyRunning);
  }
  if (instance.state != platform::InstanceLockState::kAcquired) {
    // Not another instance: something keeps the check from being made at all.
    sys.MsgBox("Veltrix cannot make sure that it runs only once: " + instance.reason + ".",
               platform::vbOKOnly | platform::vbCritical, "Error");
    EndProgram(kExitLockFailed);
  }
  ReadModelName(program);
  ChooseLanguage(program);
  if (text::Trim(program.G().ModelName, " ").empty()) {
    FailWithBox(program, kModelNameFailedText, platform::vbCritical, "Error", kExitNoModelName);
  }
  ClassifyBoard(program);
  InitializeHardware(program);
}

void EnsureAssembled(Program& program) {
  // Where the front ends differ the program takes a part from them; a run put together
  // without one is a bug, not a smaller feature set.
  if (program.Svc().shell == nullptr) {
    throw std::logic_error("the program was put together without a shell (tray icon and window messages)");
  }
}

void ReadPmBase(Program& program) {
  std::int32_t arg = 1;
  const auto base = static_cast<std::uint16_t>(program.Svc().boardInfo.GetPciBaseAddress(&arg) & 0xFFFF);
  program.G().PmBase = base == 0xFFFF ? kDefaultPmBase : base;
}

void FindConfigPort(Program& program) {
  auto& g = program.G();
  if (ProbeSuperIo(program, superio::kConfigPort2E)) {
    g.ConfigPort = superio::kConfigPort2E;
  } else if (ProbeSuperIo(program, superio::kConfigPort4E)) {
    g.ConfigPort = superio::kConfigPort4E;
  } else {
    g.ConfigPort = 0;
  }
}

void ActivateMonitorDevice(Program& program) {
  auto& g = program.G();
  if (g.ConfigPort == 0) return;
  // The activate register's bit 0 turns the logical device on; the exit path turns it off again
  // only when it was found off.
  g.SavedActivation = ReadConfigRegister(program, superio::kActivate);
  if (g.SavedActivation == 0) WriteConfigRegister(program, superio::kActivate, superio::kActivateBit);
}

void InitializeHardware(Program& program) {
  auto& g = program.G();
  auto& io = program.Port();

  ReadPmBase(program);
  g.HmIndexPort = kMonitorIndexPort;
  if (io.LoadPordexVxD() != 0) {
    FailWithBox(program, kDriverLoadFailedText, platform::vbOKOnly, kAppTitle, kExitDriverLoadFailed);
  }
  FindConfigPort(program);
  ActivateMonitorDevice(program);
  g.HmIndexPort = kMonitorIndexPort;
  if (io.InitialBus(1, 0x5A, 0x92, 0x90) != 0) {
    FailWithBox(program, kBusInitFailedText, platform::vbOKOnly, kAppTitle, kExitBusInitFailed);
  }
  g.VendorId = ReadVendorId(program);
  if (g.VendorId != kVendorWinbond && g.VendorId != kVendorIte) {
    FailWithBox(program, kNoSuperIoText, platform::vbOKOnly, kAppTitle, kExitNoSuperIo);
  }
  program.frmInit().Show();
  ReadChipId(program);
  PrepareChassisSensor(program);
  const StartupRegistryBatch batch(program.Reg());
  frmdoctor& main = program.frmdoctor();
  main.BuildBoardItemTable();
  main.LoadLimitStore();
  if (g.FirstBoot != 0) g.FirstBoot = 0;
  ApplyChipQuirk(program);
  ApplyWinbondStartupBit(program);
  main.ApplyBeepSettings();
  AddTrayIcon(program);
  program.LoadMainWindowHidden();
  // From here on the chip is programmed: an end without the orderly exit puts it back.
  ArmLastResort(program);
}

}  // namespace veltrix::monitor
