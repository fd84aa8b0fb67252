// Fan output primitive, read-back, full-speed measurement, the fan animation and the fan-speed
// captions while a fan-control method is in force.
#include "monitor/channels/fan_output.h"

#include "monitor/boards/board_tables.h"
#include "monitor/channels/number_format.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

constexpr double kMultiMethodMaxRpm = 8000.0;  // faster readings at low output are counting noise

struct OutputStep {
  std::int16_t percent;
  std::uint8_t winbond;
  std::uint8_t ite;
};
// Measured output values that give evenly spaced speeds on the boards' fans.
constexpr OutputStep kOutputTable[] = {
    {0, 0, 0},    {5, 12, 3},   {10, 12, 3},  {15, 15, 3},  {20, 15, 3},  {25, 15, 3},   {30, 15, 3},
    {35, 15, 3},  {40, 15, 4},  {45, 15, 7},  {50, 15, 8},  {55, 16, 9},  {60, 17, 10},  {65, 20, 12},
    {70, 24, 14}, {75, 29, 17}, {80, 37, 20}, {85, 49, 24}, {90, 74, 31}, {95, 120, 42}, {100, 255, 100},
};

std::uint8_t OutputByte(float value) {
  const int v = static_cast<int>(value);
  return static_cast<std::uint8_t>(v & 0xFF);
}

// What SetFanSpeed keeps of the ITE fan divisor register.
constexpr std::uint8_t kIteKeepForFan0 = 0xF2;
constexpr std::uint8_t kIteKeepForFan1And2 = 0x5F;

void ShowInvalidFan(Program& program) {
  program.Sys().MsgBox("Invalid Fan number !", platform::vbOKOnly | platform::vbCritical, "Error");
}

}  // namespace

float FanPercentToOutput(Program& program, std::int16_t percent) {
  const std::uint16_t family = program.G().ChipFamily;
  if (family != kChipFamilyWinbond && family != kChipFamilyIte) return 0.0F;
  for (const OutputStep& step : kOutputTable) {
    if (step.percent == percent) return family == kChipFamilyWinbond ? step.winbond : step.ite;
  }
  if (family == kChipFamilyWinbond) return percent;
  return static_cast<float>(static_cast<int>(percent * 1.275));
}

