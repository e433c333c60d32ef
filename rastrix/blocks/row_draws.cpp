// The per-depth row draw tables.
#include "blocks/row_draws.h"

#include "blocks/scalar_rows.h"
#include "blocks/sse2_rows.h"

namespace rx {

const RowDraws kScalarRowDraws[4] = {{nullptr, nullptr},
                                     {plain_row<Pixel16>, mirrored_row<Pixel16>},
                                     {plain_row<Pixel24>, mirrored_row<Pixel24>},
                                     {plain_row<Pixel32>, mirrored_row<Pixel32>}};

#if defined(__SSE2__)
const RowDraws kRowDraws[4] = {{nullptr, nullptr},
                               {plain_row16_sse2, mirrored_row16_sse2},
                               {plain_row24_sse2, mirrored_row<Pixel24>},
                               {plain_row<Pixel32>, mirrored_row<Pixel32>}};
#else
const RowDraws kRowDraws[4] = {{nullptr, nullptr},
                               {plain_row<Pixel16>, mirrored_row<Pixel16>},
                               {plain_row<Pixel24>, mirrored_row<Pixel24>},
                               {plain_row<Pixel32>, mirrored_row<Pixel32>}};
#endif

}  // namespace rx
