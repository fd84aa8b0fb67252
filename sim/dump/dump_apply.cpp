#include "sim/dump/dump_apply.h"

#include "platform/superio/ite_registers.h"
#include "platform/superio/superio_registers.h"
#include "platform/superio/winbond_registers.h"
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
  const bool isWinbond = chip.Vendor() == SuperIoVendor::Winbond;

  // Configuration space: the logical device's registers as the BIOS left them. The global
  // registers (keys, ids, LDN select) stay the chip's own.
  for (const DumpTable& t : dump.tables) {
    if (IdentifyTable(t).kind != DumpKind::kConfigSpace) continue;
    int ldn = t.bank.value_or(t.At(superio::kLogicalDeviceSelect).value_or(chip.MonitorLdn()));
    for (int i = superio::kFirstDeviceRegister; i < 0x100; ++i) {
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
    for (int i = 0; i < static_cast<int>(superio::kMonitorRegisterCount); ++i) {
      auto v = t.At(i);
      if (!v) continue;
      const bool banked = isWinbond && i >= winbond::kBankedFirst && i <= winbond::kBankedLast;
      if (!banked && &t != main) continue;
      if (isWinbond &&
          (i == winbond::kBankSelect || i == winbond::kVendorId || i >= winbond::kValueRamAlias)) {
        continue;  // bank select, vendor id, aliases
      }
      // Id registers: the ITE vendor id, the Winbond chip id.
      if (isWinbond ? (i == winbond::kChipId.reg && bank == winbond::kChipId.bank) : i == ite::kVendorId)
        continue;
      chip.SetRegister(banked ? bank : 0, static_cast<std::uint8_t>(i), *v);
    }
  }

  // Voltages: the pin voltage that converts to the dumped count.
  auto pinFromCount = [](std::uint8_t c) { return c * kAdcVoltsPerCount; };
  if (isWinbond) {
    const bool vrm9 =
        chip.Model() == ChipModel::W83637HF &&
        (chip.GetRegister(winbond::kBank0, winbond::kVrmOvtConfig) & winbond::kVrm9Scaling) != 0;
    for (int n = 0; n < winbond::kBank0VoltageInputs; ++n) {
      if (auto c = main->At(winbond::kVoltageBase + n)) {
        double pin = pinFromCount(*c);
        if (n == 0 && vrm9) pin = (*c * 4.88 + 700.0) / 1000.0;
        physics.SetPinVolts(n, pin);
      }
    }
    static_assert(winbond::k5Vsb.bank == winbond::kVbat.bank);
    if (const DumpTable* b5 = BankTable(dump, winbond::k5Vsb.bank)) {
      if (auto c = b5->At(winbond::k5Vsb.reg))
        physics.SetPinVolts(7, pinFromCount(*c));  // through the 5VSB divider
      if (auto c = b5->At(winbond::kVbat.reg)) physics.SetPinVolts(8, pinFromCount(*c));
    }
    if (auto c = main->At(winbond::kTemp1))
      physics.HoldTemperature(0, physics.RealFromReading(0, SignedByte(*c)));
    // Temperature k (1, 2) is in bank k.
    for (int k = winbond::kTemp2Bank; k <= winbond::kTemp3Bank; ++k) {
      const DumpTable* bt = BankTable(dump, k);
      if (!bt) continue;
      auto msb = bt->At(winbond::kTempHigh), lsb = bt->At(winbond::kTempLow);
      if (msb) {
        const double reading = SignedByte(*msb) + ((lsb && (*lsb & winbond::kTempHalfDegree)) ? 0.5 : 0.0);
        physics.HoldTemperature(k, physics.RealFromReading(k, reading));
      }
    }
  } else {
    // in0..in7 and VBAT (in8) follow each other.
    static_assert(ite::kVbat == ite::kVoltageBase + 8);
    for (int n = 0; n <= 8; ++n) {
      if (auto c = main->At(ite::kVoltageBase + n)) physics.SetPinVolts(n, pinFromCount(*c));
    }
    for (int k = 0; k < 3; ++k) {
      if (auto c = main->At(ite::kTempBase + k))
        physics.HoldTemperature(k, physics.RealFromReading(k, SignedByte(*c)));
    }
  }

  // Fans: speed from count and the dump's divisor. A fan driven by a chip output is explained
  // as a fan whose full speed gives this RPM at the current drive; any other fan is held.
  for (int f = 0; f < kFanInputs; ++f) {
    const std::uint8_t reg =
        static_cast<std::uint8_t>((isWinbond ? winbond::kFanCountBase : ite::kFanCountBase) + f);
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