void SetFanSpeed(Program& program, std::int16_t fan, std::int16_t percent) {
  auto& g = program.G();
  auto& main = program.frmdoctor();
  if (g.ChipFamily == kChipFamilyWinbond) {
    if (fan != 0 && fan != 1) {
      ShowInvalidFan(program);
      return;
    }
    // Divisor 4: the fan's two bits in the fan divisor register 10, its third bit clear.
    SelectBank(program, winbond::kVbatMonitorControl.bank);
    const std::uint8_t r47 = ReadMonitorRegister(program, winbond::kFanDivisor);
    if (fan == 0) {
      WriteMonitorRegister(
          program, winbond::kFanDivisor,
          static_cast<std::uint8_t>((r47 & ~winbond::kFan1DivisorMask) | winbond::kFan1Divisor4));
      const std::uint8_t r5d = ReadMonitorRegister(program, winbond::kVbatMonitorControl.reg);
      WriteMonitorRegister(program, winbond::kVbatMonitorControl.reg,
                           static_cast<std::uint8_t>(r5d & ~winbond::kFan1DivisorBit2));
    } else {
      WriteMonitorRegister(
          program, winbond::kFanDivisor,
          static_cast<std::uint8_t>((r47 & ~winbond::kFan2DivisorMask) | winbond::kFan2Divisor4));
      const std::uint8_t r5d = ReadMonitorRegister(program, winbond::kVbatMonitorControl.reg);
      WriteMonitorRegister(program, winbond::kVbatMonitorControl.reg,
                           static_cast<std::uint8_t>(r5d & ~winbond::kFan2DivisorBit2));
    }
    main.FanChannel[static_cast<std::size_t>(fan)].Fan_Divisor = 4;
    const std::uint8_t value = OutputByte(FanPercentToOutput(program, percent));
    // Bank 0 is still selected for the W83627HF's PWM registers.
    static_assert(winbond::kPwmOut1.bank == winbond::kVbatMonitorControl.bank);
    if (const std::uint8_t reg = FanOutputRegister(program, fan); reg != 0) {
      WriteMonitorRegister(program, reg, value);
      program.NoteFanOutputChanged(fan);
    }
  } else if (g.ChipFamily == kChipFamilyIte) {
    if (fan < 0 || fan > 2) {
      ShowInvalidFan(program);
      return;
    }
    // Divisor 4 for fans 0 and 1, 8 for fan 2. The kept bits are not exactly the other fields:
    // fan 0 also clears bit 3 (of fan 1's field), fan 1 keeps bit 3 of its own field, fan 2
    // clears bit 5 (of fan 1's field), fans 1 and 2 clear bit 7. From the divisors SetUpIteFans
    // writes, each gives the same value as exact fields would.
    const std::uint8_t old = ReadMonitorRegister(program, ite::kFanDivisor);
    const std::uint8_t control[] = {
        static_cast<std::uint8_t>((old & kIteKeepForFan0) | ite::kFan1Divisor4),
        static_cast<std::uint8_t>((old & kIteKeepForFan1And2) | ite::kFan2Divisor4),
        static_cast<std::uint8_t>((old & kIteKeepForFan1And2) | ite::kFan3Divisor8)};
    WriteMonitorRegister(program, ite::kFanDivisor, control[fan]);
    main.FanChannel[static_cast<std::size_t>(fan)].Fan_Divisor = fan == 2 ? 8 : 4;
    WriteMonitorRegister(program, static_cast<std::uint8_t>(ite::kPwmControlBase + fan),
                         OutputByte(FanPercentToOutput(program, percent)));
    program.NoteFanOutputChanged(fan);
  }
}

void SetUpIteFans(Program& program) {
  const bool onOff = boards::UsesAlternativeIteFanSetup(program.G().ModelName);
  WriteMonitorRegister(program, ite::kFanMainControl,
                       onOff ? ite::kFanTachEnableMask : ite::kFanTachEnableMask | ite::kFanPwmModeMask);
  WriteMonitorRegister(program, ite::kFanControl,
                       onOff ? 0x00 : ite::kPolarityActiveHigh | ite::kPwmClock12MHz);
  WriteMonitorRegister(program, ite::kFanDivisor,
                       ite::kFan3Divisor8 | ite::kFan2Divisor4 | ite::kFan1Divisor4);
}

std::uint8_t FanOutputRegister(Program& program, std::int16_t fan) {
  const std::uint32_t chip = program.G().ChipId;
  if (program.G().ChipFamily == kChipFamilyIte) {
    return fan >= 0 && fan <= 2 ? static_cast<std::uint8_t>(ite::kPwmControlBase + fan) : 0;
  }
  if (fan != 0 && fan != 1) return 0;
  if (chip == kChipW83627HF) return fan == 0 ? winbond::kPwmOut1.reg : winbond::kPwmOut2.reg;
  if (chip == kChipW83697HF || chip == kChipW83637HF)
    return fan == 0 ? winbond::kPwm1Duty : winbond::kPwm2Duty;
  return 0;
}

std::uint8_t ReadFanOutput(Program& program, std::int16_t fan) {
  const std::uint32_t chip = program.G().ChipId;
  std::uint8_t reg = 0;
  if (chip == kChipW83627HF) reg = fan == 0 ? winbond::kPwmOut1.reg : winbond::kPwmOut2.reg;
  if (chip == kChipW83697HF || chip == kChipW83637HF)
    reg = fan == 0 ? winbond::kPwm1Duty : winbond::kPwm2Duty;
  if (chip == kChipIT8705F || chip == kChipIT8712F)
    reg = static_cast<std::uint8_t>(ite::kPwmControlBase + fan);
  if (reg == 0 || (fan != 0 && fan != 1)) return 0;
  return ReadMonitorRegister(program, reg);
}

