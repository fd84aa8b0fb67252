#include "platform/portio/last_resort.h"

#include "platform/portio/port_io.h"

namespace veltrix::platform {

bool LastResortWrites::Set(std::span<const RestoreOp> ops) {
  if (ops.size() > kCapacity) return false;
  const int idle = 1 - active_.load(std::memory_order_acquire);
  Buffer& b = buffers_[static_cast<std::size_t>(idle)];
  for (std::size_t i = 0; i < ops.size(); ++i) b.ops[i] = ops[i];
  b.size = ops.size();
  active_.store(idle, std::memory_order_release);
  return true;
}

std::size_t LastResortWrites::Size() const {
  return buffers_[static_cast<std::size_t>(active_.load(std::memory_order_acquire))].size;
}

std::span<const RestoreOp> LastResortWrites::Current() const {
  const Buffer& b = buffers_[static_cast<std::size_t>(active_.load(std::memory_order_acquire))];
  return {b.ops.data(), b.size};
}

std::size_t LastResortWrites::Play() noexcept {
  if (played_.exchange(true, std::memory_order_acq_rel)) return 0;
  PortIo* port = port_.load(std::memory_order_acquire);
  if (port == nullptr) return 0;
  const Buffer& b = buffers_[static_cast<std::size_t>(active_.load(std::memory_order_acquire))];
  for (std::size_t i = 0; i < b.size; ++i) {
    const RestoreOp& op = b.ops[i];
    std::uint8_t value = op.value;
    if (op.keepMask != 0) value = static_cast<std::uint8_t>((port->InPortB(op.port) & op.keepMask) | op.value);
    port->OutPortB(op.port, value);
  }
  return b.size;
}

}  // namespace veltrix::platform
