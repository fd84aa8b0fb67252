// Simulated port operations per second: what one monitoring tick costs on the simulator.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/portio/tracing_port_io.h"
#include "sim/bus/port_bus.h"
#include "sim/chip/chip.h"
#include "sim/chipset/chassis_intrusion.h"
#include "sim/chipset/pc_speaker.h"

namespace {

using veltrix::sim::ChipModel;

// A board-like bus: the chip plus the chipset devices the bus has to look past.
std::unique_ptr<veltrix::sim::SimPortBus> MakeBus(ChipModel model) {
  auto bus = std::make_unique<veltrix::sim::SimPortBus>();
  bus->Attach(std::make_shared<veltrix::sim::PcSpeaker>());
  bus->Attach(std::make_shared<veltrix::sim::IntelTcoIntrusion>(0x4000));
  bus->Attach(veltrix::sim::MakeChip(model, 0x2E));
  return bus;
}

// Bank select (read 0x4E, write it back with the bank) then one banked read: six port operations.
void BM_WinbondBankSelectAndRead(benchmark::State& state) {
  auto bus = MakeBus(ChipModel::W83627HF);
  std::uint8_t bank = 0;
  for (auto _ : state) {
    bus->OutPortB(0x295, 0x4E);
    const std::uint8_t v = bus->InPortB(0x296);
    bus->OutPortB(0x295, 0x4E);
    bus->OutPortB(0x296, static_cast<std::uint8_t>((v & 0x80) | bank));
    bus->OutPortB(0x295, 0x50);
    benchmark::DoNotOptimize(bus->InPortB(0x296));
    bank = bank == 1 ? 5 : 1;
  }
  state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(BM_WinbondBankSelectAndRead);

// An ITE reading: index then data.
void BM_IteRead(benchmark::State& state) {
  auto bus = MakeBus(ChipModel::IT8712F);
  std::uint8_t reg = 0x20;
  for (auto _ : state) {
    bus->OutPortB(0x295, reg);
    benchmark::DoNotOptimize(bus->InPortB(0x296));
    reg = reg == 0x2B ? 0x20 : reg + 1;
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_IteRead);

// The same through the tracing decorator with counting only, as tests run the program.
void BM_IteReadTraced(benchmark::State& state) {
  auto bus = MakeBus(ChipModel::IT8712F);
  veltrix::platform::TracingPortIo io(*bus, false);
  for (auto _ : state) {
    io.OutPortB(0x295, 0x20);
    benchmark::DoNotOptimize(io.InPortB(0x296));
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_IteReadTraced);

// One conversion cycle of the chip (the physics feeds one per tick).
void BM_WinbondConversion(benchmark::State& state) {
  auto chip = veltrix::sim::MakeChip(ChipModel::W83627HF, 0x2E);
  veltrix::sim::AnalogInputs in;
  in.pinVolts = {1.5, 2.5, 3.3, 3.0, 3.2, 1.2, 2.1, 0, 0};
  in.fanRpm = {3000, 2500, 2000};
  for (auto _ : state) {
    in.tempC[0] += 0.01;
    chip->SetInputs(in);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WinbondConversion);

}  // namespace

BENCHMARK_MAIN();
