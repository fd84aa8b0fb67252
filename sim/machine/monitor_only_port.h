#pragma once
// A chip seen through a board that does not decode its configuration ports (strapped off, or
// behind a bridge that forwards only the monitor range): the configuration keys go nowhere,
// while the monitor ports the BIOS set up keep answering.
#include <memory>
#include <string>

#include "sim/bus/port_device.h"
#include "sim/chip/chip.h"

namespace veltrix::sim {

class MonitorOnlyPort : public PortDevice {
 public:
  explicit MonitorOnlyPort(std::shared_ptr<SimChip> chip) : chip_(std::move(chip)) {}
  std::string Name() const override { return chip_->Name() + " (monitor only)"; }
  bool Decodes(std::uint16_t port) const override {
    std::uint16_t cfg = chip_->ConfigPort();
    return port != cfg && port != cfg + 1 && chip_->Decodes(port);
  }
  std::uint8_t Read(std::uint16_t port) override { return chip_->Read(port); }
  void Write(std::uint16_t port, std::uint8_t value) override { chip_->Write(port, value); }

 private:
  std::shared_ptr<SimChip> chip_;
};

}  // namespace veltrix::sim
