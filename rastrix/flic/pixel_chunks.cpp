#include "flic/pixel_chunks.h"

#include "core/cpu_features.h"
#include "core/state.h"
#include "flic/block_runs.h"
#include "flic/masked_runs.h"
#include "flic/pixel_runs.h"

namespace rx::flic {
namespace {

// The row buffer: literal runs that are not in the InputBuffer in one
// piece are gathered here.
uint8_t* row_buffer() { return state().scratch; }

constexpr uint16_t kSkipLinesWord = 0xC000;  // top bits 11: skip -w lines
constexpr uint16_t kLastPixelWord = 0x8000;  // top bits 10: low byte at the right column
constexpr int32_t kWordRange = 0x10000;
// The most a fast path reads for one packet: skip, count, 127 pixel pairs;
// skip, count, 127 pixels, or count, 128 pixels; and the writers' read-ahead.
constexpr int64_t kLongestWordPacket = 2 + 2 * 127 + kRunReadAhead;
constexpr int64_t kLongestBytePacket = 2 + 127 + kRunReadAhead;

template <class Store>
void decode_copy(FlicStream& stream, const FrameArea& frame) {
  const FrameArea area = frame;  // pixel stores may alias the caller's, not this copy
  Canvas<Store> canvas(area);
  uint8_t* const gather = row_buffer();
  canvas.set_row(area.origin_y);
  for (int32_t rows = area.height; rows > 0; --rows, canvas.next_row()) {
    const uint8_t* row = stream.block(area.width, gather);
    if (row == nullptr) return;
    canvas.copy(area.origin_x, row, area.width);
  }
}

template <class Store>
void decode_black(FlicStream&, const FrameArea& area) {
  Canvas<Store> canvas(area);
  canvas.set_row(area.origin_y);
  for (int32_t rows = area.height; rows > 0 && !canvas.below_buffer(); --rows) {
    canvas.fill(area.origin_x, 0, area.width);
    canvas.next_row();
  }
}

// Each row: an ignored count byte, then packets until the width is made;
// a count t >= 0 repeats the next byte t times, t < 0 copies -t bytes. A
// last packet that overshoots the width draws only up to it.
template <class Store>
void decode_byte_run(FlicStream& stream, const FrameArea& frame) {
  const FrameArea area = frame;  // pixel stores may alias the caller's, not this copy
  Canvas<Store> canvas(area);
  uint8_t* const gather = row_buffer();
  canvas.set_row(area.origin_y);
  for (int32_t rows = area.height; rows > 0; --rows, canvas.next_row()) {
    if (stream.byte() < 0) return;
    int32_t made = 0;
    // A row wholly in the buffer, with packets wholly in the buffer, is
    // drawn without clipping or per-byte checks; the count keeps every
    // packet inside the row.
    if (canvas.inside(area.origin_x, area.width)) {
      uint8_t* const row = canvas.at(area.origin_x);
      const uint8_t* p = stream.cursor();
      const uint8_t* const end = p + stream.available();
      while (made < area.width && end - p >= kLongestBytePacket) {
        int32_t count = static_cast<int8_t>(p[0]);
        const int32_t room = area.width - made;
        uint8_t* const d = row + made * Store::kBytes;
        if (count >= 0) {
          canvas.put_fill(d, p[1], std::min(count, room));
          p += 2;
        } else {
          count = -count;
          canvas.put_copy(d, p + 1, std::min(count, room));
          p += 1 + count;
        }
        made += count;
      }
      stream.advance_to(p);
    }
    while (made < area.width) {
      int t = stream.byte();
      if (t < 0) return;
      int32_t count = static_cast<int8_t>(t);
      int32_t room = area.width - made;
      if (count >= 0) {
        int v = stream.byte();
        if (v < 0) return;
        canvas.fill(area.origin_x + made, static_cast<uint8_t>(v), std::min(count, room));
      } else {
        count = -count;
        const uint8_t* run = stream.block(count, gather);
        if (run == nullptr) return;
        canvas.copy(area.origin_x + made, run, std::min(count, room));
      }
      made += count;
    }
  }
}

// First line, line count, then per line a packet count and packets of a
// column skip and a count t: t >= 0 copies t bytes, t < 0 repeats one.
template <class Store>
void decode_delta_fli(FlicStream& stream, const FrameArea& frame) {
  const FrameArea area = frame;  // pixel stores may alias the caller's, not this copy
  Canvas<Store> canvas(area);
  uint8_t* const gather = row_buffer();
  int32_t first = stream.u16le();
  int32_t lines = stream.u16le();
  if (lines <= 0) return;
  canvas.set_row(area.origin_y + first);
  // The cursor stays in a local from row to row while the bytes are
  // buffered: the stream's own would go back to memory around every row.
  const uint8_t* p = stream.cursor();
  const uint8_t* end = p + stream.available();
  for (; lines > 0; --lines, canvas.next_row()) {
    int packets;
    if (p != end) {
      packets = *p++;
    } else {
      stream.advance_to(p);
      packets = stream.byte();
      if (packets < 0) return;
      p = stream.cursor();
      end = p + stream.available();
    }
    int64_t x = area.origin_x;
    // Packets wholly in the buffer are read without per-byte checks.
    for (; packets > 0 && end - p >= kLongestBytePacket; --packets) {
      x += p[0];
      // 64 bits: the next packet's address is the loop's critical path.
      int64_t count = static_cast<int8_t>(p[1]);
      if (count >= 0) {
        canvas.copy_read_ahead(x, p + 2, static_cast<int32_t>(count));
        p += count + 2;
      } else {
        count = -count;
        canvas.fill(x, p[2], count);
        p += 3;
      }
      x += count;
    }
    if (packets == 0) continue;
    stream.advance_to(p);
    for (; packets > 0; --packets) {
      int skip = stream.byte();
      int t = stream.byte();
      if (t < 0) return;
      x += skip;
      int32_t count = static_cast<int8_t>(t);
      if (count >= 0) {
        const uint8_t* run = stream.block(count, gather);
        if (run == nullptr) return;
        canvas.copy(x, run, count);
      } else {
        count = -count;
        int v = stream.byte();
        if (v < 0) return;
        canvas.fill(x, static_cast<uint8_t>(v), count);
      }
      x += count;
    }
    p = stream.cursor();
    end = p + stream.available();
  }
  stream.advance_to(p);
}

// Line count, then words: 11xxxxxx skips lines, 10xxxxxx sets the row's
// last pixel, 0xxxxxxx is the packet count of a line. Packets: a column
// skip and a count t of pixel pairs, t >= 0 literal, t < 0 one pair
// repeated.
template <class Store>
void decode_delta_flc(FlicStream& stream, const FrameArea& frame) {
  const FrameArea area = frame;  // pixel stores may alias the caller's, not this copy
  Canvas<Store> canvas(area);
  uint8_t* const gather = row_buffer();
  int32_t lines = stream.u16le();
  canvas.set_row(area.origin_y);
  while (lines > 0) {
    int32_t w = stream.u16le();
    if (w < 0) return;
    if (w >= kSkipLinesWord) {
      canvas.set_row(canvas.row() + (kWordRange - w));
      continue;
    }
    if (w >= kLastPixelWord) {
      canvas.fill(area.right_column(), static_cast<uint8_t>(w), 1);
      continue;
    }
    int64_t x = area.origin_x;
    int32_t packets = w;
    // Packets wholly in the buffer are read without per-byte checks.
    const uint8_t* p = stream.cursor();
    const uint8_t* const end = p + stream.available();
    for (; packets > 0 && end - p >= kLongestWordPacket; --packets) {
      x += p[0];
      int64_t count = static_cast<int8_t>(p[1]);
      if (count >= 0) {
        canvas.copy_read_ahead(x, p + 2, static_cast<int32_t>(2 * count));
        p += 2 * count + 2;
      } else {
        count = -count;
        canvas.pairs(x, p[2], p[3], 2 * count);
        p += 4;
      }
      x += 2 * count;
    }
    stream.advance_to(p);
    for (; packets > 0; --packets) {
      int skip = stream.byte();
      int t = stream.byte();
      if (t < 0) return;
      x += skip;
      int32_t count = static_cast<int8_t>(t);
      if (count >= 0) {
        const uint8_t* run = stream.block(2 * count, gather);
        if (run == nullptr) return;
        canvas.copy(x, run, 2 * count);
        x += 2 * count;
      } else {
        int32_t first = stream.byte();
        int32_t second = stream.byte();
        if (second < 0) return;
        canvas.pairs(x, static_cast<uint8_t>(first), static_cast<uint8_t>(second), -2 * count);
        x += -2 * count;
      }
    }
    canvas.next_row();
    --lines;
  }
}

template <class Store>
constexpr PixelDecoders decoders_for() {
  return {decode_copy<Store>, decode_black<Store>, decode_byte_run<Store>, decode_delta_fli<Store>,
          decode_delta_flc<Store>};
}

constexpr PixelDecoders kDecoders[4] = {decoders_for<Runs8>(), decoders_for<BlockRuns16>(),
                                        decoders_for<RgbRuns<Pixel24>>(),
                                        decoders_for<RgbRuns<Pixel32>>()};

#ifdef RASTRIX_HAS_AVX512
// A decoder built for the wider vectors with all it calls: their routines
// are then inlined into its loops.
template <void (*Decode)(FlicStream&, const FrameArea&)>
__attribute__((target("avx512bw,avx512vl,bmi2"), flatten)) void masked(FlicStream& stream,
                                                                       const FrameArea& area) {
  Decode(stream, area);
}
constexpr PixelDecoders kMaskedDecoders16 = {
    masked<decode_copy<MaskedRuns16>>, masked<decode_black<MaskedRuns16>>,
    masked<decode_byte_run<MaskedRuns16>>, masked<decode_delta_fli<MaskedRuns16>>,
    masked<decode_delta_flc<MaskedRuns16>>};
#endif

}  // namespace

const PixelDecoders& portable_pixel_decoders(int32_t depth_index) {
  return kDecoders[depth_index & 3];
}

const PixelDecoders* masked_pixel_decoders16() {
#ifdef RASTRIX_HAS_AVX512
  if (avx512_usable()) return &kMaskedDecoders16;
#endif
  return nullptr;
}

const PixelDecoders& pixel_decoders(int32_t depth_index) {
#ifdef RASTRIX_HAS_AVX512
  if ((depth_index & 3) == 1 && cpu_level() >= CpuLevel::kAvx512) return kMaskedDecoders16;
#endif
  return portable_pixel_decoders(depth_index);
}

}  // namespace rx::flic
