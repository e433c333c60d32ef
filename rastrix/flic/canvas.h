// The Canvas: where a flic frame's runs land in the active buffer (frame
// origin, current row) and what of them is clipped; a run store (see
// pixel_runs.h) turns what is left into pixels. The decoders are templates
// over the store, chosen once per call by the depth index.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "core/state.h"

namespace rx::flic {

// Where a frame lands and how large it is.
struct FrameArea {
  int64_t origin_x, origin_y;
  int32_t width, height;
  int64_t right_column() const { return origin_x + width - 1; }
};

// Frame pixels land in the active buffer at origin + (column, row); pixels
// outside the buffer are dropped, never written into another row.
template <class Store>
class Canvas {
 public:
  explicit Canvas(const FrameArea& area) : area(area) {
    const LibraryState& s = state();
    buffer_width_ = s.active_width;
    buffer_height_ = s.active_height;
    bottom_row_ = s.active_bottom_row;
    bytes_per_row_ = s.active_bytes_per_row;
    pixels_ = s.active_pixels;
  }

  const FrameArea area;

  // Buffer row y becomes the current row.
  void set_row(int64_t y) {
    y_ = y;
    const bool in_buffer = y >= 0 && y < buffer_height_;
    row_ = in_buffer ? pixels_ + (bottom_row_ - y) * bytes_per_row_ : nullptr;
    row_width_ = in_buffer ? buffer_width_ : kNoRow;
  }
  void next_row() { set_row(y_ + 1); }
  int64_t row() const { return y_; }
  // True once the current row and all below it are outside the buffer.
  bool below_buffer() const { return y_ >= buffer_height_; }

  // Pixels src[0 .. n) at column x.
  void copy(int64_t x, const uint8_t* src, int64_t n) {
    if (inside(x, n)) return store_.copy(at(x), src, static_cast<int32_t>(n));
    Span span;
    if (clip(x, n, span)) store_.copy(span.dst, src + span.skipped, span.count);
  }
  // The same where src may be read up to kRunReadAhead bytes past the run:
  // the delta decoders' packets wholly in the input.
  void copy_read_ahead(int64_t x, const uint8_t* src, int32_t n) {
    if constexpr (Store::kRoomy) {
      if (has_room(x, n)) return store_.copy_read_ahead(at(x), src, n);
    }
    copy(x, src, n);
  }
  // n pixels of one value.
  void fill(int64_t x, uint8_t value, int64_t n) {
    if constexpr (Store::kRoomy) {
      if (has_room(x, n)) return store_.fill_in_room(at(x), value, static_cast<int32_t>(n));
    }
    if (inside(x, n)) return store_.fill(at(x), value, static_cast<int32_t>(n));
    Span span;
    if (clip(x, n, span)) store_.fill(span.dst, value, span.count);
  }
  // n pixels alternating first, second, first, ...
  void pairs(int64_t x, uint8_t first, uint8_t second, int64_t n) {
    if constexpr (Store::kRoomy) {
      if (has_room(x, n))
        return store_.pairs_in_room(at(x), first, second, static_cast<int32_t>(n));
    }
    if (inside(x, n)) return store_.pairs(at(x), first, second, static_cast<int32_t>(n));
    Span span;
    if (!clip(x, n, span)) return;
    if (span.skipped & 1) std::swap(first, second);
    store_.pairs(span.dst, first, second, span.count);
  }

  // True when [x, x + n) lies wholly in the current row, which then has
  // pixels: the common case, where no clipping is needed.
  bool inside(int64_t x, int64_t n) const { return x >= 0 && x + n <= row_width_; }
  // Column x of the current row.
  uint8_t* at(int64_t x) const { return row_ + x * Store::kBytes; }
  // Unclipped writers for n pixels at d, which the caller has checked.
  void put_copy(uint8_t* d, const uint8_t* src, int32_t n) const { store_.copy(d, src, n); }
  void put_fill(uint8_t* d, uint8_t value, int32_t n) const { store_.fill(d, value, n); }

 private:
  // The part of a run that lies in the buffer.
  struct Span {
    uint8_t* dst;
    int64_t skipped;  // pixels cut off at the left
    int32_t count;
  };
  // Cuts [x, x + n) to the current row; false when nothing is left.
  bool clip(int64_t x, int64_t n, Span& span) const {
    if (row_ == nullptr) return false;
    int64_t from = std::max<int64_t>(x, 0);
    int64_t to = std::min<int64_t>(x + n, buffer_width_);
    if (from >= to) return false;
    span = {row_ + from * Store::kBytes, from - x, static_cast<int32_t>(to - from)};
    return true;
  }
  // True when the store's room-taking writers may put n pixels at x.
  bool has_room(int64_t x, int64_t n) const {
    return x >= 0 && Store::room_end(x, n) <= row_width_;
  }

  const Store store_;
  int32_t buffer_width_, buffer_height_, bottom_row_;
  ptrdiff_t bytes_per_row_;
  uint8_t* pixels_;
  int64_t y_ = 0;
  uint8_t* row_ = nullptr;
  // The buffer's width, or kNoRow when the row is outside it: no run fits.
  static constexpr int64_t kNoRow = -1;
  int64_t row_width_ = kNoRow;
};

}  // namespace rx::flic
