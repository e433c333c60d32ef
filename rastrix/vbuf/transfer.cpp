// Copying rectangles between buffers and pasting the active buffer to the
// window. Both clip, so no rectangle reaches outside a buffer.
#include <algorithm>
#include <cstring>

#include "core/state.h"

namespace rx {

namespace {

struct Extent {
  int64_t width, height;
};

// A rectangle of width x height moved from (sx, sy) to (dx, dy), both its
// upper-left corners, cut so that it lies inside both extents.
struct Span {
  int64_t sx, sy, dx, dy, width, height;
};

bool clip_span(Span& r, Extent source, Extent dest) {
  int64_t left = std::max({int64_t{0}, -r.sx, -r.dx});
  int64_t top = std::max({int64_t{0}, -r.sy, -r.dy});
  int64_t right = std::max({int64_t{0}, r.sx + r.width - source.width, r.dx + r.width - dest.width});
  int64_t bottom =
      std::max({int64_t{0}, r.sy + r.height - source.height, r.dy + r.height - dest.height});
  r.width -= left + right;
  r.height -= top + bottom;
  if (r.width <= 0 || r.height <= 0) return false;
  r.sx += left;
  r.dx += left;
  r.sy += top;
  r.dy += top;
  return true;
}

uint8_t* slot_row(int handle, int64_t y, int64_t bytes_per_row) {
  const SlotTable& t = state().slots;
  return t.pixels[handle] + (t.height[handle] - 1 - y) * bytes_per_row;
}

}  // namespace

}  // namespace rx

using rx::state;
namespace platform = rx::platform;

extern "C" {

int32_t rx_buffer_copy(int32_t min_x, int32_t max_x, int32_t min_y, int32_t max_y, int32_t dest_x,
                       int32_t dest_y, int32_t source, int32_t dest) {
  const rx::SlotTable& t = state().slots;
  int src = source & 31, dst = dest & 31;
  if (t.pixels[src] == nullptr || t.pixels[dst] == nullptr) return RX_OK;
  if (t.bits[src] != t.bits[dst]) return RX_ERR_ARGUMENT;
  int64_t b = t.bits[dst] / 8;
  int64_t height = int64_t{max_y} - min_y + 1;
  rx::Span r{min_x, min_y, dest_x, int64_t{dest_y} - (height - 1), int64_t{max_x} - min_x + 1,
             height};
  if (!rx::clip_span(r, {t.stored_width[src], t.height[src]}, {t.stored_width[dst], t.height[dst]}))
    return RX_OK;
  int64_t src_stride = t.stored_width[src] * b, dst_stride = t.stored_width[dst] * b;
  size_t bytes = static_cast<size_t>(r.width * b);
  auto copy_row = [&](int64_t k) {
    std::memmove(rx::slot_row(dst, r.dy + k, dst_stride) + r.dx * b,
                 rx::slot_row(src, r.sy + k, src_stride) + r.sx * b, bytes);
  };
  // Whole rows of buffers of one row length are one run of memory.
  if (r.sx == 0 && r.dx == 0 && static_cast<int64_t>(bytes) == src_stride && src_stride == dst_stride) {
    std::memmove(rx::slot_row(dst, r.dy + r.height - 1, dst_stride),
                 rx::slot_row(src, r.sy + r.height - 1, src_stride), bytes * static_cast<size_t>(r.height));
    return RX_OK;
  }
  // Bottom row first, moving up; but a rectangle moved up within one buffer
  // goes top row first, so no row is overwritten before it is copied.
  if (src == dst && r.dy < r.sy) {
    for (int64_t k = 0; k < r.height; ++k) copy_row(k);
  } else {
    for (int64_t k = r.height - 1; k >= 0; --k) copy_row(k);
  }
  return RX_OK;
}

int32_t rx_buffer_paste(int32_t min_x, int32_t max_x, int32_t min_y, int32_t max_y, int32_t dest_x,
                        int32_t dest_y) {
  rx::LibraryState& s = state();
  if (!rx::has_active_buffer()) return RX_OK;
  int64_t height = int64_t{max_y} - min_y + 1;
  rx::Span r{min_x, min_y, dest_x, int64_t{dest_y} - (height - 1), int64_t{max_x} - min_x + 1,
             height};
  // The screen clips the destination; the buffer is clipped here.
  constexpr int64_t kFar = int64_t{1} << 40;
  if (!rx::clip_span(r, {s.active_width, s.active_height}, {kFar, kFar})) return RX_OK;
  int64_t far_dx = r.dx, far_dy = r.dy;
  if (far_dx < INT32_MIN || far_dx > INT32_MAX || far_dy < INT32_MIN || far_dy > INT32_MAX)
    return RX_OK;
  platform::set_dib_bits_to_device(
      s.window_dc, static_cast<int32_t>(r.dx), static_cast<int32_t>(r.dy),
      static_cast<int32_t>(r.width), static_cast<int32_t>(r.height), static_cast<int32_t>(r.sx),
      static_cast<int32_t>(s.active_bottom_row - (r.sy + r.height - 1)), 0, s.active_height,
      s.active_pixels, s.active_header, s.color_usage);
  return RX_OK;
}

}  // extern "C"
