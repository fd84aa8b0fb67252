#include "monitor/chip/chip_setup.h"

#include "monitor/boards/board_tables.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/exit_status.h"

namespace veltrix::monitor {
namespace {

// Chipset port of the NVIDIA-style boards whose bits 0 and 4 arm the case-open latch.
constexpr std::uint16_t kNvidiaChassisPort = 0x4449;

void ModifyMonitorRegister(Program& program, std::uint8_t reg, int keepMask, int setMask) {
  const std::uint8_t value = ReadMonitorRegister(program, reg);
  WriteMonitorRegister(program, reg, static_cast<std::uint8_t>((value & keepMask) | setMask));
}

}  // namespace

void PrepareChassisSensor(Program& program) {
  auto& g = program.G();
  auto& io = program.Port();
  if (g.ChipId == kChipW83627HF || g.ChipId == kChipW83697HF) {
    // The chassis clear bit clears the chip's latched case-open flag (the value goes out twice).
    SelectBank(program, winbond::kBank0);
    const std::uint8_t value = ReadMonitorRegister(program, winbond::kChassisClear) | winbond::kClearCaseOpen;
    WriteMonitorRegister(program, winbond::kChassisClear, value);
    WriteMonitorRegister(program, winbond::kChassisClear, value);
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
  SelectBank(program, winbond::kBank0);
  ModifyMonitorRegister(program, winbond::kVrmOvtConfig, ~winbond::kVrm9Scaling, 0x00);
}

void ApplySensorSetup(Program& program) {
  const std::uint32_t chip = program.G().ChipId;
  if (chip == kChipW83627HF || chip == kChipW83697HF) {
    static_assert(winbond::kDiodeSelect.bank == winbond::kVbatMonitorControl.bank);
    SelectBank(program, winbond::kVbatMonitorControl.bank);
    const std::uint8_t current = ReadMonitorRegister(program, winbond::kVbatMonitorControl.reg);
    std::uint8_t value = 0;
    if (boards::InSensorSetupList(program.G().ModelName)) {
      // VBAT converted, temperatures 1 and 2 read from diodes.
      value = current | winbond::kVbatMonitorEnable | winbond::kTemp1Diode | winbond::kTemp2Diode;
    } else {
      // VBAT converted and all three temperature inputs as thermistors (the diode type is set
      // to its power-on value).
      WriteMonitorRegister(program, winbond::kDiodeSelect.reg, winbond::kDiodePentiumAll);
      value =
          static_cast<std::uint8_t>((current & winbond::kVbatMonitorEnable) | winbond::kVbatMonitorEnable);
    }
    // The fans' third divisor bits cleared.
    WriteMonitorRegister(program, winbond::kVbatMonitorControl.reg, value & ~winbond::kFanDivisorBit2Mask);
    SetTemperatureOffsets(program);
  } else if (chip == kChipW83637HF) {
    static_assert(winbond::kDiodeSelect.bank == winbond::kVbatMonitorControl.bank);
    SelectBank(program, winbond::kVbatMonitorControl.bank);
    WriteMonitorRegister(program, winbond::kDiodeSelect.reg, 0);
    // VBAT converted, all three temperatures from diodes, the fans' third divisor bits cleared.
    ModifyMonitorRegister(
        program, winbond::kVbatMonitorControl.reg, ~winbond::kFanDivisorBit2Mask,
        winbond::kVbatMonitorEnable | winbond::kTemp1Diode | winbond::kTemp2Diode | winbond::kTemp3Diode);
  }
}

void SetTemperatureOffsets(Program& program) {
  const boards::TemperatureOffsets offsets = boards::TemperatureOffsetsFor(program.G().ModelName);
  if (offsets.clearSensorTypeFirst) {
    SelectBank(program, winbond::kDiodeSelect.bank);
    WriteMonitorRegister(program, winbond::kDiodeSelect.reg, 0);
  }
  SelectBank(program, winbond::kTemp1Offset.bank);
  for (int i = 0; i < 3; ++i) {
    WriteMonitorRegister(program, static_cast<std::uint8_t>(winbond::kTemp1Offset.reg + i),
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
      SelectBank(program, winbond::kBank0);
      ModifyMonitorRegister(program, winbond::kVrmOvtConfig, ~winbond::kVrm9Scaling, 0x00);
      break;
    default:
      break;
  }
}

void ClearBeepEnables(Program& program) {
  SelectBank(program, winbond::kBeepControl3.bank);
  ModifyMonitorRegister(program, winbond::kBeepControl3.reg, ~winbond::kBeepControl3Mask, 0x00);
  SelectBank(program, winbond::kBeepControl1.bank);
  WriteMonitorRegister(program, winbond::kBeepControl1.reg, 0);
  WriteMonitorRegister(program, winbond::kBeepControl2.reg, 0);
}

void SetResumeBeepEnables(Program& program) {
  using winbond::kFanStatusBit;
  using winbond::MaskInByte;
  SelectBank(program, winbond::kBeepControl3.bank);
  ModifyMonitorRegister(program, winbond::kBeepControl3.reg, 0xFF, winbond::kBeepControl3Mask);
  SelectBank(program, winbond::kBeepControl1.bank);
  WriteMonitorRegister(program, winbond::kBeepControl1.reg,
                       MaskInByte(kFanStatusBit[0]) | MaskInByte(kFanStatusBit[1]));
  WriteMonitorRegister(program, winbond::kBeepControl2.reg, MaskInByte(kFanStatusBit[2]));
}

void ApplyWinbondStartupBit(Program& program) {
  if (program.G().ChipFamily != kChipFamilyWinbond) return;
  SelectBank(program, winbond::kBank0);
  ModifyMonitorRegister(program, winbond::kFanInOutBeepControl, 0xFF, winbond::kBeepPinSelect);
}

}  // namespace veltrix::monitor
