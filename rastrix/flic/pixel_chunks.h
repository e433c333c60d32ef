// The five pixel chunk decoders, one set per depth. Each reads its chunk's
// data from the stream and draws through a Canvas; all stop at the end of
// the data.
#pragma once

#include "flic/canvas.h"
#include "flic/flic_stream.h"

namespace rx::flic {

struct PixelDecoders {
  void (*copy)(FlicStream&, const FrameArea&);       // FLI_COPY (16)
  void (*black)(FlicStream&, const FrameArea&);      // BLACK (13)
  void (*byte_run)(FlicStream&, const FrameArea&);   // BYTE_RUN (15)
  void (*delta_fli)(FlicStream&, const FrameArea&);  // DELTA_FLI (12)
  void (*delta_flc)(FlicStream&, const FrameArea&);  // DELTA_FLC (7)
};
// Decoders by depth index (8, 16, 24, 32 bits): at 16 bits the masked
// ones at the AVX-512 level, else the portable ones.
const PixelDecoders& pixel_decoders(int32_t depth_index);
// The decoders that run on every processor.
const PixelDecoders& portable_pixel_decoders(int32_t depth_index);
// 16 bits with 64-byte vectors and masked stores; null where the processor
// lacks them.
const PixelDecoders* masked_pixel_decoders16();

}  // namespace rx::flic
