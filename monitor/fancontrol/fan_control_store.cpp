// The fan-control state in the FANControl key: loading it at start-up (with first-start
// defaults when the key is missing) and saving it with the settings page's "Save".
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/fancontrol/fan_store.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

constexpr const char* kEnableName = "EnableFanControl";
constexpr const char* kMethodName = "FanControlMethod";

bool KnownMethod(std::uint32_t method) {
  return method <= static_cast<std::uint32_t>(kFanMethodRecommended) ||
         method == static_cast<std::uint32_t>(kFanMethodNone);
}

// The two values of the fan-control state itself, then the page follows.
void LoadStateValues(frmdoctor& main, platform::Registry& reg, UnusableValues* unusable) {
  platform::HKey key = 0;
  if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key) != platform::ERROR_SUCCESS) return;
  if (const auto enabled = LoadFanDword(reg, key, kEnableName, unusable)) main.FanControlEnabled = *enabled == 1;
  if (const auto method = LoadFanDword(reg, key, kMethodName, unusable)) {
    if (KnownMethod(*method)) {
      main.FanControlMethod = static_cast<std::int32_t>(*method);
    } else {
      // No option to show and no method to run: taken as no method at all.
      main.FanControlMethod = kFanMethodNone;
      if (unusable != nullptr) unusable->push_back(kMethodName);
    }
  }
  main.ReadFanControl();
  reg.RegCloseKey(key);
}

}  // namespace

void frmdoctor::LoadFanControlFromReg() {
  LoadStateValues(*this, program_.Reg(), nullptr);
}

void frmdoctor::LoadFANControlSetting() {
  auto& reg = program_.Reg();
  platform::HKey key = 0;
  if (reg.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key) != platform::ERROR_SUCCESS) {
    // First start: the defaults become the stored settings, in one durable write.
    reg.BeginBatch();
    DefaultFanControlStatus();
    SaveFanControlToReg();
    DefaultMultipleControl(program_);
    SaveMultipleControlToReg(program_);
    DefaultFixControl(program_);
    SaveFixControlToReg(program_);
    DefaultSmartFan(program_);
    SaveSmartControlToReg(program_);
    reg.EndBatch();  // a store that cannot keep them tries again at the next start
  } else {
    UnusableValues unusable;
    LoadStateValues(*this, reg, &unusable);
    LoadMultipleControlFromReg(program_, &unusable);
    LoadFixControlFromReg(program_, &unusable);
    LoadSmartControlFromReg(program_, &unusable);
    reg.RegCloseKey(key);
    ReportUnusableFanValues(program_, unusable);
  }
  // The smart method starts from its targets.
  LastCpuTemp = SmartCPUFanDefault;
  LastSystemTemp = SmartSystemFanDefault;
}

void frmdoctor::SaveFanControlToReg() {
  auto& reg = program_.Reg();
  platform::HKey key = 0;
  if (reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key) != platform::ERROR_SUCCESS) return;
  StoreFanDword(reg, key, kEnableName, FanControlEnabled ? 1U : 0U);
  StoreFanDword(reg, key, kMethodName, static_cast<std::uint32_t>(FanControlMethod));
  reg.RegCloseKey(key);
}

void frmdoctor::SaveFANControlSetting() {
  SaveFanControlToReg();
  SaveMultipleControlToReg(program_);
  SaveFixControlToReg(program_);
  SaveSmartControlToReg(program_);
}

}  // namespace veltrix::monitor
