#include "sim/dump/dump_apply.h"

#include "sim/chip/ite.h"
#include "sim/chip/winbond.h"

namespace veltrix::sim {
namespace {

std::string Where(const RegisterDump& dump, const DumpTable& t) {
  return dump.fileName + ":" + std::to_string(t.line) + ": ";
}

// The table whose unbanked registers are applied: bank 0 (or no bank stated), else the first.
const DumpTable* MainMonitorTable(const RegisterDump& dump) {
  const DumpTable* first = nullptr;
  for (const DumpTable& t : dump.tables) {
    if (IdentifyTable(t).kind != DumpKind::kMonitor) continue;
    if (!first) first = &t;
    if (t.bank.value_or(0) == 0) return &t;
  }
  return first;
}

const DumpTable* BankTable(const RegisterDump& dump, int bank) {
  for (const DumpTable& t : dump.tables) {
    if (IdentifyTable(t).kind == DumpKind::kMonitor && t.bank.value_or(0) == bank) return &t;
  }
  return nullptr;
}

double SignedByte(std::uint8_t b) {
  return static_cast<double>(static_cast<std::int8_t>(b));
}

}  // namespace

std::string CheckDumpFits(const RegisterDump& dump, ChipModel chip) {
  const SuperIoVendor vendor = ChipVendorOf(chip);
  const std::string chipName = ChipModelName(chip);
  if (dump.tables.empty()) return dump.fileName + ":1: no register table";
  for (const DumpTable& t : dump.tables) {
    DumpIdentity id = IdentifyTable(t);
    if (id.kind == DumpKind::kUnknown) return Where(dump, t) + id.description;
    if (id.vendor != vendor) return Where(dump, t) + id.description + ", but this board has a " + chipName;
    if (!id.chipId) continue;
    std::optional<ChipModel> dumped = id.kind == DumpKind::kMonitor
                                          ? ChipFromMonitorId(static_cast<std::uint8_t>(*id.chipId))
                                          : ChipFromConfigId(vendor, *id.chipId);
    if (!dumped) return Where(dump, t) + id.description + " is not one of the simulated chips";
    if (*dumped != chip) {
      return Where(dump, t) + id.description + " is a " + ChipModelName(*dumped) + ", but this board has a " +
             chipName;
    }
  }
  return {};
}

std::vector<StuckReading> ApplyDump(const RegisterDump& dump, const BoardProfile& profile, SimChip& chip,
                                    SensorPhysics& physics) {
  std::vector<StuckReading> stuck;
  const bool winbond = chip.Vendor() == SuperIoVendor::Winbond;

  // Configuration space: the logical device's registers as the BIOS left them. The global
  // registers (keys, ids, LDN select) stay the chip's own.
  for (const DumpTable& t : dump.tables) {
    if (IdentifyTable(t).kind != DumpKind::kConfigSpace) continue;
    int ldn = t.bank.value_or(t.At(0x07).value_or(chip.MonitorLdn()));
    for (int i = 0x30; i < 0x100; ++i) {
      if (auto v = t.At(i))
        chip.Config().SetRegister(static_cast<std::uint8_t>(ldn), static_cast<std::uint8_t>(i), *v);
    }
  }

  // Monitor registers. The 0x80..0xFF half mirrors the first (with clear-on-read registers
  // already cleared), so only 0x00..0x7F is taken.
  const DumpTable* main = MainMonitorTable(dump);
  if (!main) return stuck;
  for (const DumpTable& t : dump.tables) {
    if (IdentifyTable(t).kind != DumpKind::kMonitor) continue;
    const int bank = t.bank.value_or(0);
    for (int i = 0; i < 0x80; ++i) {
      auto v = t.At(i);
      if (!v) continue;
      const bool banked = winbond && i >= 0x50 && i <= 0x5F;
      if (!banked && &t != main) continue;
      if (winbond && (i == 0x4E || i == 0x4F || i >= 0x60)) continue;  // bank select, vendor id, aliases
      if (i == 0x58 && (!winbond || bank == 0)) continue;              // id registers
      chip.SetRegister(banked ? bank : 0, static_cast<std::uint8_t>(i), *v);
    }
  }

  // Voltages: the pin voltage that converts to the dumped count.
  auto pinFromCount = [](std::uint8_t c) { return c * kAdcVoltsPerCount; };
  if (winbond) {
    const bool vrm9 = chip.Model() == ChipModel::W83637HF && (chip.GetRegister(0, 0x18) & 0x01) != 0;
    for (int n = 0; n <= 6; ++n) {
      if (auto c = main->At(0x20 + n)) {
        double pin = pinFromCount(*c);
        if (n == 0 && vrm9) pin = (*c * 4.88 + 700.0) / 1000.0;
        physics.SetPinVolts(n, pin);
      }
    }
    if (const DumpTable* b5 = BankTable(dump, 5)) {
      if (auto c = b5->At(0x50)) physics.SetPinVolts(7, pinFromCount(*c));  // through the 5VSB divider
      if (auto c = b5->At(0x51)) physics.SetPinVolts(8, pinFromCount(*c));
    }
    if (auto c = main->At(0x27)) physics.HoldTemperature(0, physics.RealFromReading(0, SignedByte(*c)));
    for (int k = 1; k <= 2; ++k) {
      const DumpTable* bt = BankTable(dump, k);
      if (!bt) continue;
      auto msb = bt->At(0x50), lsb = bt->At(0x51);
      if (msb) {
        const double reading = SignedByte(*msb) + ((lsb && (*lsb & 0x80)) ? 0.5 : 0.0);
        physics.HoldTemperature(k, physics.RealFromReading(k, reading));
      }
    }
  } else {
    for (int n = 0; n <= 8; ++n) {
      if (auto c = main->At(0x20 + n)) physics.SetPinVolts(n, pinFromCount(*c));
    }
    for (int k = 0; k < 3; ++k) {
      if (auto c = main->At(0x29 + k)) physics.HoldTemperature(k, physics.RealFromReading(k, SignedByte(*c)));
    }
  }

  // Fans: speed from count and the dump's divisor. A fan driven by a chip output is explained
  // as a fan whose full speed gives this RPM at the current drive; any other fan is held.
  for (int f = 0; f < kFanInputs; ++f) {
    const std::uint8_t reg = static_cast<std::uint8_t>(winbond ? 0x28 + f : 0x0D + f);
    auto c = main->At(reg);
    if (!c) continue;
    int divisor = 2;
    if (auto* w = dynamic_cast<WinbondChip*>(&chip)) divisor = w->FanDivisor(f);
    if (auto* it = dynamic_cast<IteChip*>(&chip)) divisor = it->FanDivisor(f);
    const FanWiring& wiring = profile.fans[f];
    const double drive = wiring.output >= 0 ? chip.FanOutput(wiring.output) / 255.0 : 1.0;
    if (*c == 0) {
      stuck.push_back({0, reg, 0});  // no speed counts 0: a broken tachometer line
      continue;
    }
    if (*c == 0xFF) {
      if (wiring.Wired() && drive == 0.0) {
        physics.HoldFanRpm(f, std::nullopt);  // switched off; follows its output from here
        physics.SetFanSpeedNow(f, 0.0);
      } else {
        physics.HoldFanRpm(f, 0.0);  // driven but not turning
      }
      continue;
    }
    const double rpm = 1350000.0 / (static_cast<double>(*c) * divisor);
    if (wiring.Wired() && wiring.output >= 0 && drive > 0.0) {
      physics.HoldFanRpm(f, std::nullopt);
      physics.SetFanFullRpm(f, rpm / drive);
      physics.SetFanSpeedNow(f, rpm);
    } else {
      physics.HoldFanRpm(f, rpm);
    }
  }
  return stuck;
}

}  // namespace veltrix::sim
