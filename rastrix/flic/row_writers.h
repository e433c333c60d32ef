// Row writers: flic pixels (palette indices) turned into the active
// buffer's pixels, one routine per depth chosen once per call, and the
// Canvas that places them: frame origin, current row, clipping.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/state.h"

namespace rx::flic {

// Each writes n pixels at dst (already clipped to the row) through the
// depth's table: the 8-bit remap table or PaletteMap.
struct RowWriter {
  void (*copy)(uint8_t* dst, const uint8_t* src, int32_t n, const void* table);
  void (*fill)(uint8_t* dst, uint8_t value, int32_t n, const void* table);
  // first, second, first, ... n pixels
  void (*pairs)(uint8_t* dst, uint8_t first, uint8_t second, int32_t n, const void* table);
  int32_t bytes_per_pixel;
  const void* (*table)();
};
// Writers by depth index (8, 16, 24, 32 bits).
const RowWriter& row_writer(int32_t depth_index);

// Frame pixels land in the active buffer at origin + (column, row); pixels
// outside the buffer are dropped, never written into another row.
class Canvas {
 public:
  Canvas(int64_t origin_x, int64_t origin_y, int32_t width, int32_t height)
      : origin_x(origin_x), origin_y(origin_y), width(width), height(height),
        right_column(origin_x + width - 1) {
    const LibraryState& s = state();
    writer_ = &row_writer(s.depth_index);
    table_ = writer_->table();
    buffer_width_ = s.active_width;
    buffer_height_ = s.active_height;
    bottom_row_ = s.active_bottom_row;
    bytes_per_row_ = s.active_bytes_per_row;
    pixels_ = s.active_pixels;
  }

  const int64_t origin_x, origin_y;
  const int32_t width, height;
  const int64_t right_column;

  // Buffer row y becomes the current row.
  void set_row(int64_t y) {
    y_ = y;
    row_ = y >= 0 && y < buffer_height_ ? pixels_ + (bottom_row_ - y) * bytes_per_row_ : nullptr;
  }
  void next_row() { set_row(y_ + 1); }
  int64_t row() const { return y_; }
  // True once the current row and all below it are outside the buffer.
  bool below_buffer() const { return y_ >= buffer_height_; }

  void copy(int64_t x, const uint8_t* src, int64_t n) {
    if (clip(x, n)) writer_->copy(at(x), src + skipped_, clipped_, table_);
  }
  void fill(int64_t x, uint8_t value, int64_t n) {
    if (clip(x, n)) writer_->fill(at(x), value, clipped_, table_);
  }
  void pairs(int64_t x, uint8_t first, uint8_t second, int64_t n) {
    if (!clip(x, n)) return;
    if (skipped_ & 1) std::swap(first, second);
    writer_->pairs(at(x), first, second, clipped_, table_);
  }

 private:
  // Cuts [x, x + n) to the row; false when nothing is left.
  bool clip(int64_t x, int64_t n) {
    if (row_ == nullptr) return false;
    int64_t from = std::max<int64_t>(x, 0);
    int64_t to = std::min<int64_t>(x + n, buffer_width_);
    if (from >= to) return false;
    skipped_ = from - x;
    clipped_ = static_cast<int32_t>(to - from);
    return true;
  }
  uint8_t* at(int64_t x) const {
    return row_ + (x + skipped_) * static_cast<ptrdiff_t>(writer_->bytes_per_pixel);
  }

  const RowWriter* writer_;
  const void* table_;
  int32_t buffer_width_, buffer_height_, bottom_row_;
  ptrdiff_t bytes_per_row_;
  uint8_t* pixels_;
  int64_t y_ = 0;
  uint8_t* row_ = nullptr;
  int64_t skipped_ = 0;
  int32_t clipped_ = 0;
};

}  // namespace rx::flic
