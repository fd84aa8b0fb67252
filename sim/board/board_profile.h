#pragma once
// A simulated mainboard: which Super I/O chip sits where, which chipset keeps the chassis flag,
// what the BIOS reports, and how the board wires its rails, fans and thermal sensors to the chip.
//
// Profiles are constexpr aggregates so a catalog of a few hundred boards is a plain table:
//
//   {.model = "ZQ6EX", .chip = ChipModel::W83627HF, .chipset = ChipsetScheme::kIntel,
//    .rails = kWinbond627Rails, .fans = kThreeFans, .temps = kThreeTemps},
//
// Every field has a sensible default; the wiring presets below are shared by name.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "sim/chip/chip.h"

namespace veltrix::sim {

// How the chipset keeps its case-open flag (Intel TCO at PmBase + 0x66, VIA at PmBase + 0x20,
// NVIDIA at a fixed port), or no chipset flag at all.
enum class ChipsetScheme : std::uint8_t { kNone, kIntel, kVia, kNvidia };

inline constexpr int kVoltageInputs = 9;  // chip inputs in0..in8 (in8 = VBAT)
inline constexpr int kFanInputs = 3;
inline constexpr int kTempInputs = 3;
inline constexpr double kAdcVoltsPerCount = 0.016;  // 8-bit ADC, 0..4.08 V on every chip here
inline constexpr std::int32_t kNoPmBase = -1;

// One chip voltage input: the rail it measures and the resistor network in front of the pin.
// pin volts = rail volts * gain + offset. Positive rails use a plain divider (offset 0); negative
// rails are lifted into the ADC range by a network tied to a reference (offset > 0).
struct RailWiring {
  std::string_view name;      // "+12V", "-5V", "Vcore", ... empty = input not connected
  double nominalVolts = 0.0;  // the rail's own value
  double gain = 1.0;
  double offset = 0.0;

  constexpr bool Wired() const { return !name.empty(); }
  constexpr double PinVolts(double railVolts) const { return railVolts * gain + offset; }
  constexpr double RailVolts(double pinVolts) const { return (pinVolts - offset) / gain; }
};

// A positive rail read as count * voltsPerCount: the divider gain is 0.016 / voltsPerCount.
constexpr RailWiring Positive(std::string_view name, double nominal, double voltsPerCount) {
  return RailWiring{name, nominal, kAdcVoltsPerCount / voltsPerCount, 0.0};
}
// Winbond negative rail: rail = k * (pin - 3.6) + 3.6, so pin = rail / k + 3.6 * (1 - 1 / k).
constexpr RailWiring WinbondNegative(std::string_view name, double nominal, double k) {
  return RailWiring{name, nominal, 1.0 / k, 3.6 * (1.0 - 1.0 / k)};
}
// ITE negative rail: rail = count * a - b, so pin = 0.016 * (rail + b) / a.
constexpr RailWiring IteNegative(std::string_view name, double nominal, double a, double b) {
  return RailWiring{name, nominal, kAdcVoltsPerCount / a, kAdcVoltsPerCount * b / a};
}

using RailSet = std::array<RailWiring, kVoltageInputs>;

struct FanWiring {
  std::string_view name;  // "CPU", "SYS", ... empty = header not populated
  double fullRpm = 0.0;   // speed at full drive output
  int output = -1;        // chip fan output driving this fan, -1 = always at full speed
  constexpr bool Wired() const { return !name.empty() && fullRpm > 0.0; }
};
using FanSet = std::array<FanWiring, kFanInputs>;  // by tachometer input

struct TempWiring {
  std::string_view name;        // "CPU", "SYS", ... empty = no sensor on this input
  double ambientC = 30.0;       // idle, fan at full speed
  double loadRiseC = 0.0;       // extra degrees at 100 % load
  double stillAirRiseC = 0.0;   // extra degrees with the cooling fan stopped
  int coolingFan = -1;          // tach input of the fan that cools it, -1 = none
  double timeConstantS = 20.0;  // first-order thermal lag
  // What the chip's input sees: the real temperature x readGain + readOffsetC. A sensor that
  // is not a plain diode at the chip (a thermistor network, a sensor the board's calibration
  // corrects, one the chip's offset register corrects) reads off by this much.
  double readGain = 1.0;
  double readOffsetC = 0.0;
  constexpr bool Wired() const { return !name.empty(); }
  constexpr double Reading(double realC) const { return realC * readGain + readOffsetC; }
  constexpr double RealFromReading(double readingC) const { return (readingC - readOffsetC) / readGain; }
};
using TempSet = std::array<TempWiring, kTempInputs>;  // by chip temperature input

struct BoardProfile {
  std::string_view model;  // catalog key, and what the BIOS reports unless biosModel is set
  ChipModel chip = ChipModel::W83627HF;
  std::uint16_t configPort = 0x2E;  // 0x2E or 0x4E; 0 = the chip does not answer the probe
  ChipsetScheme chipset = ChipsetScheme::kIntel;
  std::int32_t pmBase = 0x0400;  // kNoPmBase: the board-information library finds none
  RailSet rails{};
  FanSet fans{};
  TempSet temps{};
  bool caseOpenWired = false;  // the chip's own CASEOPEN input is connected
  // BIOS strings and the rest of what the board-information library reports.
  std::string_view biosVersion = "1.00";
  std::string_view biosDate = "06/15/2003";
  std::string_view cpuName = "Simulated Processor 2.4GHz";
  std::int32_t memoryBytes = 536870912;  // shown by the program divided by 1024, as KBytes
  std::string_view loginUser = "operator";
  std::string_view osName = "Simulated OS";
  std::string_view osVersion = "1.0";
  // Set only when the BIOS reports something other than `model` (empty, over-long, lower case).
  const char* biosModel = nullptr;
  bool known = true;  // false: a board the program is not meant to support

