#include "core/cpu_features.h"

#include <cstdlib>
#include <cstring>

#include "rastrix.h"

namespace rx {

#ifdef RASTRIX_HAS_AVX2
bool avx2_usable() { return __builtin_cpu_supports("avx2"); }
#endif
#ifdef RASTRIX_HAS_AVX512
bool avx512_usable() {
  return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
         __builtin_cpu_supports("bmi2");
}
#endif

namespace {

constexpr const char* kLevelNames[kCpuLevelCount] = {"portable", "sse2", "avx2", "avx512"};
constexpr int32_t kNotChosen = -1;

int32_t g_level = kNotChosen;  // a CpuLevel once chosen

CpuLevel detect_best() {
#ifdef RASTRIX_HAS_AVX512
  if (avx512_usable()) return CpuLevel::kAvx512;
#endif
#ifdef RASTRIX_HAS_AVX2
  if (avx2_usable()) return CpuLevel::kAvx2;
#endif
#if defined(__SSE2__)
  return CpuLevel::kSse2;
#else
  return CpuLevel::kPortable;
#endif
}

}  // namespace

CpuLevel cpu_best() {
  static const CpuLevel best = detect_best();
  return best;
}

CpuLevel cpu_level() {
  if (g_level == kNotChosen) choose_cpu_level_from_environment();
  return static_cast<CpuLevel>(g_level);
}

CpuLevel set_cpu_level(CpuLevel wanted) {
  CpuLevel best = cpu_best();
  g_level = static_cast<int32_t>(wanted < best ? wanted : best);
  return static_cast<CpuLevel>(g_level);
}

void choose_cpu_level_from_environment() {
  CpuLevel wanted = CpuLevel::kAvx512;  // cut to the best below
  if (const char* name = std::getenv("RASTRIX_CPU")) cpu_level_named(name, &wanted);
  set_cpu_level(wanted);
}

const char* cpu_level_name(int32_t level) {
  return level >= 0 && level < kCpuLevelCount ? kLevelNames[level] : nullptr;
}

bool cpu_level_named(const char* name, CpuLevel* level) {
  for (int32_t i = 0; i < kCpuLevelCount; ++i) {
    if (std::strcmp(name, kLevelNames[i]) == 0) {
      *level = static_cast<CpuLevel>(i);
      return true;
    }
  }
  return false;
}

}  // namespace rx

extern "C" {

int32_t rx_cpu_level(void) { return static_cast<int32_t>(rx::cpu_level()); }

int32_t rx_cpu_best(void) { return static_cast<int32_t>(rx::cpu_best()); }

const char* rx_cpu_level_name(int32_t level) { return rx::cpu_level_name(level); }

}  // extern "C"
