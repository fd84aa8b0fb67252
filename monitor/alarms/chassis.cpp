// The chassis-intrusion step of the monitoring tick.
#include "monitor/alarms/chassis.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

constexpr std::uint16_t kIntelStatusOffset = 0x66;   // from PmBase; bit 0 = intrusion latched
constexpr std::uint16_t kViaStatusOffset = 0x20;     // from PmBase; bit 6 reads 0 once opened
constexpr std::uint16_t kNvidiaStatusPort = 0x4444;  // bit 2 = intrusion latched
constexpr std::uint16_t kNvidiaArmPort = 0x4449;     // PrepareChassisSensor's latch arming

std::uint16_t PmPort(Program& program, std::uint16_t offset) {
  return static_cast<std::uint16_t>(program.G().PmBase + offset);
}

void SetRowText(Program& program, int suffix) {
  frmdoctor& main = program.frmdoctor();
  ApplyText(program.G().LangPrefix, suffix, [&main](const std::string& s) { main.lblCaseOpen.Caption = s; });
}

// The shared shape of every detection routine: mirror the flag into the row and raise or
// close item 15.
void Report(Program& program, bool opened) {
  frmdoctor& main = program.frmdoctor();
  main.optCaseOpened.Value = opened;
  if (opened) {
    SetRowText(program, 65);  // "PC chassis is opened!!!"
    main.ShowWarning(kChassisItem);
  } else {
    SetRowText(program, 66);  // "PC chassis is closed..."
    main.CloseWarning(kChassisItem);
  }
}

// The chipset port a method reads and clears; nothing for the Winbond and "none" methods.
std::optional<std::uint16_t> ChipsetPort(Program& program, boards::ChassisMethod method) {
  switch (method) {
    case boards::ChassisMethod::kIntel:
      return PmPort(program, kIntelStatusOffset);
    case boards::ChassisMethod::kVia:
      return PmPort(program, kViaStatusOffset);
    case boards::ChassisMethod::kNvidia:
      return kNvidiaStatusPort;
    case boards::ChassisMethod::kWinbond:
    case boards::ChassisMethod::kNone:
      break;
  }
  return std::nullopt;
}

// Real hardware opens a chipset port only where the chipset's base was found: a port the
// layer does not reach is neither read nor written, and the row says the PC has no chassis
// intrusion.
bool Reachable(Program& program, boards::ChassisMethod method) {
  const auto port = ChipsetPort(program, method);
  return !port || program.Port().Reaches(*port);
}

bool Monitored(Program& program) {
  return program.frmdoctor().WEnable[kChassisItem] == 1;
}

void DetectVia(Program& program) {
  if (!Monitored(program)) return;
  SelectBank(program, winbond::kBank0);
  const std::uint8_t status = program.Port().InPortB(PmPort(program, kViaStatusOffset));
  Report(program, (status & 0x40) == 0);
}

void DetectWinbond(Program& program) {
  if (!Monitored(program)) return;
  SelectBank(program, winbond::kBank0);
  Report(program, (ReadMonitorRegister(program, winbond::kInterruptStatus2) & winbond::kCaseOpenStatus) != 0);
}

}  // namespace

void ChkModuleCaseOpen(Program& program) {
  frmdoctor& main = program.frmdoctor();
  platform::OsVersionInfo version;
  version.dwOSVersionInfoSize = 148;
  program.Sys().GetVersionExA(&version);
  if (version.dwPlatformId == 2) {
    // The NT family keeps programs away from the chipset's ports.
    main.optCaseOpened.Value = false;
    SetRowText(program, 344);
    return;
  }
  const std::optional<boards::ChassisMethod> method = boards::ChassisMethodFor(program.G().ModelName);
  if (!method || !Reachable(program, *method)) {
    main.optCaseOpened.Value = false;
    SetRowText(program, 67);  // "This PC don't support chassis intrusion."
    return;
  }
  switch (*method) {
    case boards::ChassisMethod::kIntel:
      ProcessCaseOpenIntel(program);
      break;
    case boards::ChassisMethod::kNvidia:
      ProcessCaseOpenNVIDIA(program);
      break;
    case boards::ChassisMethod::kVia:
      ProcessCaseOpenVT8233(program);
      break;
    case boards::ChassisMethod::kWinbond:
      ProcessCaseOpen627(program);
      break;
    case boards::ChassisMethod::kNone:
      break;  // listed without a method: the row stays as it is
  }
}

