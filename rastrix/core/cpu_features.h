// Processor features the library uses beyond its build target. Routines
// for 32-byte vectors are built for x86-64 with compilers that target them
// per function, and run only where the processor has them.
#pragma once

#if defined(__x86_64__) && defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#define RASTRIX_HAS_AVX2 1
#endif

namespace rx {

#ifdef RASTRIX_HAS_AVX2
// True when this processor runs AVX2 instructions.
bool avx2_usable();
#endif

}  // namespace rx
