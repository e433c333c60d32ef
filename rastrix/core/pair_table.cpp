#include "core/pair_table.h"

#include <cstring>

#include "core/state.h"

namespace rx {
namespace {

constexpr int kEntries = 256;
// Past this many changed entries, rewriting each one's row and column
// costs more than rewriting the whole table.
constexpr int kMostSingleUpdates = 64;

struct PairTable {
  uint32_t pairs[kEntries * kEntries];
  uint16_t made_from[kEntries];  // the PaletteMap values the pairs hold
  bool made = false;
};
PairTable table;

void make_all(const uint16_t* map) {
  for (int second = 0; second < kEntries; ++second) {
    uint32_t* row = table.pairs + second * kEntries;
    const uint32_t high = static_cast<uint32_t>(map[second]) << 16;
    for (int first = 0; first < kEntries; ++first) row[first] = map[first] | high;
  }
  std::memcpy(table.made_from, map, sizeof table.made_from);
  table.made = true;
}

}  // namespace

const uint32_t* rgb565_pairs() {
  const uint16_t* map = state().palette_map.rgb565;
  if (!table.made) {
    make_all(map);
    return table.pairs;
  }
  if (std::memcmp(table.made_from, map, sizeof table.made_from) == 0) return table.pairs;
  int changed = 0;
  for (int i = 0; i < kEntries; ++i) changed += table.made_from[i] != map[i];
  if (changed > kMostSingleUpdates) {
    make_all(map);
    return table.pairs;
  }
  // Entry i's row and column with the values already brought up to date;
  // a pair of two changed entries is right once the later one is done.
  uint16_t* from = table.made_from;
  for (int i = 0; i < kEntries; ++i) {
    if (from[i] == map[i]) continue;
    from[i] = map[i];
    const uint32_t low = map[i], high = low << 16;
    for (int j = 0; j < kEntries; ++j) {
      table.pairs[i | j << 8] = low | static_cast<uint32_t>(from[j]) << 16;
      table.pairs[j | i << 8] = from[j] | high;
    }
  }
  return table.pairs;
}

}  // namespace rx
