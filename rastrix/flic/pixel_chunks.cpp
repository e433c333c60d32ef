#include "flic/pixel_chunks.h"

#include "core/state.h"

namespace rx::flic {
namespace {

// The row buffer: literal runs that are not in the InputBuffer in one
// piece are gathered here.
uint8_t* row_buffer() { return state().scratch; }

constexpr uint16_t kSkipLinesWord = 0xC000;  // top bits 11: skip -w lines
constexpr uint16_t kLastPixelWord = 0x8000;  // top bits 10: low byte at the right column
constexpr int32_t kWordRange = 0x10000;

}  // namespace

void decode_copy(FlicStream& stream, Canvas& canvas) {
  canvas.set_row(canvas.origin_y);
  for (int32_t rows = canvas.height; rows > 0; --rows, canvas.next_row()) {
    const uint8_t* row = stream.block(canvas.width, row_buffer());
    if (row == nullptr) return;
    canvas.copy(canvas.origin_x, row, canvas.width);
  }
}

void decode_black(Canvas& canvas) {
  canvas.set_row(canvas.origin_y);
  for (int32_t rows = canvas.height; rows > 0 && !canvas.below_buffer(); --rows)  {
    canvas.fill(canvas.origin_x, 0, canvas.width);
    canvas.next_row();
  }
}

// Each row: an ignored count byte, then packets until the width is made;
// a count t >= 0 repeats the next byte t times, t < 0 copies -t bytes. A
// last packet that overshoots the width draws only up to it.
void decode_byte_run(FlicStream& stream, Canvas& canvas) {
  canvas.set_row(canvas.origin_y);
  for (int32_t rows = canvas.height; rows > 0; --rows, canvas.next_row()) {
    if (stream.byte() < 0) return;
    int32_t made = 0;
    while (made < canvas.width) {
      int t = stream.byte();
      if (t < 0) return;
      int32_t count = static_cast<int8_t>(t);
      int32_t room = canvas.width - made;
      if (count >= 0) {
        int v = stream.byte();
        if (v < 0) return;
        canvas.fill(canvas.origin_x + made, static_cast<uint8_t>(v), std::min(count, room));
      } else {
        count = -count;
        const uint8_t* run = stream.block(count, row_buffer());
        if (run == nullptr) return;
        canvas.copy(canvas.origin_x + made, run, std::min(count, room));
      }
      made += count;
    }
  }
}

// First line, line count, then per line a packet count and packets of a
// column skip and a count t: t >= 0 copies t bytes, t < 0 repeats one.
void decode_delta_fli(FlicStream& stream, Canvas& canvas) {
  int32_t first = stream.u16();
  int32_t lines = stream.u16();
  if (lines <= 0) return;
  canvas.set_row(canvas.origin_y + first);
  for (; lines > 0; --lines, canvas.next_row()) {
    int packets = stream.byte();
    if (packets < 0) return;
    int64_t x = canvas.origin_x;
    for (; packets > 0; --packets) {
      int skip = stream.byte();
      int t = stream.byte();
      if (t < 0) return;
      x += skip;
      int32_t count = static_cast<int8_t>(t);
      if (count >= 0) {
        const uint8_t* run = stream.block(count, row_buffer());
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
  }
}

// Line count, then words: 11xxxxxx skips lines, 10xxxxxx sets the row's
// last pixel, 0xxxxxxx is the packet count of a line. Packets: a column
// skip and a count t of pixel pairs, t >= 0 literal, t < 0 one pair
// repeated.
void decode_delta_flc(FlicStream& stream, Canvas& canvas) {
  int32_t lines = stream.u16();
  canvas.set_row(canvas.origin_y);
  while (lines > 0) {
    int32_t w = stream.u16();
    if (w < 0) return;
    if (w >= kSkipLinesWord) {
      canvas.set_row(canvas.row() + (kWordRange - w));
      continue;
    }
    if (w >= kLastPixelWord) {
      canvas.fill(canvas.right_column, static_cast<uint8_t>(w), 1);
      continue;
    }
    int64_t x = canvas.origin_x;
    for (int32_t packets = w; packets > 0; --packets) {
      int skip = stream.byte();
      int t = stream.byte();
      if (t < 0) return;
      x += skip;
      int32_t count = static_cast<int8_t>(t);
      if (count >= 0) {
        const uint8_t* run = stream.block(2 * count, row_buffer());
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

}  // namespace rx::flic
