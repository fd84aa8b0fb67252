#include "monitor/startup/last_resort_restore.h"

#include <cstdint>

#include "monitor/channels/fan_output.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"

namespace veltrix::monitor {
namespace {

constexpr std::uint8_t kBankSelect = 0x4E;
constexpr std::uint8_t kBankSelectKeep = 0x80;  // HBACS: which vendor-id byte 0x4F shows
constexpr std::uint8_t kBeepControl = 0x57;

class OpList {
 public:
  OpList(Program& program) : index_(program.G().HmIndexPort) {}
  void Write(std::uint16_t port, std::uint8_t value) { ops_.push_back({port, value, 0}); }
  void Modify(std::uint16_t port, std::uint8_t keep, std::uint8_t set) { ops_.push_back({port, set, keep}); }
  void Monitor(std::uint8_t reg, std::uint8_t value) {
    Write(index_, reg);
    Write(static_cast<std::uint16_t>(index_ + 1), value);
  }
  // SelectBank, as a read-modify-write of 0x4E that keeps bit 7.
  void Bank(std::uint8_t bank) {
    Write(index_, kBankSelect);
    Modify(static_cast<std::uint16_t>(index_ + 1), kBankSelectKeep, bank);
  }
  std::vector<platform::RestoreOp> Take() { return std::move(ops_); }

 private:
  std::uint16_t index_;
  std::vector<platform::RestoreOp> ops_;
};

}  // namespace

std::vector<platform::RestoreOp> LastResortOps(Program& program) {
  const auto& g = program.G();
  const bool winbond = g.ChipFamily == kChipFamilyWinbond;
  const bool armed = program.ChipProgrammed();
  OpList ops(program);

  if (winbond && armed) {
    ops.Bank(4);
    for (std::uint8_t reg : {std::uint8_t{0x54}, std::uint8_t{0x55}, std::uint8_t{0x56}}) ops.Monitor(reg, 0);
  }
  // The fans the orderly exit sets to full (0 and 1) once start-up is done, and any other
  // fan output this run programmed.
  const auto changed = static_cast<std::uint8_t>(program.FanOutputsChanged() | (armed ? 0x03 : 0x00));
  if (changed != 0) {
    if (winbond) ops.Bank(0);
    const auto full = static_cast<std::uint8_t>(static_cast<int>(FanPercentToOutput(program, 100)) & 0xFF);
    for (int fan = 0; fan < 3; ++fan) {
      if ((changed & (1U << fan)) == 0) continue;
      if (const std::uint8_t reg = FanOutputRegister(program, static_cast<std::int16_t>(fan)); reg != 0) {
        ops.Monitor(reg, full);
      }
    }
  }
  if (armed) {
    if (winbond) {
      ops.Bank(0);
      ops.Monitor(kBeepControl, 0);
    }
    ops.Modify(kSystemControlPort, 0xEC, 0);  // SpeakerOff
    if (program.StartupActivatedMonitor()) {
      for (const PortWrite& w : ConfigRegisterWrites(program, 0x30, 0)) ops.Write(w.port, w.value);
    }
  }
  return ops.Take();
}

void RefreshLastResort(Program& program) {
  const std::vector<platform::RestoreOp> ops = LastResortOps(program);
  program.LastResort().Set(ops);
}

void ArmLastResort(Program& program) {
  program.SetChipProgrammed(true);
  RefreshLastResort(program);
}

void DisarmLastResort(Program& program) {
  program.SetChipProgrammed(false);
  program.LastResort().Clear();
}

}  // namespace veltrix::monitor
