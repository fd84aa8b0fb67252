// The fan timer: once a second it hands the fans to the method in force, except that from
// 55 °C on the CPU both fans run at full output. Also where the methods read temperatures.
#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/text/text.h"

namespace veltrix::monitor {

namespace {
constexpr float kOverrideCelsius = 55.0F;

}  // namespace

float frmdoctor::TemperatureOf(int k) const {
  return static_cast<float>(CaptionValue(lblStatusT[k].Caption.Get()));
}

int frmdoctor::CpuFanTempItem() const {
  return ItemPresent[kFirstTempItem + 2] != 0 && AllTempPath == 0 ? 2 : 1;
}

void frmdoctor::FanTimer_Timer() {
  if (TemperatureOf(1) >= kOverrideCelsius) {
    SetFanSpeed(program_, 0, 100);
    SetFanSpeed(program_, 1, 100);
    CpuFanPercent = 100;
    SystemFanPercent = 100;
    return;
  }
  if (FanControlEnabled) {
    FanControlCentral(FanControlMethod);
  } else if (FanControlMethod == kFanMethodNone) {
    SetFanSpeed(program_, 0, 100);
    SetFanSpeed(program_, 1, 100);
    if (program_.G().ChipFamily == kChipFamilyIte) SetFanSpeed(program_, 2, 100);
    // A fan whose row does not show a speed is not animated as running.
    CpuFanPercent = IsNumericCaption(lblFanSpeed[0].Caption.Get()) ? 100 : 0;
    SystemFanPercent = IsNumericCaption(lblFanSpeed[1].Caption.Get()) ? 100 : 0;
  }
  // Drives that were reset (a new disc, a bus reset) get the chosen speed again every second.
  CdromSpeedTick();
}

void frmdoctor::FanControlCentral(std::int32_t method) {
  switch (method) {
    case kFanMethodMultiLevel:
      MultiFanControl();
      break;
    case kFanMethodFixed:
      SetFanSpeed(program_, 0, static_cast<std::int16_t>(FixCPUFanSpeed));
      SetFanSpeed(program_, 1, static_cast<std::int16_t>(FixSystemFanSpeed));
      // The animation and the bars follow the outputs again after a spell at full output.
      ShowFixedPercents(program_);
      break;
    case kFanMethodSmart:
      SmartFanControl();
      break;
    case kFanMethodRecommended:
      ApplyRecommendedFanSpeed(program_, std::string(text::Trim(lblCPU_.Caption.Get(), " ")), TemperatureOf(1));
      break;
    default:
      break;
  }
}

}  // namespace veltrix::monitor