  constexpr std::string_view ReportedModel() const {
    return biosModel != nullptr ? std::string_view(biosModel) : model;
  }
};

// --- wiring presets -----------------------------------------------------------------------------

// W83627HF: in0 Vcore, in1 +2.5V, in2 +3.3V, in3 +5V, in4 +12V, in5 -12V, in6 -5V, in7 5Vsb,
// in8 VBAT.
inline constexpr RailSet kWinbond627Rails{{
    Positive("Vcore", 1.50, 0.016),
    Positive("+2.5V", 2.50, 0.016),
    Positive("+3.3V", 3.30, 0.0165),
    Positive("+5V", 5.00, 0.016 / 0.595),
    Positive("+12V", 12.00, 0.016 / 0.263),
    WinbondNegative("-12V", -12.00, 5.15),
    WinbondNegative("-5V", -5.00, 3.14),
    Positive("5Vsb", 5.00, 0.016 / 0.66),
    Positive("Vbat", 3.10, 0.016),
}};

// W83697HF: as the W83627HF without in1.
inline constexpr RailSet kWinbond697Rails{{
    Positive("Vcore", 1.60, 0.016),
    RailWiring{},
    Positive("+3.3V", 3.30, 0.0165),
    Positive("+5V", 5.00, 0.016 / 0.595),
    Positive("+12V", 12.00, 0.016 / 0.263),
    WinbondNegative("-12V", -12.00, 5.15),
    WinbondNegative("-5V", -5.00, 3.14),
    Positive("5Vsb", 5.00, 0.016 / 0.66),
    Positive("Vbat", 3.10, 0.016),
}};

// W83637HF: +12V on in1, -12V on in4 through a 0.2 network on a 2.88 V reference; no in5/in6.
inline constexpr RailSet kWinbond637Rails{{
    Positive("Vcore", 1.55, 0.016),
    Positive("+12V", 12.00, 0.016 / 0.263),
    Positive("+3.3V", 3.30, 0.0165),
    Positive("+5V", 5.00, 0.016 / 0.595),
    RailWiring{"-12V", -12.00, 0.2, 2.88},
    RailWiring{},
    RailWiring{},
    Positive("5Vsb", 5.00, 0.016 / 0.66),
    Positive("Vbat", 3.10, 0.016),
}};

// Two W83637HF boards put a different divider in front of Vcore (0.0165 and 0.0158 V/count).
constexpr RailSet WithVcoreDivider(RailSet set, double voltsPerCount) {
  set[0] = Positive("Vcore", 1.55, voltsPerCount);
  return set;
}
inline constexpr RailSet kWinbond637RailsVcore0165 = WithVcoreDivider(kWinbond637Rails, 0.0165);
inline constexpr RailSet kWinbond637RailsVcore0158 = WithVcoreDivider(kWinbond637Rails, 0.0158);

// ITE boards with SDRAM: in5 3.3Vsb, in6 -12V.
inline constexpr RailSet kIteSdramRails{{
    Positive("Vcore", 1.65, 0.016),
    Positive("+2.5V", 2.50, 0.016),
    Positive("+3.3V", 3.30, 0.016),
    Positive("+5V", 5.00, 0.016 / 0.595),
    Positive("+12V", 12.00, 0.064),
    Positive("3.3Vsb", 3.30, 0.016),
    IteNegative("-12V", -12.00, 0.0822, 16.9691),
    Positive("5Vsb", 5.00, 0.016 / 0.66),
    Positive("Vbat", 3.10, 0.016),
}};

// ITE boards with DDR (first wiring): -5V on in5, -12V on in6, VBAT read at 14 mV per count.
inline constexpr RailSet kIteDdrRails{{
    Positive("Vcore", 1.65, 0.016),
    Positive("+2.5V", 2.60, 0.016),
    Positive("+3.3V", 3.30, 0.016),
    Positive("+5V", 5.00, 0.016 / 0.595),
    Positive("+12V", 12.00, 0.064),
    IteNegative("-5V", -5.00, 0.0503, 8.7771),
    IteNegative("-12V", -12.00, 0.0822, 16.9691),
    Positive("5Vsb", 5.00, 0.016 / 0.595),
    Positive("Vbat", 3.10, 0.014),
}};

// ITE boards with DDR (second wiring): -12V on in5, -5V on in6, VBAT at 16 mV per count.
inline constexpr RailSet kIteDdrSwappedRails{{
    Positive("Vcore", 1.65, 0.016),
    Positive("+2.5V", 2.60, 0.016),
    Positive("+3.3V", 3.30, 0.016),
    Positive("+5V", 5.00, 0.016 / 0.595),
    Positive("+12V", 12.00, 0.064),
    IteNegative("-12V", -12.00, 0.0822, 16.9691),
    IteNegative("-5V", -5.00, 0.0503, 8.7771),
    Positive("5Vsb", 5.00, 0.016 / 0.595),
    Positive("Vbat", 3.10, 0.016),
}};

// Updated ITE DDR boards: +1.5V on in2, everything after it moved up one input.
inline constexpr RailSet kIteDdrUpdatedRails{{
    Positive("Vcore", 1.50, 0.016),
    Positive("+2.5V", 2.60, 0.016),
    Positive("+1.5V", 1.50, 0.016),
    Positive("+3.3V", 3.30, 0.016),
    Positive("+5V", 5.00, 0.016 / 0.595),
    Positive("5Vsb", 5.00, 0.016 / 0.595),
    Positive("+12V", 12.00, 0.064),
    IteNegative("-12V", -12.00, 0.0822, 16.9691),
    Positive("Vbat", 3.10, 0.016),
}};

inline constexpr FanSet kThreeFans{{
    FanWiring{"CPU", 4800.0, 0}, FanWiring{"SYS", 2600.0, 1},
    FanWiring{"AUX", 2900.0, -1},  // a chassis fan, comfortably above the default limit
}};
inline constexpr FanSet kTwoFans{{
    FanWiring{"CPU", 4500.0, 0},
    FanWiring{"SYS", 2400.0, 1},
    FanWiring{},
}};

inline constexpr TempSet kThreeTemps{{
    TempWiring{"CPU", 38.0, 22.0, 45.0, 0, 15.0},
    TempWiring{"SYS", 31.0, 6.0, 8.0, 1, 60.0},
    TempWiring{"AUX", 33.0, 4.0, 0.0, -1, 90.0},
}};
// The same sensors where the board's second (or third) temperature input is the CPU's.
inline constexpr TempSet kCpuSecondTemps{{kThreeTemps[1], kThreeTemps[0], kThreeTemps[2]}};
inline constexpr TempSet kCpuThirdTemps{{kThreeTemps[1], kThreeTemps[2], kThreeTemps[0]}};
inline constexpr TempSet kTwoTemps{{
    TempWiring{"CPU", 40.0, 24.0, 45.0, 0, 15.0},
    TempWiring{"SYS", 32.0, 6.0, 8.0, 1, 60.0},
    TempWiring{},
}};

// --- registry -----------------------------------------------------------------------------------

// Every simulated board: the hand-written examples, the special boards and the catalog.
std::span<const BoardProfile> AllProfiles();
// Exact match on `model` first, then a case-insensitive one; nullptr when there is none.
const BoardProfile* FindProfile(std::string_view model);
// The board the simulator uses when none is named.
const BoardProfile& DefaultProfile();

// The catalog of boards the program knows (generated into catalog_profiles.cpp).
std::span<const BoardProfile> CatalogProfiles();
// The hand-written examples and special boards (example_profiles.cpp).
std::span<const BoardProfile> ExampleProfiles();

bool IsWinbond(ChipModel chip);
std::string_view ChipsetSchemeName(ChipsetScheme scheme);  // "Intel", "VIA", "NVIDIA", "none"

}  // namespace veltrix::sim
