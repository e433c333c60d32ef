// The scan loop: strips of MCUs decoded into the DecodeBuffer, then
// converted line by line into the active buffer, clipped to it.
#include <algorithm>

#include "core/state.h"
#include "jpeg/block_decoder.h"
#include "jpeg/color.h"
#include "jpeg/frame.h"
#include "jpeg/idct.h"

namespace rx::jpeg {
namespace {

inline constexpr int kBlockSide = 8;

// One component's share of a strip in the DecodeBuffer: its blocks
// unreplicated, a plane of width x (8 * V) samples.
struct Plane {
  uint8_t* base;
  int32_t stride;
};

inline int32_t result_of(int decoded) {
  return decoded == kBadCode ? RX_JPEG_BAD_CODE : RX_JPEG_RUN_TOO_LONG;
}

void reset_predictors() {
  for (Component& c : tables().component) c.predictor = 0;
}

// Counts an MCU for the restart interval; true when the next MCU begins
// after a restart marker.
inline bool count_restart(Frame& f) {
  if (f.restart_interval == 0) return false;
  if (--f.restart_counter > 0) return false;
  f.restart_counter = f.restart_interval;
  return true;
}

// Steps over the restart marker; a scan that ran out of data first is
// incomplete.
inline bool do_restart(BitReader& bits) {
  if (bits.overran()) return false;
  if (bits.restart()) reset_predictors();
  return true;
}

// Transforms the block and clears it for the next.
inline void decode_into(const IdctForms& idct, int16_t* block, int last, uint8_t* out,
                        int32_t stride) {
  if (last == 0)
    idct_dc_only(block[0], out, stride);
  else if (last <= kLastTopLeft)
    idct.top_left(block, out, stride);
  else
    idct.block(block, out, stride);
  clear_block(block, last);
}

// One block of an MCU in scan order: its tables and predictor, and where
// its samples go in the first MCU of a strip and from one MCU to the next.
struct BlockSlot {
  const HuffmanTable* dc;
  const HuffmanTable* ac;
  const uint8_t* quant;
  int32_t* predictor;
  uint8_t* first;
  int32_t step, stride;
};
inline constexpr int kMaxBlocksPerMcu = kMaxComponents * kMaxSampling * kMaxSampling;

// The slots of every block of an MCU; their count.
int block_slots(const Frame& f, const Plane planes[kMaxComponents],
                BlockSlot slots[kMaxBlocksPerMcu]) {
  Tables& t = tables();
  int count = 0;
  for (int n = 0; n < f.components; ++n) {
    int i = f.scan_order[n];
    Component& c = t.component[i];
    const Plane& p = planes[i];
    for (int v = 0; v < c.v; ++v)
      for (int h = 0; h < c.h; ++h)
        slots[count++] = {&t.huffman[c.dc],
                          &t.huffman[c.ac],
                          t.quant[c.quant].entries,
                          &c.predictor,
                          p.base + v * kBlockSide * p.stride + h * kBlockSide,
                          c.h * kBlockSide,
                          p.stride};
  }
  return count;
}

// The lines of the active buffer a strip reaches, clipped.
struct Span {
  int64_t first_column, count;  // in picture columns
  int64_t left;                 // buffer column of the first
};

Span clip_columns(const Frame& f) {
  const ClipRect& clip = state().clip;
  int64_t left = std::max<int64_t>(f.x0, clip.min_x);
  int64_t right = std::min<int64_t>(f.x0 + f.width - 1, clip.max_x);
  if (right < left) return {0, 0, 0};
  return {left - f.x0, right - left + 1, left};
}

inline uint8_t* buffer_line(int64_t y, const Span& span, int bytes_per_pixel, bool* inside) {
  const ClipRect& clip = state().clip;
  *inside = span.count > 0 && y >= clip.min_y && y <= clip.max_y;
  if (!*inside) return nullptr;
  return active_row(static_cast<int32_t>(y)) + span.left * bytes_per_pixel;
}

int32_t decode_gray(Frame& f, BitReader& bits) {
  Tables& t = tables();
  Component& c = t.component[0];
  int32_t padded = (f.width + kBlockSide - 1) / kBlockSide * kBlockSide;
  if (int64_t{padded} * 3 * kBlockSide * c.v > state().decode_size) return RX_JPEG_BUFFER_TOO_SMALL;
  uint8_t* plane = state().decode_buffer;
  const HuffmanTable& dc = t.huffman[c.dc];
  const HuffmanTable& ac = t.huffman[c.ac];
  const uint8_t* quant = t.quant[c.quant].entries;
  GrayLine line = gray_line(f.depth_index);
  const IdctForms& idct = idct_forms();
  int bpp = state().active_bits / 8;
  Span span = clip_columns(f);
  alignas(16) int16_t block[kBlockSize] = {};
  int32_t columns = padded / kBlockSide;
  bool restart_due = false;
  for (int32_t top = 0; top < f.height; top += kBlockSide) {
    for (int32_t bx = 0; bx < columns; ++bx) {
      if (restart_due && !do_restart(bits)) return RX_JPEG_TRUNCATED;
      int last = decode_block(bits, dc, ac, quant, c.predictor, block);
      if (last < 0) return result_of(last);
      decode_into(idct, block, last, plane + bx * kBlockSide, padded);
      restart_due = count_restart(f);
    }
    if (bits.overran()) return RX_JPEG_TRUNCATED;
    int32_t lines = std::min(kBlockSide, f.height - top);
    for (int32_t r = 0; r < lines; ++r) {
      bool inside;
      uint8_t* out = buffer_line(f.y0 + top + r, span, bpp, &inside);
      if (inside) line(plane + r * padded + span.first_column, static_cast<int32_t>(span.count), out);
    }
  }
  return RX_OK;
}

// How the strip's lines find their chroma: each chroma component's
// replication across and down (luma factor / its factor), and the
// replication the line writers apply across. Where the two chroma
// components are replicated differently across, the coarser line is
// widened to the finer one's replication first (factors up to 4: the finer
// replication divides the coarser).
struct ChromaLayout {
  int across[kMaxComponents], down[kMaxComponents];
  int writers;  // replication the line writers apply
  int coarse;   // component widened before writing, or 0 for none
  uint8_t* widened;
  int32_t widened_count;  // samples of a widened line
};

ChromaLayout chroma_layout(const Component* c, int32_t padded, uint8_t* spare) {
  ChromaLayout l{};
  for (int i = 1; i < kMaxComponents; ++i) {
    l.across[i] = c[0].h / c[i].h;
    l.down[i] = c[0].v / c[i].v;
  }
  l.writers = std::min(l.across[1], l.across[2]);
  if (l.across[1] != l.across[2]) {
    l.coarse = l.across[1] > l.across[2] ? 1 : 2;
    l.widened = spare;
    l.widened_count = padded / l.writers;
  }
  return l;
}

// Repeats each sample of from (a line of the coarse component) so that
// the line has the writers' replication.
void widen(const ChromaLayout& l, const uint8_t* from) {
  int factor = l.across[l.coarse] / l.writers;
  for (int32_t i = 0; i < l.widened_count; ++i) l.widened[i] = from[i / factor];
}

int32_t decode_color(Frame& f, BitReader& bits) {
  Tables& t = tables();
  const Component& luma = t.component[0];
  int32_t mcu_width = kBlockSide * luma.h, mcu_height = kBlockSide * luma.v;
  int32_t padded = (f.width + mcu_width - 1) / mcu_width * mcu_width;
  if (int64_t{padded} * 3 * mcu_height > state().decode_size) return RX_JPEG_BUFFER_TOO_SMALL;

  Plane planes[kMaxComponents];
  uint8_t* next = state().decode_buffer;
  for (int i = 0; i < kMaxComponents; ++i) {
    const Component& c = t.component[i];
    planes[i] = {next, padded / (luma.h / c.h)};
    next += planes[i].stride * kBlockSide * c.v;
  }
  // A widened line fits after the planes: unlike replications across mean
  // one chroma plane holds at most half a strip, leaving at least 4 lines.
  ChromaLayout layout = chroma_layout(t.component, padded, next);
  ColorLine line = color_line(f.depth_index, layout.writers);
  ColorPair pair = color_pair(f.depth_index, layout.writers);
  const IdctForms& idct = idct_forms();
  int bpp = state().active_bits / 8;
  Span span = clip_columns(f);
  alignas(16) int16_t block[kBlockSize] = {};
  int32_t mcus = padded / mcu_width;
  BlockSlot slots[kMaxBlocksPerMcu];
  int slot_count = block_slots(f, planes, slots);
  bool restart_due = false;
  for (int32_t top = 0; top < f.height; top += mcu_height) {
    for (int32_t m = 0; m < mcus; ++m) {
      if (restart_due && !do_restart(bits)) return RX_JPEG_TRUNCATED;
      for (int b = 0; b < slot_count; ++b) {
        const BlockSlot& s = slots[b];
        int last = decode_block(bits, *s.dc, *s.ac, s.quant, *s.predictor, block);
        if (last < 0) return result_of(last);
        decode_into(idct, block, last, s.first + m * s.step, s.stride);
      }
      restart_due = count_restart(f);
    }
    if (bits.overran()) return RX_JPEG_TRUNCATED;
    int32_t lines = std::min(mcu_height, f.height - top);
    for (int32_t r = 0; r < lines; ++r) {
      bool inside, next_inside = false;
      uint8_t* out = buffer_line(f.y0 + top + r, span, bpp, &inside);
      if (!inside) continue;
      int32_t cb_row = r / layout.down[1], cr_row = r / layout.down[2];
      const uint8_t* luma_line = planes[0].base + r * planes[0].stride;
      const uint8_t* chroma[kMaxComponents] = {nullptr, planes[1].base + cb_row * planes[1].stride,
                                               planes[2].base + cr_row * planes[2].stride};
      if (layout.coarse != 0) {
        widen(layout, chroma[layout.coarse]);
        chroma[layout.coarse] = layout.widened;
      }
      uint8_t* next_out = nullptr;
      if (r + 1 < lines && (r + 1) / layout.down[1] == cb_row && (r + 1) / layout.down[2] == cr_row)
        next_out = buffer_line(f.y0 + top + r + 1, span, bpp, &next_inside);
      if (next_inside) {  // two lines on one chroma line
        pair(luma_line, luma_line + planes[0].stride, chroma[1], chroma[2],
             static_cast<int32_t>(span.first_column), static_cast<int32_t>(span.count), out,
             next_out);
        ++r;
      } else {
        line(luma_line, chroma[1], chroma[2], static_cast<int32_t>(span.first_column),
             static_cast<int32_t>(span.count), out);
      }
    }
  }
  return RX_OK;
}

}  // namespace

int32_t decode_scan(Frame& frame, BitReader& bits) {
  return frame.components == 1 ? decode_gray(frame, bits) : decode_color(frame, bits);
}

}  // namespace rx::jpeg
