#include "platform/nearest_colour.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace rx::platform {

namespace {

constexpr size_t kSlots = 65536;              // one per 5-6-5 value
constexpr uint32_t kColourKnown = 1u << 24;   // above the 24 colour bits
constexpr uint16_t kPixelKnown = 1u << 8;     // above the 8 answer bits

uint32_t colour_key(Rgb c) {
  return kColourKnown | uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
}

}  // namespace

uint8_t search_nearest(const PaletteEntry* entries, int32_t count, Rgb c) {
  int32_t best = 0;
  int32_t best_d = INT32_MAX;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t dr = c.red - entries[i].red, dg = c.green - entries[i].green,
                  db = c.blue - entries[i].blue;
    const int32_t d = dr * dr + dg * dg + db * db;
    if (d < best_d) {
      best_d = d;
      best = i;
    }
  }
  return static_cast<uint8_t>(best);
}

void NearestColours::follow(const PaletteEntry* entries, int32_t count) {
  count = std::clamp(count, 0, 256);
  const size_t bytes = sizeof(PaletteEntry) * static_cast<size_t>(count);
  if (count == count_ && std::memcmp(entries_, entries, bytes) == 0) return;
  std::memcpy(entries_, entries, bytes);
  count_ = count;
  forget();
}

void NearestColours::forget() {
  // Nothing is held until a palette screen first asks.
  std::fill(colour_keys_.begin(), colour_keys_.end(), 0u);
  std::fill(pixel_answers_.begin(), pixel_answers_.end(), uint16_t{0});
}

uint8_t NearestColours::of(Rgb c) {
  if (colour_keys_.empty()) {
    colour_keys_.assign(kSlots, 0u);
    colour_answers_.assign(kSlots, 0);
  }
  const uint16_t slot = pack_565(c);
  const uint32_t key = colour_key(c);
  if (colour_keys_[slot] != key) {
    colour_answers_[slot] = search_nearest(entries_, count_, c);
    colour_keys_[slot] = key;
  }
  return colour_answers_[slot];
}

void NearestColours::of_565_row(const uint8_t* src, int32_t count, uint8_t* dst) {
  if (pixel_answers_.empty()) pixel_answers_.assign(kSlots, uint16_t{0});
  uint16_t* answers = pixel_answers_.data();
  for (int32_t i = 0; i < count; ++i) {
    const uint16_t pixel = load_u16(src + 2 * i);
    uint16_t answer = answers[pixel];
    if (answer == 0) {
      answer = static_cast<uint16_t>(kPixelKnown |
                                     search_nearest(entries_, count_, unpack_565(pixel)));
      answers[pixel] = answer;
    }
    dst[i] = static_cast<uint8_t>(answer);
  }
}

}  // namespace rx::platform
