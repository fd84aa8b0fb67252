#pragma once
// A port-I/O decorator for robustness tests: the library calls can fail, and port reads and
// writes can be corrupted at random, deterministically from a seed (same seed, same faults).
#include <cstdint>
#include <vector>

#include "platform/portio/port_io.h"

namespace veltrix::platform {

enum class ReadFaultKind {
  Zero,       // the read returns 0x00
  AllOnes,    // the read returns 0xFF (nothing answered)
  StuckBits,  // bits in stuckMask read as the matching bits of stuckValue
};

struct ReadFault {
  std::uint16_t firstPort = 0;
  std::uint16_t lastPort = 0xFFFF;
  double probability = 1.0;  // per matching read, 0..1
  ReadFaultKind kind = ReadFaultKind::AllOnes;
  std::uint8_t stuckMask = 0;
  std::uint8_t stuckValue = 0;
};

// A written byte reaches the port with xorMask flipped (e.g. a bank select that lands on the
// wrong bank for one access).
struct WriteFault {
  std::uint16_t firstPort = 0;
  std::uint16_t lastPort = 0xFFFF;
  double probability = 1.0;
  std::uint8_t xorMask = 0x01;
};

class FaultInjectingPortIo : public PortIo {
 public:
  explicit FaultInjectingPortIo(PortIo& inner, std::uint64_t seed = 1) : inner_(inner), state_(seed) {}

  void SetDriverLoadFails(bool fails) { loadFails_ = fails; }
  void SetBusInitFails(bool fails) { busInitFails_ = fails; }
  void SetPrivilegeRefused(bool refused) { privilegeRefused_ = refused; }

  // Faults are tried in the order added; the first that fires applies.
  void AddReadFault(const ReadFault& fault) { readFaults_.push_back(fault); }
  void AddWriteFault(const WriteFault& fault) { writeFaults_.push_back(fault); }
  void ClearFaults();
  void Reseed(std::uint64_t seed) { state_ = seed; }
  std::uint64_t InjectedReads() const { return injectedReads_; }
  std::uint64_t InjectedWrites() const { return injectedWrites_; }

  std::uint16_t LoadPordexVxD() override;
  std::uint16_t InitialBus(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) override;
  std::uint8_t InPortB(std::uint16_t port) override;
  void OutPortB(std::uint16_t port, std::uint8_t value) override;
  std::uint16_t EnablePri() override;
  void DisablePri() override { inner_.DisablePri(); }
  bool Reaches(std::uint16_t port) override { return inner_.Reaches(port); }

 private:
  bool Fires(double probability);

  PortIo& inner_;
  std::uint64_t state_;
  bool loadFails_ = false;
  bool busInitFails_ = false;
  bool privilegeRefused_ = false;
  std::vector<ReadFault> readFaults_;
  std::vector<WriteFault> writeFaults_;
  std::uint64_t injectedReads_ = 0;
  std::uint64_t injectedWrites_ = 0;
};

}  // namespace veltrix::platform
