// Which items the board has, the built-in limit defaults, and the Limit key of the registry.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "monitor/boards/board_tables.h"
#include "monitor/channels/limit_defaults.h"
#include "monitor/channels/number_format.h"
#include "monitor/chip/chip_setup.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/exit_status.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/registry/registry.h"

namespace veltrix::monitor {

namespace {

constexpr const char* kLimitKey = "SYSTEM\\CurrentControlSet\\Services\\Halvane\\Limit";
constexpr const char* kDriverModuleKey = "System\\CurrentControlSet\\Services\\ZIVIZIZI\\MB_Module";
constexpr const char* kVoltageFields[] = {"LoBound", "HiBound", "LoLimit", "HiLimit", "Factor"};

float& VoltageField(VoltageChannelRecord& r, int field) {
  switch (field) {
    case 0:
      return r.LoBound;
    case 1:
      return r.HiBound;
    case 2:
      return r.LoLimit;
    case 3:
      return r.HiLimit;
    default:
      return r.Factor;
  }
}

float VoltageField(const VoltageChannelRecord& r, int field) {
  return VoltageField(const_cast<VoltageChannelRecord&>(r), field);  // NOLINT: read only
}

std::string ValueName(const char* field, int index) {
  return field + std::to_string(index);
}

// REG_SZ text of a value; nothing when the value is missing or not text.
std::optional<std::string> QueryText(platform::Registry& reg, platform::HKey key, const std::string& name) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (reg.RegQueryValueExA(key, name, &type, nullptr, &size) != platform::ERROR_SUCCESS) return std::nullopt;
  if (type != platform::REG_SZ) return std::nullopt;
  std::vector<std::uint8_t> data(size);
  if (size > 0 && reg.RegQueryValueExA(key, name, &type, data.data(), &size) != platform::ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(data.begin(), data.begin() + size);
}

std::optional<std::uint32_t> QueryDword(platform::Registry& reg, platform::HKey key,
                                        const std::string& name) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (reg.RegQueryValueExA(key, name, &type, nullptr, &size) != platform::ERROR_SUCCESS) return std::nullopt;
  if (type != platform::REG_DWORD || size != 4) return std::nullopt;
  std::uint8_t data[4] = {};
  if (reg.RegQueryValueExA(key, name, &type, data, &size) != platform::ERROR_SUCCESS) return std::nullopt;
  std::uint32_t value = 0;
  std::memcpy(&value, data, 4);  // little-endian, as the registry stores a DWORD
  return value;
}

void SetText(platform::Registry& reg, platform::HKey key, const std::string& name, const std::string& text) {
  reg.RegSetValueExA(key, name, platform::REG_SZ, reinterpret_cast<const std::uint8_t*>(text.data()),
                     static_cast<std::uint32_t>(text.size()));
}

void SetDword(platform::Registry& reg, platform::HKey key, const std::string& name, std::uint32_t value) {
  std::uint8_t data[4];
  std::memcpy(data, &value, 4);
  reg.RegSetValueExA(key, name, platform::REG_DWORD, data, 4);
}

bool SaneVolts(float v) {
  return std::isfinite(v) && std::fabs(v) <= 100.0F;
}
bool SaneFactor(float v) {
  return std::isfinite(v) && v > 0.0F && v <= 1.0F;
}
bool SaneDivisor(std::int16_t d) {
  return d == 1 || d == 2 || d == 4 || d == 8 || d == 16 || d == 32 || d == 64 || d == 128;
}
bool SaneDegrees(float v) {
  return std::isfinite(v) && v >= -128.0F && v <= 255.0F;
}

}  // namespace

void frmdoctor::BuildBoardItemTable() {
  auto& g = program_.G();
  ItemPresent.fill(1);
  ItemBeepCapable.fill(1);
  auto markAbsent = [&](int item) {
    ItemPresent[item] = 0;
    ItemBeepCapable[item] = 0;
  };
  if (g.ChipFamily == kChipFamilyWinbond) markAbsent(1);
  const boards::ItemDecision decision = boards::ItemDecisionFor(g.ChipId, g.ModelName);
  if (decision.refused) {
    const std::string& prefix = g.LangPrefix;
    program_.Sys().MsgBox(Text(prefix, 342).value_or("Mainboard choose error!!"), platform::vbCritical,
                          Text(prefix, 335).value_or(kAppTitle));
    if (g.ChipId == kChipW83697HF) {
      // Leave the chip and the driver service as they were before the program ran.
      program_.Reg().RegDeleteKeyA(platform::HKEY_LOCAL_MACHINE, kDriverModuleKey);
      SpeakerOff(program_);
      SelectBank(program_, winbond::kBeepControl2.bank);
      WriteMonitorRegister(program_, winbond::kBeepControl2.reg, 0);
      if (program_.StartupActivatedMonitor()) WriteConfigRegister(program_, superio::kActivate, 0);
    }
    EndProgram(kExitBoardRefused);
  }
  for (int item = 0; item < kItemCount; ++item) {
    if ((decision.absentItems & boards::ItemBit(item)) != 0) markAbsent(item);
  }
}

