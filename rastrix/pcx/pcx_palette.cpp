#include "pcx/pcx_palette.h"

#include <cstdio>
#include <cstring>

#include "core/file_io.h"
#include "core/state.h"
#include "rastrix.h"

namespace rx::pcx {

namespace {

constexpr int kVersionWithPalette = 5;
constexpr uint8_t kPaletteMarker = 12;
constexpr int kFirstFreeEntry = 10;  // after the desktop's static colours
constexpr int kFreeEntries = 236;
// Writers that leave a 2-colour picture's header palette blank (both
// entries alike) mean black and white, as other readers take them.
constexpr uint8_t kBlackAndWhite[6] = {0, 0, 0, 255, 255, 255};

}  // namespace

bool fetch_trailer(const PictureFile& file, uint8_t* trailer) {
  if (file.fd >= 0) {
    bool got = file_seek(file.fd, -kTrailerSize, SEEK_END) >= 0 &&
               file_read(file.fd, trailer, kTrailerSize) == kTrailerSize;
    state().bytes_read = got ? kTrailerSize : 0;
    file_seek(file.fd, kHeaderSize, SEEK_SET);  // where the image data starts
    if (!got) return false;
  } else {
    if (file.memory_size < kTrailerSize) return false;
    std::memcpy(trailer, file.memory + file.memory_size - kTrailerSize, kTrailerSize);
  }
  return trailer[0] == kPaletteMarker;
}

bool may_have_end_palette(const PcxHeader& header, Variant variant) {
  return variant == Variant::kIndexed256 && header.version == kVersionWithPalette;
}

void load_picture_palette(const PcxHeader& header, Variant variant, const PictureFile& file,
                          bool reduce) {
  const bool eight_bit = state().active_bits == 8;
  // Only 256-colour pictures carry the trailing palette (ZSoft notes); the
  // colours of 2- and 16-colour pictures are in the header.
  uint8_t* trailer = state().scratch;
  if (may_have_end_palette(header, variant) && fetch_trailer(file, trailer)) {
    uint8_t* colors = trailer + 1;
    if (!eight_bit) {
      rx_set_palette_entries(0, kPaletteSize, colors);
      return;
    }
    if (reduce) rx_reduce_colors(kFirstFreeEntry, kFreeEntries, colors);
    rx_set_palette_entries(kFirstFreeEntry, kFreeEntries, colors + 3 * kFirstFreeEntry);
    return;
  }
  uint8_t colors[sizeof header.palette];
  std::memcpy(colors, header.palette, sizeof colors);
  if (variant == Variant::kTwoColors && std::memcmp(colors, colors + 3, 3) == 0)
    std::memcpy(colors, kBlackAndWhite, sizeof kBlackAndWhite);
  rx_set_palette_entries(eight_bit ? kFirstFreeEntry : 0, kHeaderPaletteColors, colors);
}

}  // namespace rx::pcx
