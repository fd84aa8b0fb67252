#pragma once
// The last-resort restore: a short list of port operations that puts the hardware back into a
// safe state (fans at full output, beeps and speaker off, ...) when the program ends without its
// orderly exit: a crash signal, an exit() from deep inside a library, a shut-down that ends the
// run at once.
//
// The list is prepared while the program runs and played back from a signal handler, so
// everything here is allocation- and lock-free: two fixed buffers, the one in force named by
// an atomic index. The writer fills the idle buffer and then flips the index, so a signal that
// interrupts an update still finds a complete list (the previous one).
//
// Play() uses only InPortB/OutPortB of the port backend it is given; that backend must be the
// raw one (LinuxPortIo: in/out instructions or pread/pwrite on /dev/port; the simulator's bus),
// never a decorator that records or allocates.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace veltrix::platform {

class PortIo;

// One port operation: OutPortB(port, value) when `keepMask` is 0, otherwise a read-modify-write
// OutPortB(port, (InPortB(port) & keepMask) | value).
struct RestoreOp {
  std::uint16_t port = 0;
  std::uint8_t value = 0;
  std::uint8_t keepMask = 0;
};

class LastResortWrites {
 public:
  static constexpr std::size_t kCapacity = 96;

  // Replaces the list (false, and nothing changes, when it does not fit). Not for signal
  // handlers; one writer at a time.
  bool Set(std::span<const RestoreOp> ops);
  // An empty list: nothing to put back (after the orderly exit, or before start-up is done).
  void Clear() { Set({}); }
  std::size_t Size() const;
  // A copy of the list in force (tests).
  std::span<const RestoreOp> Current() const;

  // The port backend Play() writes through. nullptr = none (Play does nothing).
  void SetPort(PortIo* port) { port_.store(port, std::memory_order_release); }

  // Plays the list once; later calls do nothing. Async-signal-safe given a raw backend.
  // Returns the number of operations carried out.
  std::size_t Play() noexcept;
  bool Played() const { return played_.load(std::memory_order_acquire); }

 private:
  struct Buffer {
    std::array<RestoreOp, kCapacity> ops{};
    std::size_t size = 0;
  };
  std::array<Buffer, 2> buffers_{};
  std::atomic<int> active_{0};
  std::atomic<PortIo*> port_{nullptr};
  std::atomic<bool> played_{false};
};

}  // namespace veltrix::platform
