#pragma once
// ITE IT8705F and IT8712F: the configuration-space values of the family and the environment
// controller's registers (a flat map of 0x80 registers, no banks), for the classic revisions
// with 8-bit fan counts and divisors.
//
// Registers that a routine reaches by index are named by their first address (fan n's count is
// kFanCountBase + n). Bit masks are named where the program or the simulated chip works on
// single bits.
#include <cstdint>

#include "platform/superio/superio_registers.h"

namespace veltrix::ite {

// ---- configuration space ------------------------------------------------------------------------

// Entry key, written to the index port: 87 01 55 and a last byte that depends on the port the
// chip decodes (55 at 0x2E, AA at 0x4E; a chip at 0x4E ignores the 0x2E key).
inline constexpr std::uint8_t kEntryKey1 = 0x87;
inline constexpr std::uint8_t kEntryKey2 = 0x01;
inline constexpr std::uint8_t kEntryKey3 = 0x55;
inline constexpr std::uint8_t kEntryKeyLastAt2E = 0x55;
inline constexpr std::uint8_t kEntryKeyLastAt4E = 0xAA;
constexpr std::uint8_t EntryKeyLast(std::uint16_t configPort) {
  return configPort == superio::kConfigPort4E ? kEntryKeyLastAt4E : kEntryKeyLastAt2E;
}
// Leaving: Configure Control (global register 0x02) bit 1 returns to Wait for Key.
inline constexpr std::uint8_t kReturnToWaitForKey = 0x02;

inline constexpr std::uint8_t kMonitorDevice = 0x04;  // logical device 4: Environment Controller
// Chip ID bytes 1 and 2 (0x20, 0x21).
inline constexpr std::uint16_t kChipIdIT8705F = 0x8705;
inline constexpr std::uint16_t kChipIdIT8712F = 0x8712;
// The environment controller's PME direct-access base (MSB, LSB).
inline constexpr std::uint8_t kPmeBaseHigh = 0x62;
inline constexpr std::uint8_t kPmeBaseLow = 0x63;

// ---- environment controller: control and status 0x00..0x0C ---------------------------------------

inline constexpr std::uint8_t kConfiguration = 0x00;          // Configuration Register
inline constexpr std::uint8_t kStart = 0x01;                  //   bit 0: Start
inline constexpr std::uint8_t kConfigurationReadsOne = 0x10;  //   bit 4: always reads 1
inline constexpr std::uint8_t kCaseOpenClear = 0x20;          //   bit 5: clears the case-open latch
inline constexpr std::uint8_t kUpdateVbat = 0x40;             //   bit 6: convert VBAT once (self-clearing)
inline constexpr std::uint8_t kInitialization = 0x80;         //   bit 7: power-on values
inline constexpr std::uint8_t kConfigurationWritable = 0x4F;

inline constexpr std::uint8_t kInterruptStatus1 = 0x01;  // fans, bit 4 case open; clear on read
inline constexpr std::uint8_t kInterruptStatus2 = 0x02;  // in0..in7; clear on read
inline constexpr std::uint8_t kInterruptStatus3 = 0x03;  // temp1..temp3; clear on read
inline constexpr std::uint8_t kInterruptStatus3Mask = 0x07;
inline constexpr std::uint8_t kCaseOpenStatus = 0x10;  //   interrupt status 1 bit 4 (latched)

inline constexpr std::uint8_t kVid = 0x0A;  // VID Register (IT8712F), bits 5..0
inline constexpr std::uint8_t kVidMask = 0x3F;

inline constexpr std::uint8_t kFanDivisor = 0x0B;       // Fan Tachometer Divisor Register
inline constexpr std::uint8_t kFan1DivisorMask = 0x07;  //   bits 2..0: fan 1 divides by 2^n
inline constexpr std::uint8_t kFan2DivisorMask = 0x38;  //   bits 5..3: fan 2 divides by 2^n
inline constexpr int kFan2DivisorShift = 3;
inline constexpr std::uint8_t kFan3Divisor8 = 0x40;    //   bit 6: fan 3 divides by 8 (else by 2)
inline constexpr std::uint8_t kFan1Divisor4 = 0x02;    // n = 2
inline constexpr std::uint8_t kFan2Divisor4 = 0x10;    // n = 2
inline constexpr std::uint8_t kFan16BitEnable = 0x0C;  // Fan Tachometer 16-bit Counter Enable

// ---- environment controller: fans 0x0D..0x17 -------------------------------------------------------

inline constexpr std::uint8_t kFanCountBase = 0x0D;  // Fan Tachometer 1..3 Reading
inline constexpr std::uint8_t kFanLimitBase = 0x10;  // Fan Tachometer 1..3 Limit

inline constexpr std::uint8_t kFanMainControl = 0x13;     // Fan Controller Main Control
inline constexpr std::uint8_t kFanPwmModeMask = 0x07;     //   bits 2..0: output n in PWM mode (else ON/OFF)
inline constexpr std::uint8_t kFanTachEnableMask = 0x70;  //   bits 6..4: tachometer n enabled
inline constexpr std::uint8_t kFan1TachEnable = 0x10;

inline constexpr std::uint8_t kFanControl = 0x14;          // FAN_CTL Control
inline constexpr std::uint8_t kPwmClock12MHz = 0x20;       //   bits 6..4 = 010: PWM base clock 12 MHz
inline constexpr std::uint8_t kPolarityActiveHigh = 0x80;  //   bit 7: outputs active high

inline constexpr std::uint8_t kPwmControlBase = 0x15;  // FAN_CTL1..3 PWM Control
inline constexpr std::uint8_t kPwmAutomatic = 0x80;    //   bit 7: SmartGuardian automatic mode
inline constexpr std::uint8_t kPwmDutyMask = 0x7F;     //   bits 6..0: duty, 0x7F = 100 %

// Fan tachometer 1..3 reading high bytes (16-bit counter mode only).
inline constexpr std::uint8_t kFanCountHighBase = 0x18;

// ---- environment controller: readings and limits 0x20..0x45 ---------------------------------------

inline constexpr std::uint8_t kVoltageBase = 0x20;           // VIN0..VIN7 Voltage Reading
inline constexpr int kLimitedVoltageInputs = 8;              // in0..in7 have limits, VBAT has none
inline constexpr std::uint8_t kVbat = 0x28;                  // VBAT Voltage Reading (in8)
inline constexpr std::uint8_t kTempBase = 0x29;              // TMPIN1..3 Temperature Reading, signed degrees
inline constexpr std::uint8_t kVoltageHighLimitBase = 0x30;  // VIN n High Limit: + 2n
inline constexpr std::uint8_t kVoltageLowLimitBase = 0x31;   // VIN n Low Limit: + 2n
inline constexpr std::uint8_t kTempHighLimitBase = 0x40;     // TMPIN n High Limit: + 2n
inline constexpr std::uint8_t kTempLowLimitBase = 0x41;      // TMPIN n Low Limit: + 2n
inline constexpr std::uint8_t kLastReading = 0x2B;           // 0x20..0x2B are readings

// ---- environment controller: 0x48..0x5F ----------------------------------------------------------

inline constexpr std::uint8_t kSerialBusAddress = 0x48;
inline constexpr std::uint8_t kAdcVoltageEnable = 0x50;   // ADC Voltage Channel Enable, bit n = in n
inline constexpr std::uint8_t kAdcTempEnable = 0x51;      // ADC Temperature Channel Enable
inline constexpr std::uint8_t kTempDiodeBit = 0x01;       //   bits 2..0: sensor n is a diode
inline constexpr std::uint8_t kTempThermistorBit = 0x08;  //   bits 5..3: sensor n is a thermistor
inline constexpr std::uint8_t kThermistorsAll = 0x38;
inline constexpr std::uint8_t kThermalOutputLimitBase = 0x52;  // TOLIMIT1..3

inline constexpr std::uint8_t kVendorId = 0x58;  // Vendor ID
inline constexpr std::uint8_t kVendorIdValue = 0x90;
inline constexpr std::uint8_t kCodeId = 0x5B;  // Code ID

inline constexpr std::uint8_t kBeepEnable = 0x5C;        // Beep Event Enable
inline constexpr std::uint8_t kBeepFans = 0x01;          //   bit 0: fan events
inline constexpr std::uint8_t kBeepVoltages = 0x02;      //   bit 1: voltage events
inline constexpr std::uint8_t kBeepTemperatures = 0x04;  //   bit 2: temperature events
inline constexpr std::uint8_t kBeepEnableMask = kBeepFans | kBeepVoltages | kBeepTemperatures;

// ---- status bits ---------------------------------------------------------------------------------
// Interrupt status 1 | 2 << 8 | 3 << 16 form one word: fans in bits 0..2, the case in bit 4,
// in0..in7 in bits 8..15, temp1..temp3 in bits 16..18.

inline constexpr int kFanStatusFirstBit = 0;
inline constexpr int kCaseOpenStatusBit = 4;
inline constexpr int kVoltageStatusFirstBit = 8;
inline constexpr int kTempStatusFirstBit = 16;

}  // namespace veltrix::ite
