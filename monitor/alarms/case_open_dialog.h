#pragma once
// frmCaseOpen: the chassis-intrusion dialog (item 15). It looks like the sensor dialogs but
// sounds the PC speaker itself, alternating a low and a high tone every 450 ms, and its
// Ignore and Disable buttons reset the board's case-opened flag.
#include <cstdint>

#include "monitor/alarms/alarm_dialog.h"

namespace veltrix::monitor {

// Channel-2 divisors of the 8254 (1.193182 MHz input clock).
inline constexpr std::uint16_t kHighToneDivisor = 0x03F5;  // about 1178 Hz
inline constexpr std::uint16_t kLowToneDivisor = 0x07EB;   // about 589 Hz
inline constexpr int kToneIntervalMs = 450;

class frmCaseOpen final : public AlarmDialog {
 public:
  explicit frmCaseOpen(Program& program);

  forms::Timer Timer1{*this, "Timer1"};  // the speaker signal

  void Command_Click(int index) override;
  std::optional<int> MessageTextId() const override;
  std::string BuiltInMessage() const override;

  // Start the speaker on the high or the low tone.
  void BeepMyselfHi();
  void BeepMyselfLo();
  void Timer1_Timer();

 protected:
  void InitializeComponent() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  void Beep(std::uint16_t divisor);
  std::uint8_t toggle_ = 0;  // 0: the next tick plays the low tone
};

}  // namespace veltrix::monitor
