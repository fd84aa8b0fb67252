// The CD-ROM controls of the fan-control page and their store: the box switches the slider on
// and off, a slider move sends its speed at once, the fan timer repeats it while the box is
// checked.
//
// Key HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Halvane\CDROMControl, REG_DWORDs:
//   EnableControl  1 when the box is checked, else 0 (only 1 reads back as checked)
//   Speed          slider position × 2
#include "monitor/channels/number_format.h"
#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/program.h"
#include "monitor/settings/general_settings.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

std::uint8_t SpeedOf(const forms::Slider& slider) {
  return static_cast<std::uint8_t>(2 * slider.Value);
}

}  // namespace

void frmdoctor::WireCdromEvents() {
  chkControlCDROMSpeed.OnClick = [this] { chkControlCDROMSpeed_Click(); };
  SldRotationSpeed.OnChange = [this] { SldRotationSpeed_Change(); };
}

void frmdoctor::chkControlCDROMSpeed_Click() {
  SldRotationSpeed.Enabled = chkControlCDROMSpeed.Value == 1;
}

void frmdoctor::SldRotationSpeed_Change() {
  // A person can move the slider only while it is enabled; a position set from code while it
  // is disabled (control off, "Load Default") sends nothing.
  if (!SldRotationSpeed.Enabled) return;
  SetCdromSpeed(program_, SpeedOf(SldRotationSpeed));
}

void frmdoctor::CdromSpeedTick() {
  if (chkControlCDROMSpeed.Value == 1) SetCdromSpeed(program_, SpeedOf(SldRotationSpeed));
}

void frmdoctor::LoadCDROMControlSetting() {
  auto& reg = program_.Reg();
  platform::HKey key = 0;
  if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kCdromControlKey, &key) != platform::ERROR_SUCCESS) {
    // First start: the key is made from the controls as created (unchecked, Speed = 20).
    SaveCDROMControlToReg();
    return;
  }
  if (const auto enabled = ReadSettingDword(reg, key, "EnableControl")) {
    chkControlCDROMSpeed.Value = *enabled == 1 ? 1 : 0;
  }
  if (const auto speed = ReadSettingDword(reg, key, "Speed")) {
    // The program stores even values; an odd one rounds half to even. The slider keeps the
    // position within 0..26.
    SldRotationSpeed.Value = RoundHalfEven(static_cast<double>(*speed) / 2.0);
  }
  reg.RegCloseKey(key);
}

void frmdoctor::SaveCDROMControlToReg() {
  auto& reg = program_.Reg();
  platform::HKey key = 0;
  if (reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kCdromControlKey, &key) != platform::ERROR_SUCCESS)
    return;
  reg.BeginBatch();  // both values in one save
  WriteSettingDword(reg, key, "EnableControl", chkControlCDROMSpeed.Value == 1 ? 1U : 0U);
  WriteSettingDword(reg, key, "Speed", static_cast<std::uint32_t>(2 * SldRotationSpeed.Value));
  reg.EndBatch();
  reg.RegCloseKey(key);
}

}  // namespace veltrix::monitor