void frmdoctor::LoadLimitDefaults() {
  const ChannelDefaults d = DefaultChannels(program_);
  const VoltageChannelRecord vcore = VoltageChannel[0];
  for (int i = 0; i < kVoltageCount; ++i) {
    if (d.voltageInstalled.test(static_cast<std::size_t>(i))) VoltageChannel[i] = d.voltage[i];
  }
  // An unknown chip keeps item 0's limits as they were.
  VoltageChannel[0].LoLimit = vcore.LoLimit;
  VoltageChannel[0].HiLimit = vcore.HiLimit;
  SetDefaultVcoreLimits(program_, VoltageChannel[0].LoLimit, VoltageChannel[0].HiLimit);
  FanChannel = d.fan;
  TempChannel = d.temp;
  for (int k = 0; k < kTempCount; ++k) {
    if (d.tempCaptionPreset[k]) lblTempHiLimit[k].Caption = "60.00";
  }
  for (int k = 0; k < kItemCount; ++k) {
    WEnable[k] = ItemPresent[k] == 0 ? 0 : 1;
    WErr1[k] = 1;
    WErr3[k] = 0;
    WBeep[k] = ItemBeepCapable[k] == 0 ? 0 : 1;
  }
  program_.G().FirstBoot = -1;
}

void frmdoctor::LoadLimitStore() {
  auto& reg = program_.Reg();
  auto& sys = program_.Sys();
  platform::HKey key = 0;
  if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kLimitKey, &key) != platform::ERROR_SUCCESS) {
    LoadLimitDefaults();
    SaveLimitStore();
    return;
  }
  const char separator = sys.DecimalSeparator();
  // A value that is there but not a number is replaced by the board's default.
  const ChannelDefaults d = DefaultChannels(program_);
  std::vector<std::string> unusable;
  for (int i = 0; i < kVoltageCount; ++i) {
    for (int field = 0; field < 5; ++field) {
      const std::string name = ValueName(kVoltageFields[field], i);
      std::uint32_t type = 0;
      std::uint32_t size = 0;
      if (reg.RegQueryValueExA(key, name, &type, nullptr, &size) != platform::ERROR_SUCCESS) {
        sys.MsgBox("Read " + name + " failed !", platform::vbOKOnly, kAppTitle);
        continue;
      }
      const std::optional<std::string> text = QueryText(reg, key, name);
      const std::optional<float> value = text ? RegistryTextToFloat(*text, separator) : std::nullopt;
      VoltageField(VoltageChannel[i], field) = value ? *value : VoltageField(d.voltage[i], field);
      if (!value) unusable.push_back(name);
    }
  }
  for (int j = 0; j < kFanCount; ++j) {
    if (auto v = QueryDword(reg, key, ValueName("Fan_Divisor", j)))
      FanChannel[j].Fan_Divisor = static_cast<std::int16_t>(*v);
    if (auto v = QueryDword(reg, key, ValueName("Fan_Limit", j)))
      FanChannel[j].Fan_Limit = static_cast<std::int16_t>(*v);
    for (int field = 0; field < 2; ++field) {
      const std::string name = ValueName(field == 0 ? "Temp_LoLimit" : "Temp_HiLimit", j);
      const std::optional<std::string> text = QueryText(reg, key, name);
      if (!text) continue;
      const std::optional<float> value = RegistryTextToFloat(*text, separator);
      const TempChannelRecord& fallback = d.temp[j];
      (field == 0 ? TempChannel[j].Temp_LoLimit : TempChannel[j].Temp_HiLimit) =
          value ? *value : (field == 0 ? fallback.Temp_LoLimit : fallback.Temp_HiLimit);
      if (!value) unusable.push_back(name);
    }
  }
  for (int k = 0; k < kItemCount; ++k) {
    if (auto v = QueryDword(reg, key, ValueName("WEnable", k))) WEnable[k] = static_cast<std::uint8_t>(*v);
    if (auto v = QueryDword(reg, key, ValueName("WErr1", k))) WErr1[k] = static_cast<std::uint8_t>(*v);
    if (auto v = QueryDword(reg, key, ValueName("WErr3", k))) WErr3[k] = static_cast<std::uint8_t>(*v);
    if (auto v = QueryDword(reg, key, ValueName("WBeep", k))) WBeep[k] = static_cast<std::uint8_t>(*v);
    if (ItemPresent[k] == 0) WEnable[k] = 0;
    if (ItemBeepCapable[k] == 0) WBeep[k] = 0;
  }
  if (auto v = QueryDword(reg, key, "FirstBoot")) program_.G().FirstBoot = *v == 1 ? -1 : 0;
  reg.RegCloseKey(key);
  ApplyTempCaptionPresets();

  // Values that would divide by zero, overflow a register or make no physical sense are
  // replaced by the board's defaults, and the user is told which.
  for (int i = 0; i < kVoltageCount; ++i) {
    for (int field = 0; field < 5; ++field) {
      float& v = VoltageField(VoltageChannel[i], field);
      const bool sane = field == 4 ? SaneFactor(v) : SaneVolts(v);
      // A zero bound or limit is a reading of the previous value on a fresh start; only the
      // factor must not be zero.
      if (!sane) {
        const float fallback = VoltageField(d.voltage[i], field);
        v = field == 4 && !SaneFactor(fallback) ? 0.016F : fallback;
        unusable.push_back(ValueName(kVoltageFields[field], i));
      }
    }
  }
  for (int j = 0; j < kFanCount; ++j) {
    if (!SaneDivisor(FanChannel[j].Fan_Divisor)) {
      FanChannel[j].Fan_Divisor = d.fan[j].Fan_Divisor;
      unusable.push_back(ValueName("Fan_Divisor", j));
    }
    if (FanChannel[j].Fan_Limit < 1 || FanChannel[j].Fan_Limit > 255) {
      FanChannel[j].Fan_Limit = d.fan[j].Fan_Limit;
      unusable.push_back(ValueName("Fan_Limit", j));
    }
    if (!SaneDegrees(TempChannel[j].Temp_LoLimit)) {
      TempChannel[j].Temp_LoLimit = d.temp[j].Temp_LoLimit;
      unusable.push_back(ValueName("Temp_LoLimit", j));
    }
    if (!SaneDegrees(TempChannel[j].Temp_HiLimit)) {
      TempChannel[j].Temp_HiLimit = d.temp[j].Temp_HiLimit;
      unusable.push_back(ValueName("Temp_HiLimit", j));
    }
  }
  if (!unusable.empty()) {
    std::vector<std::string> named;  // a value rejected when read and when checked is named once
    std::string list;
    for (const std::string& name : unusable) {
      if (std::find(named.begin(), named.end(), name) != named.end()) continue;
      named.push_back(name);
      list += (list.empty() ? "" : ", ") + name;
    }
    sys.MsgBox("The stored limits " + list + " in HKEY_LOCAL_MACHINE\\" + kLimitKey +
                   " are not usable; the built-in defaults are used instead.",
               platform::vbOKOnly | platform::vbExclamation, "Warning");
  }
}

