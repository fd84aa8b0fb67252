#include "monitor/chip/superio.h"

#include "monitor/chip/chip_setup.h"
#include "monitor/program.h"

namespace veltrix::monitor {
namespace {

// Winbond Device Rev (configuration register 0x21): the probe takes a chip only with bit 4 set.
constexpr std::uint8_t kWinbondRevisionBit = 0x10;

platform::PortIo& Io(Program& program) {
  return program.Port();
}

// The configuration entry key. ITE chips take 87 01 55 and a fourth byte that depends on the
// port the chip decodes: 0x55 at 0x2E, 0xAA at 0x4E. A chip strapped to 0x4E ignores the 0x2E
// key, so sending 0x55 there would lose the chip (and ChipId with it).
template <typename Out>
void EnterConfigTo(std::uint16_t family, std::uint16_t port, Out out) {
  switch (family) {
    case kChipFamilyWinbond:
      out(port, winbond::kEntryKey);
      out(port, winbond::kEntryKey);
      break;
    case kChipFamilyIte:
      out(port, ite::kEntryKey1);
      out(port, ite::kEntryKey2);
      out(port, ite::kEntryKey3);
      out(port, ite::EntryKeyLast(port));
      break;
    default:
      break;
  }
}

template <typename Out>
void ExitConfigTo(std::uint16_t family, std::uint16_t port, Out out) {
  switch (family) {
    case kChipFamilyWinbond:
      out(port, winbond::kExitKey);
      break;
    case kChipFamilyIte:
      out(port, superio::kConfigControl);
      out(superio::ConfigDataPort(port), ite::kReturnToWaitForKey);
      break;
    default:
      break;
  }
}

void EnterConfig(Program& program, std::uint16_t port) {
  EnterConfigTo(program.G().ChipFamily, port,
                [&](std::uint16_t p, std::uint8_t v) { Io(program).OutPortB(p, v); });
}

void ExitConfig(Program& program, std::uint16_t port) {
  ExitConfigTo(program.G().ChipFamily, port,
               [&](std::uint16_t p, std::uint8_t v) { Io(program).OutPortB(p, v); });
}

std::uint8_t ReadConfigAt(Program& program, std::uint16_t port, std::uint8_t reg) {
  Io(program).OutPortB(port, reg);
  return Io(program).InPortB(superio::ConfigDataPort(port));
}

std::uint8_t MonitorDevice(std::uint16_t family) {
  return family == kChipFamilyWinbond ? winbond::kMonitorDevice : ite::kMonitorDevice;
}

bool KnownFamily(Program& program) {
  const auto family = program.G().ChipFamily;
  return family == kChipFamilyWinbond || family == kChipFamilyIte;
}

// Enters configuration mode and selects the monitor logical device; false when there is no
// configuration port or no family to talk to.
bool OpenMonitorDevice(Program& program) {
  const std::uint16_t port = program.G().ConfigPort;
  if (port == 0 || !KnownFamily(program)) return false;
  EnterConfig(program, port);
  Io(program).OutPortB(port, superio::kLogicalDeviceSelect);
  Io(program).OutPortB(superio::ConfigDataPort(port), MonitorDevice(program.G().ChipFamily));
  return true;
}

}  // namespace

bool ProbeSuperIo(Program& program, std::uint16_t port) {
  auto& g = program.G();
  if (g.ChipFamily == kChipFamilyWinbond) {
    EnterConfig(program, port);
    bool found = false;
    const std::uint8_t deviceId = ReadConfigAt(program, port, superio::kChipIdByte1);
    if (deviceId == winbond::kDeviceIdW83627HF || deviceId == winbond::kDeviceIdW83697HF) {
      found = (ReadConfigAt(program, port, superio::kChipIdByte2) & kWinbondRevisionBit) != 0;
    }
    ExitConfig(program, port);
    return found;
  }
  if (g.ChipFamily == kChipFamilyIte) {
    EnterConfig(program, port);
    const std::uint32_t high = ReadConfigAt(program, port, superio::kChipIdByte1);
    const std::uint32_t low = ReadConfigAt(program, port, superio::kChipIdByte2);
    g.ChipId = high + low;
    ExitConfig(program, port);
    return g.ChipId == kChipIT8712F || g.ChipId == kChipIT8705F;
  }
  return false;
}

std::uint8_t ReadConfigRegister(Program& program, std::uint8_t reg) {
  if (!OpenMonitorDevice(program)) return 0;
  const std::uint16_t port = program.G().ConfigPort;
  const std::uint8_t value = ReadConfigAt(program, port, reg);
  ExitConfig(program, port);
  return value;
}

void WriteConfigRegister(Program& program, std::uint8_t reg, std::uint8_t value) {
  for (const PortWrite& w : ConfigRegisterWrites(program, reg, value)) Io(program).OutPortB(w.port, w.value);
}

std::vector<PortWrite> ConfigRegisterWrites(Program& program, std::uint8_t reg, std::uint8_t value) {
  std::vector<PortWrite> writes;
  const std::uint16_t port = program.G().ConfigPort;
  if (port == 0 || !KnownFamily(program)) return writes;
  const std::uint16_t family = program.G().ChipFamily;
  auto out = [&](std::uint16_t p, std::uint8_t v) { writes.push_back({p, v}); };
  EnterConfigTo(family, port, out);
  out(port, superio::kLogicalDeviceSelect);
  out(superio::ConfigDataPort(port), MonitorDevice(family));
  out(port, reg);
  out(superio::ConfigDataPort(port), value);
  ExitConfigTo(family, port, out);
  return writes;
}

std::uint8_t ReadMonitorRegister(Program& program, std::uint8_t reg) {
  const std::uint16_t index = program.G().HmIndexPort;
  Io(program).OutPortB(index, reg);
  return Io(program).InPortB(superio::MonitorDataPort(index));
}

void WriteMonitorRegister(Program& program, std::uint8_t reg, std::uint8_t value) {
  const std::uint16_t index = program.G().HmIndexPort;
  Io(program).OutPortB(index, reg);
  Io(program).OutPortB(superio::MonitorDataPort(index), value);
}

void SelectBank(Program& program, std::uint8_t bank) {
  const std::uint8_t current = ReadMonitorRegister(program, winbond::kBankSelect);
  WriteMonitorRegister(program, winbond::kBankSelect,
                       static_cast<std::uint8_t>((current & winbond::kHbacs) | bank));
}

std::uint32_t ReadVendorId(Program& program) {
  switch (program.G().ChipFamily) {
    case kChipFamilyWinbond: {
      SelectBank(program, winbond::kBank0);
      // HBACS picks which byte of the vendor id the vendor id register shows.
      WriteMonitorRegister(program, winbond::kBankSelect,
                           ReadMonitorRegister(program, winbond::kBankSelect) | winbond::kHbacs);
      const std::uint32_t high = ReadMonitorRegister(program, winbond::kVendorId);
      WriteMonitorRegister(program, winbond::kBankSelect,
                           ReadMonitorRegister(program, winbond::kBankSelect) & ~winbond::kHbacs);
      const std::uint32_t low = ReadMonitorRegister(program, winbond::kVendorId);
      return high * 256 + low;
    }
    case kChipFamilyIte:
      return ReadMonitorRegister(program, ite::kVendorId);
    default:
      return 0;
  }
}

void ReadChipId(Program& program) {
  if (program.G().ChipFamily != kChipFamilyWinbond) return;
  SelectBank(program, winbond::kChipId.bank);
  program.G().ChipId = ReadMonitorRegister(program, winbond::kChipId.reg);
}

void StartMonitoring(Program& program) {
  switch (program.G().ChipFamily) {
    case kChipFamilyWinbond:
      SelectBank(program, winbond::kBank0);
      WriteMonitorRegister(program, winbond::kConfiguration,
                           ReadMonitorRegister(program, winbond::kConfiguration) | winbond::kStart);
      break;
    case kChipFamilyIte:
      WriteMonitorRegister(
          program, ite::kConfiguration,
          ReadMonitorRegister(program, ite::kConfiguration) | ite::kUpdateVbat | ite::kStart);
      break;
    default:
      return;
  }
  ApplySensorSetup(program);
}

void StopMonitoring(Program& program) {
  const auto family = program.G().ChipFamily;
  if (family == kChipFamilyWinbond) {
    SelectBank(program, winbond::kBank0);
    WriteMonitorRegister(program, winbond::kConfiguration,
                         ReadMonitorRegister(program, winbond::kConfiguration) & ~winbond::kStart);
    const std::uint32_t chip = program.G().ChipId;
    if (chip == kChipW83627HF || chip == kChipW83697HF || chip == kChipW83637HF) {
      const winbond::BankedRegister vbat = winbond::kVbatMonitorControl;
      SelectBank(program, vbat.bank);
      WriteMonitorRegister(program, vbat.reg,
                           ReadMonitorRegister(program, vbat.reg) &
                               ~(winbond::kVbatMonitorEnable | winbond::kFan1DivisorBit2));
    }
  }
  if (family == kChipFamilyWinbond || family == kChipFamilyIte) program.App().DoEvents();
}

void RestartMonitoring(Program& program) {
  SelectBank(program, winbond::kBank0);
  WriteMonitorRegister(
      program, winbond::kConfiguration,
      ReadMonitorRegister(program, winbond::kConfiguration) | winbond::kInitialization | winbond::kStart);
}

void SpeakerOff(Program& program) {
  auto& io = Io(program);
  io.OutPortB(kSystemControlPort, io.InPortB(kSystemControlPort) & kSpeakerOffKeep);
}

}  // namespace veltrix::monitor
