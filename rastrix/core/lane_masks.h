// Lane masks for the masked loads and stores of 64-byte vectors; only
// where avx512_usable().
#pragma once

#include "core/cpu_features.h"

#ifdef RASTRIX_HAS_AVX512
#include <immintrin.h>

#include <cstdint>

namespace rx {

// The first n (0..32) of 32 lanes.
__attribute__((target("avx512bw,avx512vl,bmi2"))) inline __mmask32 first_lanes(int64_t n) {
  return _bzhi_u32(~0u, static_cast<uint32_t>(n));
}

}  // namespace rx
#endif
