#include "monitor/chip/superio.h"

#include "monitor/chip/chip_setup.h"
#include "monitor/program.h"

namespace veltrix::monitor {
namespace {

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
      out(port, 0x87);
      out(port, 0x87);
      break;
    case kChipFamilyIte:
      out(port, 0x87);
      out(port, 0x01);
      out(port, 0x55);
      out(port, port == 0x4E ? 0xAA : 0x55);
      break;
    default:
      break;
  }
}

template <typename Out>
void ExitConfigTo(std::uint16_t family, std::uint16_t port, Out out) {
  switch (family) {
    case kChipFamilyWinbond:
      out(port, 0xAA);
      break;
    case kChipFamilyIte:
      // Global register 0x02 bit 1: back to Wait for Key.
      out(port, 0x02);
      out(static_cast<std::uint16_t>(port + 1), 0x02);
      break;
    default:
      break;
  }
}

void EnterConfig(Program& program, std::uint16_t port) {
  EnterConfigTo(program.G().ChipFamily, port, [&](std::uint16_t p, std::uint8_t v) { Io(program).OutPortB(p, v); });
}

void ExitConfig(Program& program, std::uint16_t port) {
  ExitConfigTo(program.G().ChipFamily, port, [&](std::uint16_t p, std::uint8_t v) { Io(program).OutPortB(p, v); });
}

std::uint8_t ReadConfigAt(Program& program, std::uint16_t port, std::uint8_t reg) {
  Io(program).OutPortB(port, reg);
  return Io(program).InPortB(static_cast<std::uint16_t>(port + 1));
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
  const std::uint8_t device =
      program.G().ChipFamily == kChipFamilyWinbond ? kWinbondMonitorDevice : kIteMonitorDevice;
  Io(program).OutPortB(port, 0x07);
  Io(program).OutPortB(static_cast<std::uint16_t>(port + 1), device);
  return true;
}

}  // namespace

bool ProbeSuperIo(Program& program, std::uint16_t port) {
  auto& g = program.G();
  if (g.ChipFamily == kChipFamilyWinbond) {
    EnterConfig(program, port);
    bool found = false;
    const std::uint8_t deviceId = ReadConfigAt(program, port, 0x20);
    if (deviceId == 0x52 || deviceId == 0x60) {
      found = (ReadConfigAt(program, port, 0x21) & 0x10) != 0;
    }
    ExitConfig(program, port);
    return found;
  }
  if (g.ChipFamily == kChipFamilyIte) {
    EnterConfig(program, port);
    const std::uint32_t high = ReadConfigAt(program, port, 0x20);
    const std::uint32_t low = ReadConfigAt(program, port, 0x21);
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
  out(port, 0x07);
  out(static_cast<std::uint16_t>(port + 1), family == kChipFamilyWinbond ? kWinbondMonitorDevice : kIteMonitorDevice);
  out(port, reg);
  out(static_cast<std::uint16_t>(port + 1), value);
  ExitConfigTo(family, port, out);
  return writes;
}

std::uint8_t ReadMonitorRegister(Program& program, std::uint8_t reg) {
  const std::uint16_t index = program.G().HmIndexPort;
  Io(program).OutPortB(index, reg);
  return Io(program).InPortB(static_cast<std::uint16_t>(index + 1));
}

void WriteMonitorRegister(Program& program, std::uint8_t reg, std::uint8_t value) {
  const std::uint16_t index = program.G().HmIndexPort;
  Io(program).OutPortB(index, reg);
  Io(program).OutPortB(static_cast<std::uint16_t>(index + 1), value);
}

void SelectBank(Program& program, std::uint8_t bank) {
  const std::uint8_t current = ReadMonitorRegister(program, 0x4E);
  WriteMonitorRegister(program, 0x4E, static_cast<std::uint8_t>((current & 0x80) | bank));
}

std::uint32_t ReadVendorId(Program& program) {
  switch (program.G().ChipFamily) {
    case kChipFamilyWinbond: {
      SelectBank(program, 0);
      // 0x4E bit 7 (HBACS) picks which byte of the vendor id register 0x4F shows.
      WriteMonitorRegister(program, 0x4E, ReadMonitorRegister(program, 0x4E) | 0x80);
      const std::uint32_t high = ReadMonitorRegister(program, 0x4F);
      WriteMonitorRegister(program, 0x4E, ReadMonitorRegister(program, 0x4E) & 0x7F);
      const std::uint32_t low = ReadMonitorRegister(program, 0x4F);
      return high * 256 + low;
    }
    case kChipFamilyIte:
      return ReadMonitorRegister(program, 0x58);
    default:
      return 0;
  }
}

void ReadChipId(Program& program) {
  if (program.G().ChipFamily != kChipFamilyWinbond) return;
  SelectBank(program, 0);
  program.G().ChipId = ReadMonitorRegister(program, 0x58);
}

void StartMonitoring(Program& program) {
  switch (program.G().ChipFamily) {
    case kChipFamilyWinbond:
      SelectBank(program, 0);
      WriteMonitorRegister(program, 0x40, ReadMonitorRegister(program, 0x40) | 0x01);
      break;
    case kChipFamilyIte:
      WriteMonitorRegister(program, 0x00, ReadMonitorRegister(program, 0x00) | 0x41);
      break;
    default:
      return;
  }
  ApplySensorSetup(program);
}

void StopMonitoring(Program& program) {
  const auto family = program.G().ChipFamily;
  if (family == kChipFamilyWinbond) {
    SelectBank(program, 0);
    WriteMonitorRegister(program, 0x40, ReadMonitorRegister(program, 0x40) & 0xFE);
    const std::uint32_t chip = program.G().ChipId;
    if (chip == kChipW83627HF || chip == kChipW83697HF || chip == kChipW83637HF) {
      SelectBank(program, 0);
      WriteMonitorRegister(program, 0x5D, ReadMonitorRegister(program, 0x5D) & 0xDE);
    }
  }
  if (family == kChipFamilyWinbond || family == kChipFamilyIte) program.App().DoEvents();
}

void RestartMonitoring(Program& program) {
  SelectBank(program, 0);
  WriteMonitorRegister(program, 0x40, ReadMonitorRegister(program, 0x40) | 0x81);
}

void SpeakerOff(Program& program) {
  auto& io = Io(program);
  io.OutPortB(kSystemControlPort, io.InPortB(kSystemControlPort) & 0xEC);
}

}  // namespace veltrix::monitor
