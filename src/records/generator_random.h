// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small seeded random source for the image generator: the same seed gives
// the same image on every platform and library (no std:: distributions).

#include <cmath>
#include <cstdint>

namespace kestrum {

class GeneratorRandom {
 public:
  explicit GeneratorRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}

  std::uint64_t Next() {  // SplitMix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

  // Uniform whole number in [low, high].
  int Between(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
  }

  // Standard normal (Box-Muller).
  double Normal() {
    const double u1 = 1.0 - Uniform();
    const double u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

  // Poisson-distributed count with mean lambda; large means are split into
  // parts small enough for the multiplication method.
  std::uint32_t Poisson(double lambda) {
    std::uint32_t count = 0;
    while (lambda > 0) {
      const double part = lambda > 30 ? 30 : lambda;
      lambda -= part;
      const double limit = std::exp(-part);
      double product = Uniform();
      while (product > limit) {
        ++count;
        product *= Uniform();
      }
    }
    return count;
  }

 private:
  std::uint64_t state_;
};

}  // namespace kestrum
