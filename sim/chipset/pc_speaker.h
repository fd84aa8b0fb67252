#pragma once
// The PC speaker: 8254 timer channel 2 (data port 0x42, control word port 0x43) and the system
// control port 0x61 (bit 0 = timer-2 gate, bit 1 = speaker data enable). The speaker sounds
// when both bits are set and channel 2 holds a count; the tone is the 1.193182 MHz timer clock
// divided by that count.
#include <cstdint>
#include <string>

#include "sim/bus/port_device.h"

namespace veltrix::sim {

class PcSpeaker : public PortDevice {
 public:
  static constexpr double kTimerClockHz = 1193182.0;

  bool SpeakerOn() const;
  // Tone of channel 2 in Hz (0 while no count has been loaded). A count of 0 means 65536.
  double ToneHz() const;
  // The reload value of channel 2 as the program wrote it (0 = 65536), and its mode (0..5).
  std::uint16_t Divisor() const { return reload_; }
  int Mode() const { return mode_; }
  // Bits 0..3 of port 0x61 as last written.
  std::uint8_t ControlBits() const { return control_; }
  // How often a full count was loaded into channel 2 (each new tone).
  int CountLoads() const { return countLoads_; }

  std::string Name() const override { return "PC speaker"; }
  bool Decodes(std::uint16_t port) const override { return port == 0x42 || port == 0x43 || port == 0x61; }
  std::uint8_t Read(std::uint16_t port) override;
  void Write(std::uint16_t port, std::uint8_t value) override;

 private:
  std::uint8_t control_ = 0;    // port 0x61 bits 0..3
  bool refreshToggle_ = false;  // port 0x61 bit 4 flips on every read
  bool out2_ = true;            // port 0x61 bit 5
  int access_ = 3;              // 1 = low byte, 2 = high byte, 3 = low then high
  int mode_ = 3;
  bool writeHigh_ = false;  // lobyte/hibyte flip-flop for writes
  bool readHigh_ = false;   // and for reads
  std::uint8_t pendingLow_ = 0;
  std::uint16_t reload_ = 0;
  bool loaded_ = false;
  bool latched_ = false;
  std::uint16_t latch_ = 0;
  int countLoads_ = 0;
};

}  // namespace veltrix::sim
