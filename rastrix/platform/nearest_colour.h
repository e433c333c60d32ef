// The nearest colour of a palette screen's system palette. A frame repeats
// its colours, so each colour is searched for once, not once per pixel:
// a full search for every pixel of a 640 x 480 frame costs about 100 ms.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pixel_formats.h"

namespace rx::platform {

// The lowest index among the first count entries at the least squared
// distance from c.
uint8_t search_nearest(const PaletteEntry* entries, int32_t count, Rgb c);

// Remembers the answers of search_nearest for one palette. Every answer is
// the search's own: entries are keyed by the whole colour (or by the 5-6-5
// pixel value, which fixes the colour), never by a shortened one.
class NearestColours {
 public:
  // The palette the answers are for; a palette other than the last one
  // (other entries or count) drops what was remembered.
  void follow(const PaletteEntry* entries, int32_t count);
  uint8_t of(Rgb c);
  // of(unpack_565(pixel)) for count 5-6-5 pixels (bytes of src) into dst.
  void of_565_row(const uint8_t* src, int32_t count, uint8_t* dst);

 private:
  void forget();

  PaletteEntry entries_[256]{};
  int32_t count_ = 0;
  // Slot pack_565(colour): kKnown | 24-bit colour, 0 when empty. Colours
  // that share a slot take turns in it.
  std::vector<uint32_t> colour_keys_;
  std::vector<uint8_t> colour_answers_;
  // Slot pixel: kKnown | answer, 0 when not yet searched.
  std::vector<uint16_t> pixel_answers_;
};

}  // namespace rx::platform