void MeasureFullSpeedRpm(Program& program) {
  auto& g = program.G();
  auto& main = program.frmdoctor();
  auto& full = main.FullSpeedRpm;
  if (main.FanControlMethod != kFanMethodNone) {
    if (full[0] > 0 && full[1] > 0) return;
    if (full[0] == 0) SetFanSpeed(program, 0, 100);
    if (full[1] == 0) SetFanSpeed(program, 1, 100);
    // Let the fans spin up; the slower they were, the longer it takes.
    int waitMs = 500;
    if (main.CpuFanPercent < 10 || main.SystemFanPercent < 10) {
      waitMs = 1500;
    } else if (main.CpuFanPercent <= 50 || main.SystemFanPercent <= 50) {
      waitMs = 1000;
    }
    program.App().Sched().Sleep(waitMs);
  }
  auto rpmOf = [&](int fan, std::uint8_t count) -> std::int16_t {
    return RoundHalfEven16(main.FanRpm(fan, count));
  };
  if (g.ChipFamily == kChipFamilyWinbond) {
    // The two low divisor bits of every fan 10 (the third bits stay as they are).
    SelectBank(program, winbond::kBank0);
    const std::uint8_t r47 = ReadMonitorRegister(program, winbond::kFanDivisor);
    WriteMonitorRegister(
        program, winbond::kFanDivisor,
        static_cast<std::uint8_t>((r47 & ~(winbond::kFan1DivisorMask | winbond::kFan2DivisorMask)) |
                                  winbond::kFan1Divisor4 | winbond::kFan2Divisor4));
    const std::uint8_t r4b = ReadMonitorRegister(program, winbond::kPinControl);
    WriteMonitorRegister(
        program, winbond::kPinControl,
        static_cast<std::uint8_t>((r4b & ~winbond::kFan3DivisorMask) | winbond::kFan3Divisor4));
    for (int fan = 0; fan < kFanCount; ++fan) {
      const std::uint8_t count =
          ReadMonitorRegister(program, static_cast<std::uint8_t>(winbond::kFanCountBase + fan));
      if (count != 255 && full[fan] == 0) {
        full[fan] = rpmOf(fan, count);
      } else if (count == 255 && ReadFanOutput(program, static_cast<std::int16_t>(fan)) == 0) {
        full[fan] = 0;
      }
    }
  } else if (g.ChipFamily == kChipFamilyIte) {
    SetUpIteFans(program);
    for (int fan = 0; fan < kFanCount; ++fan) {
      main.updFanLoLimit[fan].Enabled = true;
      const std::uint8_t count =
          ReadMonitorRegister(program, static_cast<std::uint8_t>(ite::kFanCountBase + fan));
      if (count != 255) {
        full[fan] = rpmOf(fan, count);
      } else if (ReadFanOutput(program, static_cast<std::int16_t>(fan)) == 0) {
        full[fan] = 0;
      }
    }
  }
}

std::string FanAnimationFile(std::int16_t percent) {
  int n = 1;
  if (percent <= 0) {
    n = 0;
  } else if (percent <= 20) {
    n = 5;
  } else if (percent <= 40) {
    n = 4;
  } else if (percent <= 60) {
    n = 3;
  } else if (percent <= 80) {
    n = 2;
  }
  return "/GIF/fan" + std::to_string(n) + ".gif";
}

void SetFanAnimation(Program& program, forms::AnimatedGif& control, std::int16_t percent) {
  const std::string file = program.Sys().ProgramFolder() + FanAnimationFile(percent);
  std::string shown = control.Picture;
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  while (!shown.empty() && shown.front() == ' ') shown.erase(0, 1);
  if (shown == file) return;
  if (!program.Files().FileExists(file)) return;
  control.Picture = file;
}

