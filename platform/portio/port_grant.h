#pragma once
// Which I/O ports real hardware access may touch, and the one check every access passes.
//
// Veltrix needs only: the two Super I/O configuration pairs (0x2E/0x2F, 0x4E/0x4F), the sensor
// chip's index/data pair (0x295/0x296), the chipset's chassis-intrusion ports of the board's
// method (given when access is opened) and the PC speaker (0x42, 0x43, 0x61). Any other port
// is refused. The sensor pair is refused as well until a supported chip has named itself at a
// configuration port (device id register 0x20 read back as a Winbond W83627HF/W83697HF/
// W83637HF or an ITE IT87xx id): with no chip there, whatever answers at 0x295 is not ours.
// A refusal is reported once per port.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace veltrix::platform {

inline constexpr std::uint16_t kSensorIndexPort = 0x295;
inline constexpr std::uint16_t kSensorDataPort = 0x296;

class PortGrant {
 public:
  explicit PortGrant(std::function<void(const std::string&)> log = nullptr) : log_(std::move(log)) {}

  // Starts over with the fixed ports and the given chipset ports.
  void Reset(const std::vector<std::uint16_t>& chipsetPorts);
  // The granted ports as contiguous runs (first port, count), ascending.
  std::vector<std::pair<std::uint16_t, std::uint16_t>> Runs() const;
  const std::set<std::uint16_t>& Ports() const { return ports_; }

  // Whether an access to the port may go out now.
  bool Allows(std::uint16_t port) const;
  // Every access that went out, so the configuration-port protocol is followed.
  void NoteWrite(std::uint16_t port, std::uint8_t value);
  void NoteRead(std::uint16_t port, std::uint8_t value);
  // Reports a refused access (once per port).
  void Refuse(std::uint16_t port, bool write);

  bool ChipAnswered() const { return chipAnswered_; }
  std::uint64_t Refusals() const { return refusals_; }

 private:
  std::function<void(const std::string&)> log_;
  std::set<std::uint16_t> ports_;
  std::set<std::uint16_t> reported_;
  std::uint8_t lastIndex2E_ = 0xFF;
  std::uint8_t lastIndex4E_ = 0xFF;
  bool chipAnswered_ = false;
  std::uint64_t refusals_ = 0;
};

}  // namespace veltrix::platform
