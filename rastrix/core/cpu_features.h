// Processor features the library uses beyond its build target, and the
// instruction level in use. Routines for 32- and 64-byte vectors are built
// for x86-64 with compilers that target them per function, and run only
// where the processor has them and the level in use allows them.
#pragma once

#include <cstdint>

#if defined(__x86_64__) && defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#define RASTRIX_HAS_AVX2 1
#define RASTRIX_HAS_AVX512 1
#endif

namespace rx {

#ifdef RASTRIX_HAS_AVX2
// True when this processor runs AVX2 instructions.
bool avx2_usable();
#endif
#ifdef RASTRIX_HAS_AVX512
// True when this processor runs AVX-512 byte and word instructions, on
// 32- and 64-byte vectors, and BMI2.
bool avx512_usable();
#endif

// Instruction levels, each with every one below it; the values are those
// of the public RX_CPU_* constants.
enum class CpuLevel : int32_t { kPortable = 0, kSse2 = 1, kAvx2 = 2, kAvx512 = 3 };
inline constexpr int32_t kCpuLevelCount = 4;

// The highest level this build and this processor run.
CpuLevel cpu_best();
// The level the dispatch points use: the best, unless capped by
// RASTRIX_CPU (read at the first use and again at every rx_init) or by
// set_cpu_level.
CpuLevel cpu_level();
// Uses `wanted`, cut to cpu_best(); returns the level now in use.
CpuLevel set_cpu_level(CpuLevel wanted);
// Reads RASTRIX_CPU (portable, sse2, avx2 or avx512); unset or unknown
// names use the best.
void choose_cpu_level_from_environment();

// "portable", "sse2", "avx2" or "avx512"; null outside the levels.
const char* cpu_level_name(int32_t level);
// The level of a name above; false for other names.
bool cpu_level_named(const char* name, CpuLevel* level);

}  // namespace rx
