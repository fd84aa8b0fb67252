#pragma once
// The running monitor: the outside services it talks to and the process-wide values that
// start-up sets and every subsystem reads (the ModuleMain globals).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/boardinfo/board_info.h"
#include "platform/files/files.h"
#include "platform/forms/forms.h"
#include "platform/portio/last_resort.h"
#include "platform/portio/port_io.h"
#include "platform/registry/registry.h"
#include "platform/superio/ite_registers.h"
#include "platform/superio/winbond_registers.h"
#include "platform/system/system.h"

namespace veltrix::platform {
class Aspi;
class Shell;
}  // namespace veltrix::platform

namespace veltrix::monitor {

// Everything outside the program. The app picks the backends; the program never does.
struct Services {
  platform::PortIo& port;
  platform::Registry& registry;
  platform::BoardInfo& boardInfo;
  platform::System& system;
  platform::Aspi* aspi;  // nullptr when no ASPI layer is present
  forms::Application& app;
  platform::Shell* shell = nullptr;  // tray icon and window messages; nullptr = none
  // Files the program reads and writes (pictures, readme texts, the data log). The host's
  // unless the app or a test puts in another.
  platform::Files* files = &platform::HostFiles();
};

// Thrown by EndProgram: the process ends at once (start-up failures, the board refusal,
// the orderly exit). The app catches it at the top of the event loop; tests catch it too.
struct ProgramEnded {
  int exitCode = 0;
};
[[noreturn]] inline void EndProgram(int exitCode = 0) {
  throw ProgramEnded{exitCode};
}

inline constexpr std::uint16_t kChipFamilyWinbond = 1;
inline constexpr std::uint16_t kChipFamilyIte = 2;

// ChipId: Winbond the monitor's chip id register; ITE the sum of the configuration space's two
// chip id bytes (0x87 + 0x05, 0x87 + 0x12).
inline constexpr std::uint32_t kChipW83627HF = winbond::kChipIdW83627HF;
inline constexpr std::uint32_t kChipW83697HF = winbond::kChipIdW83697HF;
inline constexpr std::uint32_t kChipW83637HF = winbond::kChipIdW83637HF;
inline constexpr std::uint32_t kChipIT8705F = (ite::kChipIdIT8705F >> 8) + (ite::kChipIdIT8705F & 0xFF);
inline constexpr std::uint32_t kChipIT8712F = (ite::kChipIdIT8712F >> 8) + (ite::kChipIdIT8712F & 0xFF);
static_assert(kChipIT8705F == 0x8C && kChipIT8712F == 0x99);

inline constexpr std::uint32_t kVendorWinbond = winbond::kVendorIdValue;
inline constexpr std::uint32_t kVendorIte = ite::kVendorIdValue;

// The application title used by start-up boxes.
inline constexpr const char* kAppTitle = "Veltrix";

// Process-wide values written during start-up and read everywhere afterwards.
struct Globals {
  std::string ModelName;
  std::uint32_t LanguageId = 1033;
  std::string LangPrefix = "33";
  std::uint16_t ChipFamily = 0;
  std::uint16_t BoardVariant = 0;
  std::uint16_t PmBase = 0x4000;
  std::uint16_t ConfigPort = 0;
  std::uint16_t SavedActivation = 0;
  std::uint16_t HmIndexPort = superio::MonitorIndexPort(superio::kUsualMonitorBase);
  std::uint32_t VendorId = 0;
  std::uint32_t ChipId = 0;
  std::int16_t FirstBoot = 0;  // -1 true, 0 false
};

}  // namespace veltrix::monitor

namespace veltrix::monitor {

class frmdoctor;
class frmInit;
struct CdromSpeedState;

// The whole monitoring program: its services, its globals and its windows. One object per
// run; tests build one on the simulator. Forms are created on first use and live until the
// program object goes away (unloaded forms keep their object, as the toolkit's forms do).
class Program {
 public:
  explicit Program(Services services);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Services& Svc() { return services_; }
  Globals& G() { return globals_; }
  const Globals& G() const { return globals_; }
  platform::PortIo& Port() { return services_.port; }
  platform::Registry& Reg() { return services_.registry; }
  platform::System& Sys() { return services_.system; }
  forms::Application& App() { return services_.app; }
  // ModuleASPI's state: the scan under way and the last speed sent per drive.
  CdromSpeedState& Cdrom();
  platform::Files& Files() { return *services_.files; }

  // The monitoring cycle reports each finished Timer1 tick here (the --ticks option of the
  // app and tests count them).
  void NoteMonitoringTick();
  std::uint64_t MonitoringTicks() const { return monitoringTicks_; }
  std::function<void(std::uint64_t ticks)> OnMonitoringTick;

  // The port operations that put the hardware back when the process ends without the
  // orderly exit (monitor/startup/last_resort_restore.h keeps it current).
  platform::LastResortWrites& LastResort() { return lastResort_; }
  // Fan outputs (bit per fan) this run has programmed, and whether start-up has finished
  // programming the chip (from then on the exit's restores apply).
  std::uint8_t FanOutputsChanged() const { return fanOutputsChanged_; }
  void NoteFanOutputChanged(int fan);
  bool ChipProgrammed() const { return chipProgrammed_; }
  void SetChipProgrammed(bool programmed) { chipProgrammed_ = programmed; }

  // True once start-up activated the monitor device (register 0x30 read 0 and was set).
  bool StartupActivatedMonitor() const { return globals_.ConfigPort != 0 && globals_.SavedActivation == 0; }

  // Windows, created on first use.
  monitor::frmdoctor& frmdoctor();
  monitor::frmInit& frmInit();
  // Start-up's last step: load frmdoctor (Form_Load runs), then hide it.
  void LoadMainWindowHidden();
  // The main window if it was ever created, else nullptr (exit paths must not create it).
  forms::Form* MainWindowIfCreated();
  // Further windows (alarm dialogs, chassis dialog, fan dialogs, graphs) are added by
  // their subsystems through FormSlot.
  template <typename F>
  F& FormSlot(std::unique_ptr<F>& slot) {
    if (!slot) slot = std::make_unique<F>(*this);
    return *slot;
  }

 private:
  Services services_;
  Globals globals_;
  std::uint64_t monitoringTicks_ = 0;
  platform::LastResortWrites lastResort_;
  std::uint8_t fanOutputsChanged_ = 0;
  bool chipProgrammed_ = false;
  std::unique_ptr<CdromSpeedState> cdrom_;
  // Held as forms so this header needs neither window's definition.
  std::unique_ptr<forms::Form> frmdoctor_;
  std::unique_ptr<forms::Form> frmInit_;
};

}  // namespace veltrix::monitor
