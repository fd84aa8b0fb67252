#pragma once
// The fan output primitive and its helpers: programming a fan's drive output, reading it back,
// measuring each fan at full output, and the animated fan picture.
#include <cstdint>
#include <string>

#include "platform/forms/forms.h"

namespace veltrix::monitor {

class Program;

// Drive output of a fan in percent (0..100) -> the chip's output value; integral values.
// Winbond: a table of steps; ITE: a table, or the integer part of percent × 1.275. Other chip
// families: 0.
float FanPercentToOutput(Program& program, std::int16_t percent);

// Programs fan 0..1 (Winbond) or 0..2 (ITE) to run at `percent`, with divisor 4 (fan 2 on ITE:
// 8) kept in Fan_Divisor. Another fan number shows "Invalid Fan number !" and writes nothing.
void SetFanSpeed(Program& program, std::int16_t fan, std::int16_t percent);

// ITE: tachometers 1..3 on, the outputs in PWM mode, active high on a 12 MHz clock (boards of
// the alternative set-up: ON/OFF mode, every output off, active low), divisors 4, 4 and 8.
void SetUpIteFans(Program& program);

// The chip's output register of a fan (bank 0 on Winbond): W83627HF 0x5A/0x5B, W83697HF and
// W83637HF 0x01/0x03, ITE 0x15/0x16/0x17; 0 where the chip has none.
std::uint8_t FanOutputRegister(Program& program, std::int16_t fan);

// The current drive output of fan 0 or 1 (0 for fan 2 and unknown chips).
std::uint8_t ReadFanOutput(Program& program, std::int16_t fan);

// Measures FullSpeedRpm of each fan (fans driven to full output first when a fan-control
// method is active and a reference is missing).
void MeasureFullSpeedRpm(Program& program);

// The picture file of the fan animation for a drive level ("\GIF\fan0.gif" .. "fan5.gif"),
// relative to the program folder, with '/' separators.
std::string FanAnimationFile(std::int16_t percent);
// Sets `control` to that picture when the file exists and the control shows another one.
void SetFanAnimation(Program& program, forms::AnimatedGif& control, std::int16_t percent);

}  // namespace veltrix::monitor
