#include "flic/palette_chunks.h"

#include <algorithm>
#include <cstring>

#include "core/state.h"
#include "flic/flic_stream.h"

namespace rx::flic {
namespace {

constexpr int kEntries = 256;
constexpr int kKept = 236;         // entries a flic may change in an 8-bit palette
constexpr int kFirstKept = 10;     // the ten static colours below stay
constexpr int kSixBitMask = 0x3F;
constexpr int kSixBitMax = 63;

constexpr int32_t kNoPartner = INT32_MAX;

// The entry in use after i closest to it, the last of equal distances.
struct Partner {
  int32_t distance;
  int entry;
};

struct FlicPalette {
  uint8_t store[kEntries][3];  // the flic's colours as last read
  uint8_t work[kEntries][3];   // working copy during a reduction
  uint8_t in_use[kEntries];
  uint8_t remap[kEntries];
  Partner partner[kEntries];
  // work and remap hold the reduction of reduced_from while this is set.
  bool reduction_held;
  uint8_t reduced_from[kEntries][3];
  // A palette chunk at 8 bits leaves its reduction for the next pixels or
  // the end of the frame: only the last of a run of chunks is ever seen.
  bool reduction_pending;
  bool pending_no_reduce;
};
FlicPalette palette;

void identity_remap() {
  for (int i = 0; i < kEntries; ++i) palette.remap[i] = static_cast<uint8_t>(i);
  palette.reduction_held = false;
}

uint8_t scale_six_bit(int v) { return static_cast<uint8_t>((v & kSixBitMask) * 255 / kSixBitMax); }

int32_t distance(int i, int j) {
  const uint8_t* a = palette.work[i];
  const uint8_t* b = palette.work[j];
  const int32_t dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
  return dr * dr + dg * dg + db * db;
}

void find_partner(int i) {
  Partner p{kNoPartner, i};
  for (int j = i + 1; j < kEntries; ++j) {
    if (!palette.in_use[j]) continue;
    const int32_t d = distance(i, j);
    if (d <= p.distance) p = {d, j};
  }
  palette.partner[i] = p;
}

// The closest pair of colours still in use; among equal distances the
// last pair of a scan with i ascending, then j ascending, wins. Colours
// never move during a reduction, so each entry's partner only changes
// when that partner leaves.
int closest_entry() {
  int best_i = 0;
  int32_t best = kNoPartner;
  for (int i = 0; i < kEntries; ++i) {
    if (!palette.in_use[i] || palette.partner[i].distance == kNoPartner) continue;
    if (palette.partner[i].distance <= best) {
      best = palette.partner[i].distance;
      best_i = i;
    }
  }
  return best_i;
}

void merge(int i, int j) {
  for (uint8_t& r : palette.remap)
    if (r == i) r = static_cast<uint8_t>(j);
  palette.in_use[i] = 0;
  for (int k = 0; k < i; ++k)
    if (palette.in_use[k] && palette.partner[k].entry == i) find_partner(k);
}

void reduce() {
  for (int i = 0; i < kEntries; ++i) find_partner(i);
  for (int in_use = kEntries; in_use > kKept; --in_use) {
    const int i = closest_entry();
    merge(i, palette.partner[i].entry);
  }
  int compact = 0;
  for (int k = 0; k < kEntries; ++k) {
    if (!palette.in_use[k]) continue;
    palette.remap[k] = static_cast<uint8_t>(compact);
    std::memmove(palette.work[compact], palette.work[k], 3);
    ++compact;
  }
  // Merged entries point at a survivor, whose entry now holds its number.
  for (int k = 0; k < kEntries; ++k)
    if (!palette.in_use[k]) palette.remap[k] = palette.remap[palette.remap[k]];
  for (uint8_t& r : palette.remap) r = static_cast<uint8_t>(r + kFirstKept);
}

}  // namespace

const uint8_t* remap_table() { return palette.remap; }

const uint8_t* reduce_to_236(bool no_reduce) {
  if (!no_reduce && palette.reduction_held &&
      std::memcmp(palette.reduced_from, palette.store, sizeof palette.store) == 0)
    return palette.work[0];
  std::memcpy(palette.work, palette.store, sizeof palette.work);
  std::memset(palette.in_use, 1, sizeof palette.in_use);
  identity_remap();
  if (no_reduce) return palette.work[kFirstKept];
  reduce();
  std::memcpy(palette.reduced_from, palette.store, sizeof palette.store);
  palette.reduction_held = true;
  return palette.work[0];
}

void apply_pending_reduction() {
  if (!palette.reduction_pending) return;
  palette.reduction_pending = false;
  rx_set_palette_entries(kFirstKept, kKept, reduce_to_236(palette.pending_no_reduce));
}

void palette_chunk(FlicStream& stream, bool six_bit, int32_t flags) {
  if (flags & RX_FLIC_KEEP_PALETTE) {
    identity_remap();
    return;
  }
  const bool eight_bit = state().active_bits == 8;
  int32_t packets = stream.u16le();
  int index = 0;
  for (int32_t p = 0; p < packets; ++p) {
    int skip = stream.byte();
    int count = stream.byte();
    if (count < 0) break;
    index = (index + skip) % kEntries;
    if (count == 0) count = kEntries;
    // A run past entry 255 is read whole but stored only up to 255.
    const int room = kEntries - index;
    int stored = 0;
    if (const uint8_t* run = stream.take(3 * count)) {  // buffered whole: no end to watch for
      stored = std::min(count, room);
      uint8_t* to = palette.store[index];
      for (int k = 0; k < 3 * stored; ++k) to[k] = six_bit ? scale_six_bit(run[k]) : run[k];
    } else {
      for (int e = 0; e < count; ++e) {
        uint8_t rgb[3];
        for (uint8_t& c : rgb) {
          int v = stream.byte();
          c = static_cast<uint8_t>(six_bit ? scale_six_bit(v) : v);
        }
        if (stream.ended()) break;
        if (e < room) std::memcpy(palette.store[index + stored++], rgb, 3);
      }
    }
    if (!eight_bit && stored > 0) rx_set_palette_entries(index, stored, palette.store[index]);
    if (stream.ended()) break;
    index = (index + count) % kEntries;
  }
  if (eight_bit) {
    palette.reduction_pending = true;
    palette.pending_no_reduce = (flags & RX_SHOW_NO_REDUCE) != 0;
  }
}

}  // namespace rx::flic