// ---- fan-speed captions per fan-control method --------------------------------------------------

void frmdoctor::SetFanAnimation(int percent) {
  monitor::SetFanAnimation(program_, AniGif1, static_cast<std::int16_t>(percent));
}

void frmdoctor::ProcessFanForDisableFanMethod(int fan, std::uint8_t count, std::uint8_t output) {
  const bool winbond = program_.G().ChipFamily == kChipFamilyWinbond;
  if (fan == 0 || fan == 1) {
    // Full output is what SetFanSpeed writes for 100 %: 255 on Winbond, 100 on ITE.
    const auto full = static_cast<std::uint8_t>(FanPercentToOutput(program_, 100));
    const bool fullOutput = winbond ? output == 255 : output == full;
    if (fullOutput) lblFanSpeed[fan].Caption = FormatRpm(FanRpm(fan, count));
  } else if (count != 255) {
    lblFanSpeed[fan].Caption = FormatRpm(FanRpm(fan, count));
  }
  if (fan == 0) CpuFanPercent = output != 0 ? 100 : 0;
  if (fan == 1) SystemFanPercent = output != 0 ? 100 : 0;
}

void frmdoctor::ProcessFanForMultiMethod(int fan, std::uint8_t count) {
  if (fan == 0 || fan == 1) {
    const int percent = fan == 0 ? CpuFanPercent : SystemFanPercent;
    const std::int16_t full = FullSpeedRpm[static_cast<std::size_t>(fan)];
    if (percent == 0) {
      lblFanSpeed[fan].Caption = "fan stop";
      return;
    }
    // Counts at low output are unreliable: estimate from the full-speed reference. Until that
    // is measured (the window was never shown from the tray) the count is all there is.
    if (percent < 50 && full > 0) {
      lblFanSpeed[fan].Caption = FormatRpm(percent / 100.0 * full);
      return;
    }
  }
  ShowCountedSpeed(fan, count);
}

void frmdoctor::ProcessFanForRecommendedMethod(int fan, std::uint8_t count) {
  // The recommended setting drives fan 0 by raw outputs; every fan shows what it counts.
  ShowCountedSpeed(fan, count);
}

void frmdoctor::ShowCountedSpeed(int fan, std::uint8_t count) {
  const double rpm = FanRpm(fan, count);
  if (rpm >= kMultiMethodMaxRpm || rpm <= 0.0) return;
  lblFanSpeed[fan].Caption = FormatRpm(rpm);
}

void frmdoctor::ProcessFanForFixMethod(int fan, std::uint8_t count) {
  if (fan != 0 && fan != 1) return;
  const int percent = fan == 0 ? FixCPUFanSpeed : FixSystemFanSpeed;
  auto& full = FullSpeedRpm[static_cast<std::size_t>(fan)];
  if (percent > 50 || percent < 0) {
    const double rpm = FanRpm(fan, count);
    lblFanSpeed[fan].Caption = FormatRpm(rpm);
    if (CaptionValue(lblFanSpeed[fan].Caption.Get()) >= full) {
      if (full != 0) {
        lblFanSpeed[fan].Caption = FormatRpm(percent / 100.0 * full);
      } else if (percent == 100) {
        full = RoundHalfEven16(rpm);
      }
    }
  } else if (percent > 0) {
    // An estimate from the full-speed reference; until that is measured, the count itself.
    lblFanSpeed[fan].Caption = full > 0 ? FormatRpm(percent / 100.0 * full) : FormatRpm(FanRpm(fan, count));
  } else {
    lblFanSpeed[fan].Caption = "fan stop";
  }
  SetFanAnimation(CpuFanPercent);
  SetProgressForFanSpeed(fan, count);
}

}  // namespace veltrix::monitor
