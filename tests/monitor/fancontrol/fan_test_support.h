#pragma once
// Shared pieces of the fan-control tests: started programs on boards with fan control, the
// main window, the chip's fan outputs and the FANControl key.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "monitor/channels/fan_output.h"
#include "monitor/fancontrol/fan_store.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor::fantest {

using testsupport::SimProgram;
using testsupport::SimProgramOptions;

// Boards with fan control, one per chip the methods write differently.
inline constexpr const char* kWinbond627 = "ZQ76";    // W83627HF: outputs 0x5A / 0x5B
inline constexpr const char* kWinbond697 = "ZV62PRO";  // W83697HF: outputs 0x01 / 0x03
inline constexpr const char* kIte = "ZR61";            // IT8712F: outputs 0x15..0x17
inline constexpr const char* kNoFanControl = "ZQ52";

inline std::string ProgramFolder() {
  return std::string(VELTRIX_SOURCE_DIR) + "/assets/program-folder";
}

// A started program, its main window shown on the Hushwind page.
inline std::unique_ptr<SimProgram> Started(const std::string& model, SimProgramOptions options = {}) {
  if (options.programDir.empty()) options.programDir = ProgramFolder();
  auto p = std::make_unique<SimProgram>(model, options);
  const auto ended = p->Start();
  EXPECT_EQ(ended, std::nullopt) << model << (p->Boxes().empty() ? "" : ": " + p->Boxes().back().text);
  return p;
}

inline frmdoctor& Main(SimProgram& p) {
  return p.Prog().frmdoctor();
}

inline void ShowHushwindPage(SimProgram& p) {
  Main(p).Show();
  Main(p).SSTabMain.UserSelectTab(3);
}

// The chip's drive output register of fan 0 or 1 (bank 0 on Winbond chips).
inline int Output(SimProgram& p, int fan) {
  const std::uint32_t chip = p.G().ChipId;
  std::uint8_t reg = static_cast<std::uint8_t>(0x15 + fan);  // ITE
  if (chip == kChipW83627HF) reg = static_cast<std::uint8_t>(0x5A + fan);
  if (chip == kChipW83697HF || chip == kChipW83637HF) reg = fan == 0 ? 0x01 : 0x03;
  return p.Machine().Chip().GetRegister(0, reg);
}

// The temperature captions the methods read: system (0), CPU (1), third (2).
inline void SetTemperatures(SimProgram& p, const std::string& system, const std::string& cpu,
                            const std::string& third = "0.0") {
  Main(p).lblStatusT[0].Caption = system;
  Main(p).lblStatusT[1].Caption = cpu;
  Main(p).lblStatusT[2].Caption = third;
}

inline std::vector<std::uint8_t> Dword(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}
inline std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

inline void PlantFan(platform::MemoryRegistry& reg, const std::string& name, std::uint32_t type,
                     const std::vector<std::uint8_t>& data) {
  platform::HKey key = 0;
  ASSERT_EQ(reg.RegCreateKeyA(platform::HKEY_LOCAL_MACHINE, kFanControlKey, &key), platform::ERROR_SUCCESS);
  reg.RegSetValueExA(key, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
  reg.RegCloseKey(key);
}

// Type and bytes of a stored FANControl value ("" when missing), e.g. "4:64 00 00 00" or "1:41".
inline std::string Stored(platform::MemoryRegistry& reg, const std::string& name) {
  const auto v = reg.ReadValue(kFanControlKey, name);
  if (!v) return "";
  std::string out = std::to_string(v->type) + ":";
  if (v->type == platform::REG_SZ) return out + std::string(v->data.begin(), v->data.end());
  for (std::size_t i = 0; i < v->data.size(); ++i) {
    static const char* hex = "0123456789abcdef";
    out += (i ? " " : "") + std::string{hex[v->data[i] >> 4], hex[v->data[i] & 15]};
  }
  return out;
}

}  // namespace veltrix::monitor::fantest
