#include "monitor/chip/chip_setup.h"

#include "monitor/boards/board_tables.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/startup/exit_status.h"
#include "monitor/resources/strings.h"

namespace veltrix::monitor {
namespace {

// Chipset port of the NVIDIA-style boards whose bits 0 and 4 arm the case-open latch.
constexpr std::uint16_t kNvidiaChassisPort = 0x4449;

void ModifyMonitorRegister(Program& program, std::uint8_t reg, std::uint8_t andMask, std::uint8_t orMask) {
  const std::uint8_t value = ReadMonitorRegister(program, reg);
  WriteMonitorRegister(program, reg, static_cast<std::uint8_t>((value & andMask) | orMask));
}

}  // namespace

void PrepareChassisSensor(Program& program) {
  auto& g = program.G();
  auto& io = program.Port();
  if (g.ChipId == kChipW83627HF || g.ChipId == kChipW83697HF) {
    // Register 0x46 bit 7 clears the chip's latched case-open flag (the value goes out twice).
    SelectBank(program, 0);
    const std::uint8_t value = ReadMonitorRegister(program, 0x46) | 0x80;
    WriteMonitorRegister(program, 0x46, value);
    WriteMonitorRegister(program, 0x46, value);
  }
  // A chipset port the port layer does not reach (real hardware without a known chipset base)
  // is left alone.
  const auto intelFlag = static_cast<std::uint16_t>(g.PmBase + 0x66);
  const auto viaFlag = static_cast<std::uint16_t>(g.PmBase + 0x20);
  switch (boards::ChassisPreparationFor(g.ModelName)) {
    case boards::ChassisPreparation::kIntelFlagClear:
      if (io.Reaches(intelFlag)) io.OutPortB(intelFlag, 1);
      break;
    case boards::ChassisPreparation::kNvidiaPortSet:
      if (io.Reaches(kNvidiaChassisPort))
        io.OutPortB(kNvidiaChassisPort, io.InPortB(kNvidiaChassisPort) | 0x11);
      break;
    case boards::ChassisPreparation::kViaFlagClear:
      if (io.Reaches(viaFlag)) io.OutPortB(viaFlag, 0x40);
      break;
    case boards::ChassisPreparation::kNothing:
      break;
    case boards::ChassisPreparation::kRefuse:
      program.Sys().MsgBox(Text(g.LangPrefix, 36).value_or(""), platform::vbCritical,
                           Text(g.LangPrefix, 37).value_or(""));
      EndProgram(kExitBoardRefused);
  }
}

void ApplyChipQuirk(Program& program) {
  if (program.G().ChipId != kChipW83637HF) return;
  SelectBank(program, 0);
  ModifyMonitorRegister(program, 0x18, 0xFE, 0x00);
}

void ApplySensorSetup(Program& program) {
  const std::uint32_t chip = program.G().ChipId;
  if (chip == kChipW83627HF || chip == kChipW83697HF) {
    SelectBank(program, 0);
    const std::uint8_t current = ReadMonitorRegister(program, 0x5D);
    std::uint8_t value = 0;
    if (boards::InSensorSetupList(program.G().ModelName)) {
      value = current | 0x07;
    } else {
      // 0x59 = 0x70: all three temperature inputs as thermistors.
      WriteMonitorRegister(program, 0x59, 0x70);
      value = static_cast<std::uint8_t>((current & 0x01) | 0x01);
    }
    WriteMonitorRegister(program, 0x5D, value & 0x1F);
    SetTemperatureOffsets(program);
  } else if (chip == kChipW83637HF) {
    SelectBank(program, 0);
    WriteMonitorRegister(program, 0x59, 0);
    ModifyMonitorRegister(program, 0x5D, 0x1F, 0x0F);
  }
}

void SetTemperatureOffsets(Program& program) {
  const boards::TemperatureOffsets offsets = boards::TemperatureOffsetsFor(program.G().ModelName);
  if (offsets.clearSensorTypeFirst) {
    SelectBank(program, 0);
    WriteMonitorRegister(program, 0x59, 0);
  }
  SelectBank(program, 4);
  for (int i = 0; i < 3; ++i) {
    WriteMonitorRegister(program, static_cast<std::uint8_t>(0x54 + i),
                         static_cast<std::uint8_t>(offsets.offsets[static_cast<std::size_t>(i)]));
  }
}

void SetDefaultVcoreLimits(Program& program, float& loLimit, float& hiLimit) {
  switch (program.G().ChipId) {
    case kChipW83627HF:
    case kChipIT8705F:
    case kChipIT8712F:
      loLimit = 1.2F;
      hiLimit = 2.1F;
      break;
    case kChipW83697HF:
      loLimit = 1.2F;
      hiLimit = 3.9F;
      break;
    case kChipW83637HF:
      loLimit = 1.2F;
      hiLimit = 2.1F;
      SelectBank(program, 0);
      ModifyMonitorRegister(program, 0x18, 0xFE, 0x00);
      break;
    default:
      break;
  }
}

void ClearBeepEnables(Program& program) {
  SelectBank(program, 4);
  ModifyMonitorRegister(program, 0x53, 0xFC, 0x00);
  SelectBank(program, 0);
  WriteMonitorRegister(program, 0x56, 0);
  WriteMonitorRegister(program, 0x57, 0);
}

void SetResumeBeepEnables(Program& program) {
  SelectBank(program, 4);
  ModifyMonitorRegister(program, 0x53, 0xFF, 0x03);
  SelectBank(program, 0);
  WriteMonitorRegister(program, 0x56, 0xC0);
  WriteMonitorRegister(program, 0x57, 0x08);
}

void ApplyWinbondStartupBit(Program& program) {
  if (program.G().ChipFamily != kChipFamilyWinbond) return;
  SelectBank(program, 0);
  ModifyMonitorRegister(program, 0x4D, 0xFF, 0x80);
}

}  // namespace veltrix::monitor
