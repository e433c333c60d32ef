#include "core/cpu_features.h"

namespace rx {

#ifdef RASTRIX_HAS_AVX2
bool avx2_usable() { return __builtin_cpu_supports("avx2"); }
#endif

}  // namespace rx
