#include "platform/portio/tracing_port_io.h"

#include <cstdio>

namespace veltrix::platform {

std::string FormatAccess(const PortAccess& a) {
  char line[64];
  switch (a.op) {
    case PortOp::In:
      std::snprintf(line, sizeof line, "in %02X -> %02X", a.port, a.value);
      break;
    case PortOp::Out:
      std::snprintf(line, sizeof line, "out %02X %02X", a.port, a.value);
      break;
    case PortOp::Load:
      std::snprintf(line, sizeof line, "LoadPordexVxD -> %u", a.value);
      break;
    case PortOp::InitBus:
      std::snprintf(line, sizeof line, "InitialBus -> %u", a.value);
      break;
    case PortOp::EnablePri:
      std::snprintf(line, sizeof line, "EnablePri -> %u", a.value);
      break;
    case PortOp::DisablePri:
      std::snprintf(line, sizeof line, "DisablePri");
      break;
  }
  return line;
}

void TracingPortIo::Reset() {
  trace_.clear();
  reads_.clear();
  writes_.clear();
  totalReads_ = totalWrites_ = 0;
}

std::uint64_t TracingPortIo::Reads(std::uint16_t port) const {
  auto it = reads_.find(port);
  return it == reads_.end() ? 0 : it->second;
}

std::uint64_t TracingPortIo::Writes(std::uint16_t port) const {
  auto it = writes_.find(port);
  return it == writes_.end() ? 0 : it->second;
}

std::vector<std::uint8_t> TracingPortIo::WrittenTo(std::uint16_t port) const {
  std::vector<std::uint8_t> bytes;
  for (const auto& a : trace_) {
    if (a.op == PortOp::Out && a.port == port) bytes.push_back(static_cast<std::uint8_t>(a.value));
  }
  return bytes;
}

std::string TracingPortIo::Dump(std::size_t maxLines) const {
  std::size_t first = 0;
  std::string out;
  if (maxLines != 0 && trace_.size() > maxLines) {
    first = trace_.size() - maxLines;
    out = "... " + std::to_string(first) + " earlier accesses\n";
  }
  for (std::size_t i = first; i < trace_.size(); ++i) out += FormatAccess(trace_[i]) + "\n";
  return out;
}

void TracingPortIo::Record(PortOp op, std::uint16_t port, std::uint16_t value) {
  if (recording_) trace_.push_back(PortAccess{op, port, value});
}

std::uint16_t TracingPortIo::LoadPordexVxD() {
  const std::uint16_t result = inner_.LoadPordexVxD();
  Record(PortOp::Load, 0, result);
  return result;
}

std::uint16_t TracingPortIo::InitialBus(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  const std::uint16_t result = inner_.InitialBus(a, b, c, d);
  Record(PortOp::InitBus, 0, result);
  return result;
}

std::uint8_t TracingPortIo::InPortB(std::uint16_t port) {
  const std::uint8_t value = inner_.InPortB(port);
  ++reads_[port];
  ++totalReads_;
  Record(PortOp::In, port, value);
  return value;
}

void TracingPortIo::OutPortB(std::uint16_t port, std::uint8_t value) {
  inner_.OutPortB(port, value);
  ++writes_[port];
  ++totalWrites_;
  Record(PortOp::Out, port, value);
}

std::uint16_t TracingPortIo::EnablePri() {
  const std::uint16_t result = inner_.EnablePri();
  Record(PortOp::EnablePri, 0, result);
  return result;
}

void TracingPortIo::DisablePri() {
  inner_.DisablePri();
  Record(PortOp::DisablePri, 0, 0);
}

}  // namespace veltrix::platform
