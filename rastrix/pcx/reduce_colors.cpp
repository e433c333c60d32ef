// rx_reduce_colors: fits the colours an 8-bit buffer uses into a run of
// palette entries by merging the closest pairs, then renumbers the pixels.
#include <algorithm>
#include <cstring>

#include "core/state.h"
#include "rastrix.h"

namespace rx::pcx {

namespace {

constexpr uint16_t kCountLimit = 65535;
constexpr uint32_t kFarthest = 0xFFFFFFFF;

// Working tables, rebuilt on every call.
uint16_t usage[kPaletteSize];
uint8_t renumber[kPaletteSize];

uint16_t saturating_add(uint16_t a, uint16_t b) {
  return static_cast<uint16_t>(std::min<uint32_t>(uint32_t{a} + b, kCountLimit));
}

// The clip rectangle, held inside the buffer.
ClipRect clip_area() {
  const LibraryState& s = state();
  return {std::max(s.clip.min_x, 0), std::min(s.clip.max_x, s.active_width - 1),
          std::max(s.clip.min_y, 0), std::min(s.clip.max_y, s.active_height - 1)};
}

template <class Visit>
void for_each_pixel(const ClipRect& c, Visit visit) {
  for (int32_t y = c.min_y; y <= c.max_y; ++y) {
    uint8_t* row = active_row(y);
    for (int32_t x = c.min_x; x <= c.max_x; ++x) visit(row[x]);
  }
}

int count_usage(const ClipRect& c) {
  std::fill(std::begin(usage), std::end(usage), 0);
  for (int k = 0; k < kPaletteSize; ++k) renumber[k] = static_cast<uint8_t>(k);
  for_each_pixel(c, [](uint8_t& p) {
    if (usage[p] != kCountLimit) ++usage[p];
  });
  return static_cast<int>(std::count_if(std::begin(usage), std::end(usage),
                                        [](uint16_t n) { return n != 0; }));
}

uint32_t square(int v) { return static_cast<uint32_t>(v * v); }

uint32_t distance(const uint8_t* palette, int i, int j) {
  const uint8_t* a = palette + 3 * i;
  const uint8_t* b = palette + 3 * j;
  return square(a[0] - b[0]) + square(a[1] - b[1]) + square(a[2] - b[2]);
}

// Per used colour, the distance to the closest later used colour and the
// first such colour. Palette colours never move while merging, so a row
// changes only when its nearest colour is merged away.
uint32_t nearest_distance[kPaletteSize];
uint8_t nearest[kPaletteSize];

void find_nearest(const uint8_t* palette, int i) {
  uint32_t best = kFarthest;
  int at = i;
  for (int j = i + 1; j < kPaletteSize; ++j) {
    if (usage[j] == 0) continue;
    const uint32_t d = distance(palette, i, j);
    if (d < best) best = d, at = j;
  }
  nearest_distance[i] = best;
  nearest[i] = static_cast<uint8_t>(at);
}

void find_all_nearest(const uint8_t* palette) {
  for (int i = 0; i < kPaletteSize; ++i)
    if (usage[i] != 0) find_nearest(palette, i);
}

// The closest pair of used colours. Of the pairs at that distance, taken
// in order (i ascending, then j ascending), the first is chosen, and a
// later one replaces it only when the smaller count of the chosen pair
// exceeds the count of the later pair's j.
void closest_pair(const uint8_t* palette, int& best_i, int& best_j) {
  uint32_t closest = kFarthest;
  for (int i = 0; i < kPaletteSize; ++i)
    if (usage[i] != 0) closest = std::min(closest, nearest_distance[i]);
  bool chosen = false;
  for (int i = 0; i < kPaletteSize; ++i) {
    if (usage[i] == 0 || nearest_distance[i] != closest) continue;
    for (int j = nearest[i]; j < kPaletteSize; ++j) {
      if (usage[j] == 0 || distance(palette, i, j) != closest) continue;
      if (!chosen || std::min(usage[best_i], usage[best_j]) > usage[j]) {
        best_i = i;
        best_j = j;
        chosen = true;
      }
    }
  }
}

// The colour with fewer pixels (the lower index at equal counts) goes over
// to the other, taking along every colour merged into it before.
void merge_closest(const uint8_t* palette) {
  int i = 0, j = 0;
  closest_pair(palette, i, j);
  const int removed = usage[i] <= usage[j] ? i : j;
  const int survivor = removed == i ? j : i;
  for (int k = 0; k < kPaletteSize; ++k) {
    if (renumber[k] != removed) continue;
    renumber[k] = static_cast<uint8_t>(survivor);
    usage[survivor] = saturating_add(usage[survivor], usage[k]);
  }
  usage[removed] = 0;
  for (int k = 0; k < removed; ++k)
    if (usage[k] != 0 && nearest[k] == removed) find_nearest(palette, k);
}

// Survivors move to the front in index order; merged colours follow their
// survivor; unused indexes keep their own number.
void pack(uint8_t* palette) {
  int n = 0;
  for (int k = 0; k < kPaletteSize; ++k) {
    if (usage[k] == 0) continue;
    renumber[k] = static_cast<uint8_t>(n);
    std::memmove(palette + 3 * n, palette + 3 * k, 3);
    ++n;
  }
  for (int k = 0; k < kPaletteSize; ++k)
    if (usage[k] == 0) renumber[k] = renumber[renumber[k]];
}

void move_into_run(uint8_t* palette, int32_t start, int32_t count) {
  std::memmove(palette + 3 * start, palette, static_cast<size_t>(3 * count));
  std::memset(palette, 0, static_cast<size_t>(3 * start));
  std::memset(palette + 3 * (start + count), 0, static_cast<size_t>(3 * (kPaletteSize - start - count)));
}

}  // namespace

}  // namespace rx::pcx

extern "C" int32_t rx_reduce_colors(int32_t start, int32_t count, uint8_t* palette) {
  using namespace rx::pcx;
  if (!rx::has_active_buffer() || rx::state().active_bits != 8) return RX_OK;
  if (palette == nullptr || count < 1 || start < 0 || start > rx::kPaletteSize - count)
    return RX_OK;
  const rx::ClipRect area = clip_area();
  int used = count_usage(area);
  if (used > count) find_all_nearest(palette);
  for (; used > count; --used) merge_closest(palette);
  pack(palette);
  if (start != 0) move_into_run(palette, start, count);
  for_each_pixel(area, [start](uint8_t& p) { p = static_cast<uint8_t>(renumber[p] + start); });
  return RX_OK;
}
