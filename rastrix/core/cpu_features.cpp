#include "core/cpu_features.h"

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

}  // namespace rx
