#include "native_rand.h"

#include <array>

namespace web {

namespace {

constexpr int kDegree = 31;  // words of state
constexpr int kSeparation = 3;
constexpr int kWarmUp = 310;  // draws thrown away after seeding
constexpr int64_t kModulus = 2147483647;
constexpr int64_t kMultiplier = 16807;

struct State {
  std::array<uint32_t, kDegree> r{};
  int front = kSeparation, rear = 0;
};

State& state() {
  static State s;
  return s;
}

uint32_t next() {
  State& s = state();
  s.r[s.front] += s.r[s.rear];
  const uint32_t out = s.r[s.front] >> 1;
  s.front = (s.front + 1) % kDegree;
  s.rear = (s.rear + 1) % kDegree;
  return out;
}

}  // namespace

void seed_native_rand(uint32_t seed) {
  State& s = state();
  int64_t word = seed == 0 ? 1 : seed;
  s.r[0] = static_cast<uint32_t>(word);
  for (int i = 1; i < kDegree; ++i) {
    // 16807 * word mod (2^31 - 1) on the signed 32-bit value, as glibc does
    const int64_t w = static_cast<int32_t>(s.r[i - 1]);
    int64_t v = (kMultiplier * w) % kModulus;
    if (v < 0) v += kModulus;
    s.r[i] = static_cast<uint32_t>(v);
  }
  s.front = kSeparation;
  s.rear = 0;
  for (int i = 0; i < kWarmUp; ++i) next();
}

int native_rand() { return static_cast<int>(next()); }

}  // namespace web
