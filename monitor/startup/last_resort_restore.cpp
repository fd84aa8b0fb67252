#include "monitor/startup/last_resort_restore.h"

#include <cstdint>

#include "monitor/channels/fan_output.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"

namespace veltrix::monitor {
namespace {

class OpList {
 public:
  OpList(Program& program) : index_(program.G().HmIndexPort) {}
  void Write(std::uint16_t port, std::uint8_t value) { ops_.push_back({port, value, 0}); }
  void Modify(std::uint16_t port, std::uint8_t keep, std::uint8_t set) { ops_.push_back({port, set, keep}); }
  void Monitor(std::uint8_t reg, std::uint8_t value) {
    Write(index_, reg);
    Write(superio::MonitorDataPort(index_), value);
  }
  // SelectBank, as a read-modify-write of the bank select register that keeps HBACS.
  void Bank(std::uint8_t bank) {
    Write(index_, winbond::kBankSelect);
    Modify(superio::MonitorDataPort(index_), winbond::kHbacs, bank);
  }
  std::vector<platform::RestoreOp> Take() { return std::move(ops_); }

 private:
  std::uint16_t index_;
  std::vector<platform::RestoreOp> ops_;
};

}  // namespace

std::vector<platform::RestoreOp> LastResortOps(Program& program) {
  const auto& g = program.G();
  const bool isWinbond = g.ChipFamily == kChipFamilyWinbond;
  const bool armed = program.ChipProgrammed();
  OpList ops(program);

  if (isWinbond && armed) {
    static_assert(winbond::kTemp1Offset.bank == winbond::kTemp3Offset.bank);
    ops.Bank(winbond::kTemp1Offset.bank);
    for (const winbond::BankedRegister reg :
         {winbond::kTemp1Offset, winbond::kTemp2Offset, winbond::kTemp3Offset}) {
      ops.Monitor(reg.reg, 0);
    }
  }
  // The fans the orderly exit sets to full (0 and 1) once start-up is done, and any other
  // fan output this run programmed.
  const auto changed = static_cast<std::uint8_t>(program.FanOutputsChanged() | (armed ? 0x03 : 0x00));
  if (changed != 0) {
    if (isWinbond) ops.Bank(winbond::kBank0);  // the W83627HF's PWM registers
    const auto full = static_cast<std::uint8_t>(static_cast<int>(FanPercentToOutput(program, 100)) & 0xFF);
    for (int fan = 0; fan < 3; ++fan) {
      if ((changed & (1U << fan)) == 0) continue;
      if (const std::uint8_t reg = FanOutputRegister(program, static_cast<std::int16_t>(fan)); reg != 0) {
        ops.Monitor(reg, full);
      }
    }
  }
  if (armed) {
    if (isWinbond) {
      ops.Bank(winbond::kBeepControl2.bank);
      ops.Monitor(winbond::kBeepControl2.reg, 0);
    }
    ops.Modify(kSystemControlPort, kSpeakerOffKeep, 0);  // SpeakerOff
    if (program.StartupActivatedMonitor()) {
      for (const PortWrite& w : ConfigRegisterWrites(program, superio::kActivate, 0))
        ops.Write(w.port, w.value);
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
