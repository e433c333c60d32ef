// Deterministic pseudo-random numbers and lattice noise: every picture is
// rebuilt bit for bit from fixed seeds.
#pragma once

#include <cstdint>

namespace assetgen {

// splitmix64: small, fast and the same on every platform.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t next();
  double uniform(double low, double high);  // [low, high)
  int below(int count);                     // [0, count)

 private:
  uint64_t state_;
};

// Hash of a lattice point, uniform in [0, 1).
double lattice(int x, int y, uint32_t seed);
// Smoothly interpolated lattice noise in [0, 1].
double value_noise(double x, double y, uint32_t seed);
// Sum of octaves of value noise, normalised to [0, 1].
double fbm(double x, double y, uint32_t seed, int octaves);

}  // namespace assetgen
