#include "noise.h"

#include <cmath>

namespace assetgen {

uint64_t Rng::next() {
  state_ += 0x9E3779B97F4A7C15ull;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double Rng::uniform(double low, double high) {
  return low + (high - low) * static_cast<double>(next() >> 11) * 0x1.0p-53;
}

int Rng::below(int count) { return static_cast<int>(next() % static_cast<uint64_t>(count)); }

double lattice(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
               seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<double>(h) / 4294967296.0;
}

double value_noise(double x, double y, uint32_t seed) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  double tx = x - fx;
  double ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const double a = lattice(ix, iy, seed);
  const double b = lattice(ix + 1, iy, seed);
  const double c = lattice(ix, iy + 1, seed);
  const double d = lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double fbm(double x, double y, uint32_t seed, int octaves) {
  double sum = 0;
  double weight = 1;
  double total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * value_noise(x, y, seed + static_cast<uint32_t>(i) * 101u);
    total += weight;
    weight *= 0.5;
    x *= 2.03;
    y *= 2.03;
  }
  return sum / total;
}

}  // namespace assetgen
