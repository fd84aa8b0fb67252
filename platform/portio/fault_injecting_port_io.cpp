#include "platform/portio/fault_injecting_port_io.h"

namespace veltrix::platform {

void FaultInjectingPortIo::ClearFaults() {
  readFaults_.clear();
  writeFaults_.clear();
}

bool FaultInjectingPortIo::Fires(double probability) {
  if (probability >= 1.0) return true;
  if (!(probability > 0.0)) return false;
  // splitmix64: a fixed, portable sequence for a given seed.
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * 0x1.0p-53 < probability;
}

std::uint16_t FaultInjectingPortIo::LoadPordexVxD() {
  const std::uint16_t result = inner_.LoadPordexVxD();
  return loadFails_ ? 1 : result;
}

std::uint16_t FaultInjectingPortIo::InitialBus(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                                               std::uint8_t d) {
  const std::uint16_t result = inner_.InitialBus(a, b, c, d);
  return busInitFails_ ? 1 : result;
}

std::uint16_t FaultInjectingPortIo::EnablePri() {
  if (privilegeRefused_) return 0;
  return inner_.EnablePri();
}

std::uint8_t FaultInjectingPortIo::InPortB(std::uint16_t port) {
  // The real read always happens: it may have side effects (clear-on-read status).
  const std::uint8_t value = inner_.InPortB(port);
  for (const auto& f : readFaults_) {
    if (port < f.firstPort || port > f.lastPort || !Fires(f.probability)) continue;
    ++injectedReads_;
    switch (f.kind) {
      case ReadFaultKind::Zero:
        return 0x00;
      case ReadFaultKind::AllOnes:
        return 0xFF;
      case ReadFaultKind::StuckBits:
        return static_cast<std::uint8_t>((value & ~f.stuckMask) | (f.stuckValue & f.stuckMask));
    }
  }
  return value;
}

void FaultInjectingPortIo::OutPortB(std::uint16_t port, std::uint8_t value) {
  for (const auto& f : writeFaults_) {
    if (port < f.firstPort || port > f.lastPort || !Fires(f.probability)) continue;
    ++injectedWrites_;
    value ^= f.xorMask;
    break;
  }
  inner_.OutPortB(port, value);
}

}  // namespace veltrix::platform
