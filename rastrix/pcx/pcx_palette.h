// The palette step of a PCX picture: the 256-colour palette at the end of
// the file, or the 16 colours of the header.
#pragma once

#include <cstdint>

#include "core/state.h"
#include "pcx/pcx_header.h"

namespace rx::pcx {

// Where the file's bytes are: an open file (fd >= 0, positioned anywhere;
// left at the start of the image data), or the whole file in memory.
struct PictureFile {
  int fd;
  const uint8_t* memory;
  int32_t memory_size;
};

inline constexpr int kTrailerSize = 1 + kPaletteSize * 3;  // marker + 256 x RGB

// Only 256-colour pictures of version 5 carry the palette at the end (ZSoft
// notes); the colours of the others are in the header.
bool may_have_end_palette(const PcxHeader& header, Variant variant);

// Fetches the last 769 bytes of the file into trailer; false when the file
// is too short or they do not start with the marker. A file is left at the
// start of the image data.
bool fetch_trailer(const PictureFile& file, uint8_t* trailer);

// Loads the picture's colours into the library palette. In 8-bit buffers a
// 256-colour palette goes to entries 10 to 245, fitted first with
// rx_reduce_colors unless reduce is false; 16 header colours go to 10 to 25
// (a 2-colour picture's first two black and white when they are alike).
void load_picture_palette(const PcxHeader& header, Variant variant, const PictureFile& file,
                          bool reduce);

}  // namespace rx::pcx
