// Processor features the library uses beyond its build target. Routines
// for 32- and 64-byte vectors are built for x86-64 with compilers that
// target them per function, and run only where the processor has them.
#pragma once

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

}  // namespace rx
