// The per-depth row draw tables and the choice among them.
#include "blocks/row_draws.h"

#include "blocks/avx2_rows.h"
#include "blocks/avx512_rows.h"
#include "blocks/scalar_rows.h"
#include "blocks/sse2_rows.h"

namespace rx {

const RowDraws kScalarRowDraws[4] = {{nullptr, nullptr},
                                     {plain_row<Pixel16>, mirrored_row<Pixel16>},
                                     {plain_row<Pixel24>, mirrored_row<Pixel24>},
                                     {plain_row<Pixel32>, mirrored_row<Pixel32>}};

#if defined(__SSE2__)
const RowDraws kSse2RowDraws[4] = {{nullptr, nullptr},
                                   {plain_row16_sse2, mirrored_row16_sse2},
                                   {plain_row24_sse2, mirrored_row<Pixel24>},
                                   {plain_row<Pixel32>, mirrored_row<Pixel32>}};
#endif

#ifdef RASTRIX_HAS_AVX2
const RowDraws kAvx2RowDraws[4] = {{nullptr, nullptr},
                                   {plain_row16_avx2, mirrored_row16_avx2},
                                   {plain_row24_sse2, mirrored_row24_avx2},
                                   {plain_row32_avx2, mirrored_row32_avx2}};
#endif

#ifdef RASTRIX_HAS_AVX512
// 16 bits with masked stores; the other depths as with AVX2.
const RowDraws kAvx512RowDraws[4] = {{nullptr, nullptr},
                                     {plain_row16_avx512, mirrored_row16_avx512},
                                     {plain_row24_sse2, mirrored_row24_avx2},
                                     {plain_row32_avx2, mirrored_row32_avx2}};
#endif

namespace {

// Per level; a level this build lacks is never in use.
const RowDraws* const kRowDrawsByLevel[kCpuLevelCount] = {
    kScalarRowDraws,
#if defined(__SSE2__)
    kSse2RowDraws,
#else
    kScalarRowDraws,
#endif
#ifdef RASTRIX_HAS_AVX2
    kAvx2RowDraws, kAvx512RowDraws,
#else
    kScalarRowDraws, kScalarRowDraws,
#endif
};

}  // namespace

const RowDraws* row_draws() { return kRowDrawsByLevel[static_cast<int32_t>(cpu_level())]; }

}  // namespace rx
