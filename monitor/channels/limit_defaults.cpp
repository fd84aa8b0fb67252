#include "monitor/channels/limit_defaults.h"

#include "monitor/boards/board_tables.h"
#include "monitor/chip/chip_setup.h"
#include "monitor/program.h"

namespace veltrix::monitor {

namespace {

using V = VoltageChannelRecord;

// Divider factors, volts per count, as the quotients the boards' dividers give.
const float kPlus5 = 0.016F / 0.595F;
const float kPlus12 = 0.016F / 0.263F;
const float kMinus12 = 0.016F / 0.287F;
const float kMinus5 = 0.016F / 0.664F;
const float kStandby = 0.016F / 0.66F;

// Fields: LoBound, HiBound, LoLimit, HiLimit, Factor. Item 0's limits are set by chip below.
std::array<V, kVoltageCount> WiringDefaults(std::uint16_t variant) {
  const V vcore{1, 4.1F, 0, 0, 0.016F};
  const V plus25{1, 4.1F, 1.5F, 3.5F, 0.016F};
  const V plus33Ite{2.3F, 4, 3.1F, 3.8F, 0.016F};
  const V plus5{4, 6, 4.5F, 5.5F, kPlus5};
  const V plus12Ite{10, 14, 11, 13, 0.064F};
  const V minus12{-14, -10, -13.5F, -10.5F, kMinus12};
  const V minus5{-6, -4, -5.5F, -4.5F, kMinus5};
  const V vbat{1.5F, 4.1F, 2.5F, 3.5F, 0.016F};
  switch (variant) {
    case 0:
      return {vcore,   plus25, V{2.3F, 4, 3.1F, 3.8F, 0.0165F}, plus5, V{10, 14, 11, 13, kPlus12},
              minus12, minus5, V{4, 6, 4.5F, 5.5F, kStandby},   vbat};
    case 1:
    case 2:
      return {vcore,
              plus25,
              plus33Ite,
              plus5,
              plus12Ite,
              minus12,
              V{2.3F, 4, 2.8F, 3.5F, 0.016F},
              V{4, 6, 4.5F, 5.5F, kStandby},
              vbat};
    case 3:
    case 5:
      return {vcore,
              plus25,
              plus33Ite,
              plus5,
              plus12Ite,
              minus12,
              minus5,
              V{4, 6, 4.5F, 5.5F, kPlus5},
              V{1.5F, 4.1F, 2.5F, 3.5F, variant == 3 ? 0.014F : 0.016F}};
    case 4:
      return {vcore,     plus25,  V{0.5F, 2.5F, 1, 2, 0.016F},
              plus33Ite, plus5,   V{4, 6, 4.5F, 5.5F, kPlus5},
              plus12Ite, minus12, vbat};
    default:
      return {vcore, V{}, V{}, V{}, V{}, V{}, V{}, V{}, vbat};
  }
}

}  // namespace

ChannelDefaults DefaultChannels(Program& program) {
  const auto& g = program.G();
  ChannelDefaults d;
  d.voltage = WiringDefaults(g.BoardVariant);
  if (g.BoardVariant <= 5) {
    d.voltageInstalled.set();
  } else {
    d.voltageInstalled.set(0);
    d.voltageInstalled.set(8);
  }
  d.voltage[0].Factor = boards::DefaultVcoreFactor(g.ChipId, g.ModelName);
  SetDefaultVcoreLimits(program, d.voltage[0].LoLimit, d.voltage[0].HiLimit);

  for (int j = 0; j < kFanCount; ++j) {
    d.fan[j].Fan_Divisor = static_cast<std::int16_t>(j == 2 && g.ChipFamily != kChipFamilyWinbond ? 8 : 4);
    d.fan[j].Fan_Limit = 149;
  }
  const boards::TempLimitDefaults temps = boards::TempLimitDefaultsFor(g.ModelName);
  for (int k = 0; k < kTempCount; ++k) {
    d.temp[k].Temp_LoLimit = 59.5F;
    d.temp[k].Temp_HiLimit = temps.hiLimit[static_cast<std::size_t>(k)];
    d.tempCaptionPreset[k] = temps.captionPreset[static_cast<std::size_t>(k)];
  }
  return d;
}

}  // namespace veltrix::monitor
