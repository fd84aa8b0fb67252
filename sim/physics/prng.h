#pragma once
// Small deterministic generator (splitmix64): the simulator's only source of randomness, so a
// seed reproduces a run exactly on every platform.
#include <cstdint>

namespace veltrix::sim {

class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Uniform in [-1, 1).
  double Symmetric() { return Uniform() * 2.0 - 1.0; }

 private:
  std::uint64_t state_;
};

}  // namespace veltrix::sim
