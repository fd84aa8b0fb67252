#include "sim/chipset/pc_speaker.h"

namespace veltrix::sim {

bool PcSpeaker::SpeakerOn() const {
  return (control_ & 0x03) == 0x03 && loaded_;
}

double PcSpeaker::ToneHz() const {
  if (!loaded_) return 0.0;
  return kTimerClockHz / (reload_ == 0 ? 65536.0 : static_cast<double>(reload_));
}

std::uint8_t PcSpeaker::Read(std::uint16_t port) {
  if (port == 0x61) {
    // Bit 4 toggles with every memory-refresh cycle; bit 5 follows OUT2, which in square-wave
    // mode with the gate open changes all the time. Bits 6/7 (parity/channel check) read 0.
    refreshToggle_ = !refreshToggle_;
    if ((control_ & 0x01) && loaded_) out2_ = !out2_;
    return static_cast<std::uint8_t>(control_ | (refreshToggle_ ? 0x10 : 0) | (out2_ ? 0x20 : 0));
  }
  if (port == 0x43) return 0xFF;  // the control word register cannot be read
  // Channel 2 count: the latched value if a latch command was given, else the reload value.
  const std::uint16_t value = latched_ ? latch_ : reload_;
  std::uint8_t byte;
  if (access_ == 1) {
    byte = static_cast<std::uint8_t>(value);
  } else if (access_ == 2) {
    byte = static_cast<std::uint8_t>(value >> 8);
  } else {
    byte = static_cast<std::uint8_t>(readHigh_ ? value >> 8 : value);
    readHigh_ = !readHigh_;
    if (readHigh_) return byte;
  }
  latched_ = false;
  return byte;
}

void PcSpeaker::Write(std::uint16_t port, std::uint8_t value) {
  if (port == 0x61) {
    control_ = value & 0x0F;  // bits 4..7 are status bits and ignore writes
    if (!(control_ & 0x01)) out2_ = true;
    return;
  }
  if (port == 0x43) {
    if ((value >> 6) != 2) return;  // channels 0 and 1 and read-back are not ours
    const int access = (value >> 4) & 3;
    if (access == 0) {
      // Counter latch command: freeze the current count for reading.
      latched_ = true;
      latch_ = reload_;
      readHigh_ = false;
      return;
    }
    access_ = access;
    mode_ = (value >> 1) & 7;
    if (mode_ > 5) mode_ -= 4;  // modes 6 and 7 are aliases of 2 and 3
    writeHigh_ = readHigh_ = false;
    loaded_ = false;  // a new control word stops the counter until a count is written
    return;
  }
  // port 0x42
  if (access_ == 1) {
    reload_ = value;
  } else if (access_ == 2) {
    reload_ = static_cast<std::uint16_t>(value << 8);
  } else if (!writeHigh_) {
    pendingLow_ = value;
    writeHigh_ = true;
    return;
  } else {
    reload_ = static_cast<std::uint16_t>(value << 8 | pendingLow_);
    writeHigh_ = false;
  }
  loaded_ = true;
  ++countLoads_;
}

}  // namespace veltrix::sim
