#pragma once
// Built-in defaults of the channel records, by board wiring, chip and model.
#include <array>
#include <bitset>

#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

struct ChannelDefaults {
  std::array<VoltageChannelRecord, kVoltageCount> voltage{};
  // Items whose voltage defaults exist on this wiring (a wiring above 5 has only 0 and 8).
  std::bitset<kVoltageCount> voltageInstalled;
  std::array<FanChannelRecord, kFanCount> fan{};
  std::array<TempChannelRecord, kTempCount> temp{};
  std::array<bool, kTempCount> tempCaptionPreset{};  // lblTempHiLimit shows "60.00"
};

ChannelDefaults DefaultChannels(Program& program);

}  // namespace veltrix::monitor