void ProcessCaseOpenIntel(Program& program) {
  if (!Monitored(program)) return;
  Report(program, (program.Port().InPortB(PmPort(program, kIntelStatusOffset)) & 0x01) != 0);
}

void ProcessCaseOpenNVIDIA(Program& program) {
  if (!Monitored(program)) return;
  Report(program, (program.Port().InPortB(kNvidiaStatusPort) & 0x04) != 0);
}

void ProcessCaseOpenVT8233(Program& program) {
  DetectVia(program);
}

void ProcessCaseOpenVT8233A(Program& program) {
  DetectVia(program);
}

void ProcessCaseOpen697(Program& program) {
  DetectWinbond(program);
}

void ProcessCaseOpen627(Program& program) {
  DetectWinbond(program);
}

void ClearChassisFlag(Program& program, boards::ChassisMethod method) {
  platform::PortIo& port = program.Port();
  if (!Reachable(program, method)) return;
  switch (method) {
    case boards::ChassisMethod::kIntel:
      port.OutPortB(PmPort(program, kIntelStatusOffset), 0x01);
      break;
    case boards::ChassisMethod::kNvidia:
      port.OutPortB(kNvidiaStatusPort, 0x04);
      break;
    case boards::ChassisMethod::kVia:
      port.OutPortB(PmPort(program, kViaStatusOffset), 0x40);
      break;
    case boards::ChassisMethod::kWinbond: {
      SelectBank(program, winbond::kBank0);
      const auto value = static_cast<std::uint8_t>(ReadMonitorRegister(program, winbond::kChassisClear) |
                                                   winbond::kClearCaseOpen);
      WriteMonitorRegister(program, winbond::kChassisClear, value);
      WriteMonitorRegister(program, winbond::kChassisClear, value);
      break;
    }
    case boards::ChassisMethod::kNone:
      break;
  }
}

std::vector<ChipsetPortUse> ChipsetPortsUsed(std::string_view model) {
  std::vector<ChipsetPortUse> uses;
  auto add = [&uses](ChipsetPortUse use) {
    if (std::find(uses.begin(), uses.end(), use) == uses.end()) uses.push_back(use);
  };
  auto addMethod = [&add](boards::ChassisMethod method) {
    switch (method) {
      case boards::ChassisMethod::kIntel:
        add({method, kIntelStatusOffset, true});
        break;
      case boards::ChassisMethod::kVia:
        add({method, kViaStatusOffset, true});
        break;
      case boards::ChassisMethod::kNvidia:
        add({method, kNvidiaStatusPort, false});
        break;
      case boards::ChassisMethod::kWinbond:
      case boards::ChassisMethod::kNone:
        break;
    }
  };
  switch (boards::ChassisPreparationFor(model)) {
    case boards::ChassisPreparation::kIntelFlagClear:
      addMethod(boards::ChassisMethod::kIntel);
      break;
    case boards::ChassisPreparation::kNvidiaPortSet:
      add({boards::ChassisMethod::kNvidia, kNvidiaArmPort, false});
      break;
    case boards::ChassisPreparation::kViaFlagClear:
      addMethod(boards::ChassisMethod::kVia);
      break;
    case boards::ChassisPreparation::kNothing:
    case boards::ChassisPreparation::kRefuse:
      break;
  }
  if (const auto method = boards::ChassisMethodFor(model)) addMethod(*method);
  addMethod(boards::DisableClearFor(model));
  addMethod(boards::IgnoreClearFor(model));
  return uses;
}

}  // namespace veltrix::monitor
