#pragma once
// A port-I/O decorator that counts every operation per port and, while recording, keeps the
// exact sequence, so tests can assert protocols and print the trace when they fail.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/portio/port_io.h"

namespace veltrix::platform {

enum class PortOp { In, Out, Load, InitBus, EnablePri, DisablePri };

struct PortAccess {
  PortOp op;
  std::uint16_t port = 0;   // In/Out only
  std::uint16_t value = 0;  // byte read or written; result of Load/InitBus/EnablePri
  bool operator==(const PortAccess&) const = default;
};

// One line per access: "out 2E 87", "in 2F -> 52", "LoadPordexVxD -> 0".
std::string FormatAccess(const PortAccess& access);

class TracingPortIo : public PortIo {
 public:
  explicit TracingPortIo(PortIo& inner, bool record = true) : inner_(inner), recording_(record) {}

  void SetRecording(bool on) { recording_ = on; }
  bool Recording() const { return recording_; }
  // Forgets the trace and all counts.
  void Reset();

  std::uint64_t Reads(std::uint16_t port) const;
  std::uint64_t Writes(std::uint16_t port) const;
  std::uint64_t TotalReads() const { return totalReads_; }
  std::uint64_t TotalWrites() const { return totalWrites_; }
  const std::vector<PortAccess>& Trace() const { return trace_; }
  // Bytes written to one port, in order (from the recorded trace).
  std::vector<std::uint8_t> WrittenTo(std::uint16_t port) const;
  // The recorded trace, one access per line; with maxLines, only the last maxLines accesses.
  std::string Dump(std::size_t maxLines = 0) const;

  std::uint16_t LoadPordexVxD() override;
  std::uint16_t InitialBus(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) override;
  std::uint8_t InPortB(std::uint16_t port) override;
  void OutPortB(std::uint16_t port, std::uint8_t value) override;
  std::uint16_t EnablePri() override;
  void DisablePri() override;
  bool Reaches(std::uint16_t port) override { return inner_.Reaches(port); }

 private:
  void Record(PortOp op, std::uint16_t port, std::uint16_t value);

  PortIo& inner_;
  bool recording_;
  std::vector<PortAccess> trace_;
  std::unordered_map<std::uint16_t, std::uint64_t> reads_;
  std::unordered_map<std::uint16_t, std::uint64_t> writes_;
  std::uint64_t totalReads_ = 0;
  std::uint64_t totalWrites_ = 0;
};

}  // namespace veltrix::platform
