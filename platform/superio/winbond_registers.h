#pragma once
// Winbond W83627HF, W83697HF and W83637HF: the configuration-space values of the family and the
// hardware monitor's registers (LM78-style, with the window 0x50..0x5F switched between banks by
// the Bank Select register 0x4E).
//
// A register outside the window is a plain address. A register inside it is a BankedRegister:
// the bank that must be selected first and its address. Registers that a routine reaches by
// index are named by their first address (in n is kVoltageBase + n). Bit masks are named where
// the program or the simulated chip works on single bits.
#include <array>
#include <cstdint>

#include "platform/superio/superio_registers.h"

namespace veltrix::winbond {

// ---- configuration space ------------------------------------------------------------------------

inline constexpr std::uint8_t kEntryKey = 0x87;       // written twice to the index port
inline constexpr std::uint8_t kExitKey = 0xAA;        // written once to the index port
inline constexpr std::uint8_t kMonitorDevice = 0x0B;  // logical device B: Hardware Monitor

// Device ID (configuration register 0x20).
inline constexpr std::uint8_t kDeviceIdW83627HF = 0x52;
inline constexpr std::uint8_t kDeviceIdW83697HF = 0x60;
inline constexpr std::uint8_t kDeviceIdW83637HF = 0x70;

// ---- hardware monitor: banks ----------------------------------------------------------------------

struct BankedRegister {
  std::uint8_t bank;
  std::uint8_t reg;
};

inline constexpr std::uint8_t kBank0 = 0;      // power-on bank: beep control, chip id, PWM, VBAT
inline constexpr std::uint8_t kTemp2Bank = 1;  // temperature sensor 2
inline constexpr std::uint8_t kTemp3Bank = 2;  // temperature sensor 3
inline constexpr std::uint8_t kBank4 = 4;      // status 3, beep control 3, offsets, real-time status
inline constexpr std::uint8_t kBank5 = 5;      // 5VSB and VBAT readings and limits

// The banked window.
inline constexpr std::uint8_t kBankedFirst = 0x50;
inline constexpr std::uint8_t kBankedLast = 0x5F;

// Value RAM aliases: 0x60..0x7F reach 0x20..0x3F.
inline constexpr std::uint8_t kValueRamAlias = 0x60;
inline constexpr std::uint8_t kValueRamAliasDistance = 0x40;

// ---- hardware monitor: fan control block 0x00..0x1F (W83697HF, W83637HF) -------------------------
// The W83627HF has nothing here (it reads 0xFF); its PWM outputs are bank-0 0x5A/0x5B.

inline constexpr std::uint8_t kPwm1Frequency = 0x00;  // FAN1 PWM output frequency (bit 7: clock)
inline constexpr std::uint8_t kPwm1Duty = 0x01;       // FAN1 PWM duty cycle, 0xFF = 100 %
inline constexpr std::uint8_t kPwm2Frequency = 0x02;
inline constexpr std::uint8_t kPwm2Duty = 0x03;
inline constexpr std::uint8_t kPwm3Frequency = 0x10;       // W83637HF only
inline constexpr std::uint8_t kPwm3Duty = 0x11;            // W83637HF only
inline constexpr std::uint8_t kFanControlBlockEnd = 0x20;  // first address past the block

// W83637HF VRM & OVT Configuration.
inline constexpr std::uint8_t kVrmOvtConfig = 0x18;
inline constexpr std::uint8_t kVrm9Scaling = 0x01;  // bit 0: in0 counts 4.88 mV above 0.7 V

// ---- hardware monitor: value RAM 0x20..0x3F ------------------------------------------------------

// in0..in6: VCOREA, VINR0, +3.3VIN, +5VIN, +12VIN, -12VIN, -5VIN.
inline constexpr std::uint8_t kVoltageBase = 0x20;
inline constexpr int kBank0VoltageInputs = 7;                // in7 and in8 are in bank 5
inline constexpr std::uint8_t kTemp1 = 0x27;                 // temperature sensor 1, signed whole degrees
inline constexpr std::uint8_t kFanCountBase = 0x28;          // FAN1..FAN3 count readings
inline constexpr std::uint8_t kVoltageHighLimitBase = 0x2B;  // in n high limit: + 2n
inline constexpr std::uint8_t kVoltageLowLimitBase = 0x2C;   // in n low limit: + 2n
inline constexpr std::uint8_t kTemp1Over = 0x39;             // temperature 1 over-temperature (high) limit
inline constexpr std::uint8_t kTemp1Hysteresis = 0x3A;       // temperature 1 hysteresis limit
inline constexpr std::uint8_t kFanLimitBase = 0x3B;          // FAN1..FAN3 fan count limits

// ---- hardware monitor: control registers 0x40..0x4F -----------------------------------------------

inline constexpr std::uint8_t kConfiguration = 0x40;          // Configuration Register
inline constexpr std::uint8_t kStart = 0x01;                  //   bit 0: START, monitoring on
inline constexpr std::uint8_t kInitialization = 0x80;         //   bit 7: INITIALIZATION, power-on values
inline constexpr std::uint8_t kConfigurationWritable = 0x0B;  // START, SMI# enable, INT_Clear

inline constexpr std::uint8_t kInterruptStatus1 = 0x41;  // clear on read
inline constexpr std::uint8_t kInterruptStatus2 = 0x42;  // clear on read, except the case-open bit
inline constexpr std::uint8_t kCaseOpenStatus = 0x10;    //   0x42 bit 4: case opened (latched)

inline constexpr std::uint8_t kChassisClear = 0x46;   // Chassis Clear Register
inline constexpr std::uint8_t kClearCaseOpen = 0x80;  //   bit 7: clears the case-open latch

inline constexpr std::uint8_t kFanDivisor = 0x47;       // VID/Fan Divisor Register
inline constexpr std::uint8_t kVidLowMask = 0x0F;       //   bits 3..0: VID3..VID0 (inputs)
inline constexpr std::uint8_t kFan1DivisorMask = 0x30;  //   bits 5..4: fan 1 divisor bits 1..0
inline constexpr std::uint8_t kFan2DivisorMask = 0xC0;  //   bits 7..6: fan 2 divisor bits 1..0
inline constexpr int kFan1DivisorShift = 4;
inline constexpr int kFan2DivisorShift = 6;
// Divisor bits 1..0 = 10: with bit 2 clear, divide by 4.
inline constexpr std::uint8_t kFan1Divisor4 = 0x20;
inline constexpr std::uint8_t kFan2Divisor4 = 0x80;

inline constexpr std::uint8_t kSerialBusAddress = 0x48;
inline constexpr std::uint8_t kVid4 = 0x49;  // bit 0: VID4 (input)
inline constexpr std::uint8_t kVid4Bit = 0x01;
inline constexpr std::uint8_t kTemp23SerialBusAddress = 0x4A;

inline constexpr std::uint8_t kPinControl = 0x4B;       // Pin Control Register
inline constexpr std::uint8_t kFan3DivisorMask = 0xC0;  //   bits 7..6: fan 3 divisor bits 1..0
inline constexpr int kFan3DivisorShift = 6;
inline constexpr std::uint8_t kFan3Divisor4 = 0x80;

inline constexpr std::uint8_t kFanInOutBeepControl = 0x4D;  // FAN IN/OUT and BEEP/GPO# Control
inline constexpr std::uint8_t kBeepPinSelect = 0x80;        //   bit 7: the pin carries the beep

inline constexpr std::uint8_t kBankSelect = 0x4E;  // Bank Select for registers 0x50..0x5F
inline constexpr std::uint8_t kBankMask = 0x07;    //   bits 2..0: the bank
inline constexpr std::uint8_t kHbacs = 0x80;       //   bit 7 HBACS: 0x4F shows the vendor id's high byte
inline constexpr std::uint8_t kBankSelectWritable = 0x87;

inline constexpr std::uint8_t kVendorId = 0x4F;          // Winbond Vendor ID
inline constexpr std::uint8_t kVendorIdLowByte = 0xA3;   // read with HBACS clear
inline constexpr std::uint8_t kVendorIdHighByte = 0x5C;  // read with HBACS set
inline constexpr std::uint32_t kVendorIdValue = 0x5CA3;

// ---- hardware monitor: bank 0 ----------------------------------------------------------------------

inline constexpr BankedRegister kBeepControl1{kBank0, 0x56};  // BEEP Control Register 1
inline constexpr BankedRegister kBeepControl2{kBank0, 0x57};  // BEEP Control Register 2
inline constexpr std::uint8_t kBeepControl2Mask = 0x3F;       //   bits 0..5: in4, in5, in6, fan3, case, temp3
inline constexpr std::uint8_t kGlobalBeepEnable = 0x80;       //   bit 7: global beep enable
// Bit 6 is reserved.
inline constexpr std::uint8_t kBeepControl2Writable = kBeepControl2Mask | kGlobalBeepEnable;

inline constexpr BankedRegister kChipId{kBank0, 0x58};  // Chip ID
inline constexpr std::uint8_t kChipIdW83627HF = 0x21;
inline constexpr std::uint8_t kChipIdW83697HF = 0x60;
inline constexpr std::uint8_t kChipIdW83637HF = 0x80;

inline constexpr BankedRegister kDiodeSelect{kBank0, 0x59};  // Diode Selection Register
// Bits 4..6: the diodes of all three sensors are of the Pentium II type (power-on value).
inline constexpr std::uint8_t kDiodePentiumAll = 0x70;

inline constexpr BankedRegister kPwmOut1{kBank0, 0x5A};         // W83627HF PWMOUT1 duty, 0xFF = 100 %
inline constexpr BankedRegister kPwmOut2{kBank0, 0x5B};         // W83627HF PWMOUT2 duty
inline constexpr BankedRegister kPwmClockSelect{kBank0, 0x5C};  // W83627HF PWMOUT1/2 clock select
inline constexpr std::uint8_t kPwmClockSelectWritable = 0x77;

inline constexpr BankedRegister kVbatMonitorControl{kBank0, 0x5D};  // VBAT Monitor Control
inline constexpr std::uint8_t kVbatMonitorEnable = 0x01;            //   bit 0: convert VBAT
// Bits 1..3: temperature sensor 1..3 is a diode (else a thermistor).
inline constexpr std::uint8_t kTemp1Diode = 0x02;
inline constexpr std::uint8_t kTemp2Diode = 0x04;
inline constexpr std::uint8_t kTemp3Diode = 0x08;
inline constexpr std::uint8_t kFan1DivisorBit2 = 0x20;  //   bits 5..7: fan 1..3 divisor bit 2
inline constexpr std::uint8_t kFan2DivisorBit2 = 0x40;
inline constexpr std::uint8_t kFan3DivisorBit2 = 0x80;
inline constexpr int kFanDivisorBit2Shift = 5;  // fan n's bit 2 is bit 5 + n
inline constexpr std::uint8_t kFanDivisorBit2Mask = kFan1DivisorBit2 | kFan2DivisorBit2 | kFan3DivisorBit2;

// ---- hardware monitor: banks 1 and 2 (temperature sensors 2 and 3) ------------------------------
// The same registers in bank 1 (sensor 2) and bank 2 (sensor 3); nine-bit values in half
// degrees, the whole degrees in the first byte and the half degree in bit 7 of the second.

inline constexpr std::uint8_t kTempHigh = 0x50;    // temperature, high byte
inline constexpr std::uint8_t kTempLow = 0x51;     // temperature, low byte
inline constexpr std::uint8_t kTempConfig = 0x52;  // configuration; bit 0 stops the sensor
inline constexpr std::uint8_t kTempStop = 0x01;
inline constexpr std::uint8_t kTempHysteresisHigh = 0x53;  // hysteresis, high and low byte
inline constexpr std::uint8_t kTempHysteresisLow = 0x54;
inline constexpr std::uint8_t kTempOverHigh = 0x55;  // over-temperature limit, high and low byte
inline constexpr std::uint8_t kTempOverLow = 0x56;
inline constexpr std::uint8_t kTempHalfDegree = 0x80;  // low byte bit 7: +0.5 degrees

// ---- hardware monitor: bank 4 ----------------------------------------------------------------------

inline constexpr BankedRegister kInterruptStatus3{kBank4, 0x50};  // in7, in8; clear on read
inline constexpr BankedRegister kBeepControl3{kBank4, 0x53};      // BEEP Control Register 3
inline constexpr std::uint8_t kBeepControl3Mask = 0x03;           //   bits 0..1: in7, in8
inline constexpr BankedRegister kTemp1Offset{kBank4, 0x54};       // temperature offsets, signed degrees
inline constexpr BankedRegister kTemp2Offset{kBank4, 0x55};
inline constexpr BankedRegister kTemp3Offset{kBank4, 0x56};
inline constexpr BankedRegister kRealTimeStatus1{kBank4, 0x59};  // Real Time Hardware Status I..III
inline constexpr BankedRegister kRealTimeStatus2{kBank4, 0x5A};
inline constexpr BankedRegister kRealTimeStatus3{kBank4, 0x5B};

// ---- hardware monitor: bank 5 ----------------------------------------------------------------------

inline constexpr BankedRegister k5Vsb{kBank5, 0x50};  // in7, 5VSB reading
inline constexpr BankedRegister kVbat{kBank5, 0x51};  // in8, VBAT reading
inline constexpr BankedRegister k5VsbHighLimit{kBank5, 0x54};
inline constexpr BankedRegister k5VsbLowLimit{kBank5, 0x55};
inline constexpr BankedRegister kVbatHighLimit{kBank5, 0x56};
inline constexpr BankedRegister kVbatLowLimit{kBank5, 0x57};

// ---- status and beep bits --------------------------------------------------------------------------
// Interrupt status 1 | 2 << 8 | 3 << 16 (and the real-time status likewise) form one word with a
// bit per comparator; beep control 1 | 2 << 8 | 3 << 16 enable the beep with the same layout.

inline constexpr std::array<std::uint8_t, 9> kVoltageStatusBit{0, 1, 2, 3, 8, 9, 10, 16, 17};  // in0..in8
inline constexpr std::array<std::uint8_t, 3> kFanStatusBit{6, 7, 11};                          // fan1..fan3
inline constexpr std::array<std::uint8_t, 3> kTempStatusBit{4, 5, 13};                         // temp1..temp3
inline constexpr std::uint8_t kCaseOpenStatusBit = 12;
inline constexpr std::uint8_t kGlobalBeepBit = 15;  // in the beep word only

// The beep-control register that holds status-word bit `bit`, and the bit's mask in it.
constexpr BankedRegister BeepControlOf(int bit) {
  return bit < 8 ? kBeepControl1 : (bit < 16 ? kBeepControl2 : kBeepControl3);
}
constexpr std::uint8_t MaskInByte(int bit) {
  return static_cast<std::uint8_t>(1U << (bit % 8));
}

}  // namespace veltrix::winbond