void frmdoctor::SaveLimitStore() {
  auto& reg = program_.Reg();
  platform::HKey key = 0;
  if (reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kLimitKey, &key) != platform::ERROR_SUCCESS) {
    program_.Sys().MsgBox("Save setting failed !", platform::vbCritical, "Error");
    return;
  }
  const char separator = program_.Sys().DecimalSeparator();
  for (int i = 0; i < kVoltageCount; ++i) {
    for (int field = 0; field < 5; ++field) {
      SetText(reg, key, ValueName(kVoltageFields[field], i),
              FloatToRegistryText(VoltageField(VoltageChannel[i], field), separator));
    }
  }
  for (int j = 0; j < kFanCount; ++j) {
    SetDword(reg, key, ValueName("Fan_Divisor", j),
             static_cast<std::uint32_t>(static_cast<std::int32_t>(FanChannel[j].Fan_Divisor)));
    SetDword(reg, key, ValueName("Fan_Limit", j),
             static_cast<std::uint32_t>(static_cast<std::int32_t>(FanChannel[j].Fan_Limit)));
    SetText(reg, key, ValueName("Temp_LoLimit", j),
            FloatToRegistryText(TempChannel[j].Temp_LoLimit, separator));
    SetText(reg, key, ValueName("Temp_HiLimit", j),
            FloatToRegistryText(TempChannel[j].Temp_HiLimit, separator));
  }
  for (int k = 0; k < kItemCount; ++k) {
    SetDword(reg, key, ValueName("WEnable", k), WEnable[k]);
    SetDword(reg, key, ValueName("WErr1", k), WErr1[k]);
    SetDword(reg, key, ValueName("WErr3", k), WErr3[k]);
    SetDword(reg, key, ValueName("WBeep", k), WBeep[k]);
  }
  SetDword(reg, key, "FirstBoot", program_.G().FirstBoot != 0 ? 1 : 0);
  reg.RegCloseKey(key);
}

void frmdoctor::ApplyTempCaptionPresets() {
  const boards::TempLimitDefaults temps = boards::TempLimitDefaultsFor(program_.G().ModelName);
  for (int k = 0; k < kTempCount; ++k) {
    if (!temps.captionPreset[static_cast<std::size_t>(k)]) continue;
    lblTempHiLimit[k].Caption = "60.00";
    sldTemp[k].Value = RoundHalfEven(CaptionValue(lblTempHiLimit[k].Caption.Get()));
  }
}

}  // namespace veltrix::monitor
