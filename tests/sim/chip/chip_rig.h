#pragma once
// A board in miniature for chip tests: one chip on the simulated bus, seen through the tracer,
// with the register routines written the way the monitoring program drives them.
#include <memory>
#include <vector>

#include "platform/portio/tracing_port_io.h"
#include "sim/bus/port_bus.h"
#include "sim/chip/chip.h"

namespace veltrix::sim::testing {

struct ChipRig {
  explicit ChipRig(ChipModel model, std::uint16_t configPort = 0x2E)
      : chipHandle(MakeChip(model, configPort)), chip(chipHandle.get()), io(bus) {
    bus.Attach(chipHandle);
  }

  void Out(std::uint16_t port, std::uint8_t value) { io.OutPortB(port, value); }
  std::uint8_t In(std::uint16_t port) { return io.InPortB(port); }

  void Key(std::uint16_t port, const std::vector<std::uint8_t>& key) {
    for (auto b : key) Out(port, b);
  }
  std::uint8_t ConfigRead(std::uint16_t port, std::uint8_t reg) {
    Out(port, reg);
    return In(port + 1);
  }
  void ConfigWrite(std::uint16_t port, std::uint8_t reg, std::uint8_t value) {
    Out(port, reg);
    Out(port + 1, value);
  }
  std::uint8_t Read(std::uint8_t reg) {
    Out(0x295, reg);
    return In(0x296);
  }
  void Write(std::uint8_t reg, std::uint8_t value) {
    Out(0x295, reg);
    Out(0x296, value);
  }
  // Winbond bank select keeping 0x4E bit 7.
  void SelectBank(std::uint8_t bank) { Write(0x4E, static_cast<std::uint8_t>((Read(0x4E) & 0x80) | bank)); }
  std::uint8_t BankRead(std::uint8_t bank, std::uint8_t reg) {
    SelectBank(bank);
    return Read(reg);
  }

  SimPortBus bus;
  std::shared_ptr<SimChip> chipHandle;
  SimChip* chip;
  platform::TracingPortIo io;
};

}  // namespace veltrix::sim::testing
