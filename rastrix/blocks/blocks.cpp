// Image blocks: capture a rectangle of the active buffer into caller
// memory and draw it back, plain or mirrored, zero pixels transparent,
// clipped to the clip rectangle.
#include <limits>

#include "blocks/block_pixels.h"
#include "blocks/row_draws.h"
#include "core/state.h"

namespace rx {

namespace {

// Indexed by the depth index; 8-bit buffers draw and capture nothing.
constexpr uint32_t kBlockBytesByDepth[kDepthCount] = {1, BlockPixels<Pixel16>::kBlockBytes,
                                                      BlockPixels<Pixel24>::kBlockBytes,
                                                      BlockPixels<Pixel32>::kBlockBytes};

// One draw after clipping: rows of the block and the buffer to visit.
struct DrawJob {
  const uint8_t* block;  // stored row B, column 0
  int64_t block_stride;  // width x block bytes
  uint8_t* row;          // buffer row of stored row B, first column written
  int64_t row_stride;    // buffer bytes per row; rows are bottom-up, so up is +stride
  int32_t rows;
  int32_t first;  // first stored column read (plain) or last (mirrored)
  int32_t count;  // visible columns N
};

void draw_rows(const DrawJob& job, RowDraw row_draw, int block_bytes) {
  const uint8_t* src = job.block + static_cast<int64_t>(job.first) * block_bytes;
  uint8_t* dst = job.row;
  for (int32_t r = 0; r < job.rows; ++r) {
    row_draw(dst, src, job.count);
    src += job.block_stride;
    dst += job.row_stride;
  }
}

template <class Px>
void capture_rows(uint8_t* block, int32_t x, int32_t y, int32_t width, int32_t height) {
  using B = BlockPixels<Px>;
  const int64_t stride = static_cast<int64_t>(width) * B::kBlockBytes;
  for (int32_t r = 0; r < height; ++r)
    B::capture(block + r * stride, active_row(y - r) + static_cast<int64_t>(x) * B::kBufferBytes,
               width);
}

using CaptureFn = void (*)(uint8_t*, int32_t, int32_t, int32_t, int32_t);

constexpr CaptureFn kCapture[4] = {nullptr, capture_rows<Pixel16>, capture_rows<Pixel24>,
                                   capture_rows<Pixel32>};

int32_t draw(const void* block, int32_t width, int32_t height, bool mirrored) {
  const LibraryState& s = state();
  if (!has_active_buffer() || block == nullptr || width <= 0 || height <= 0) return RX_OK;
  const int d = s.depth_index;
  const RowDraw row_draw = mirrored ? row_draws()[d].mirrored : row_draws()[d].plain;
  if (row_draw == nullptr) return RX_OK;
  const ClipRect& clip = s.clip;
  const int64_t x = s.position_x, y = s.position_y;
  int64_t h = height;
  int64_t left = 0, first_column = x;
  if (x < clip.min_x) {
    left = clip.min_x - x;
    first_column = clip.min_x;
  }
  int64_t top_row = y + 1 - h;
  if (top_row < clip.min_y) h -= clip.min_y - top_row;
  int64_t bottom = 0, first_row = y;
  if (y > clip.max_y) {
    bottom = y - clip.max_y;
    h -= bottom;
    first_row = clip.max_y;
  }
  if (h <= 0) return RX_OK;
  int64_t right = x + width - 1 > clip.max_x ? x + width - 1 - clip.max_x : 0;
  int64_t n = width - left - right;
  if (n <= 0) return RX_OK;
  const int64_t block_stride = int64_t{width} * kBlockBytesByDepth[d];
  DrawJob job;
  job.block = static_cast<const uint8_t*>(block) + bottom * block_stride;
  job.block_stride = block_stride;
  job.row = active_row(static_cast<int32_t>(first_row)) + first_column * kBytesPerPixel[d];
  job.row_stride = s.active_bytes_per_row;
  job.rows = static_cast<int32_t>(h);
  job.first = static_cast<int32_t>(mirrored ? width - 1 - left : left);
  job.count = static_cast<int32_t>(n);
  draw_rows(job, row_draw, static_cast<int>(kBlockBytesByDepth[d]));
  return RX_OK;
}

}  // namespace

}  // namespace rx

using rx::state;

extern "C" {

uint32_t rx_block_size(int32_t width, int32_t height) {
  if (width < 1 || height < 1) return 0;
  uint64_t size = uint64_t(width) * uint64_t(height) * rx::kBlockBytesByDepth[state().depth_index & 3];
  return size > std::numeric_limits<uint32_t>::max() ? 0 : static_cast<uint32_t>(size);
}

int32_t rx_capture_block(void* block, int32_t width, int32_t height) {
  const rx::LibraryState& s = state();
  if (!rx::has_active_buffer()) return RX_OK;
  rx::CaptureFn fn = rx::kCapture[s.depth_index];
  if (fn == nullptr) return RX_OK;
  const int64_t x = s.position_x, y = s.position_y;
  if (block == nullptr || width < 1 || height < 1 || x < 0 || x + width > s.active_width ||
      y - height + 1 < 0 || y >= s.active_height)
    return RX_ERR_ARGUMENT;  // never read outside the buffer
  fn(static_cast<uint8_t*>(block), static_cast<int32_t>(x), static_cast<int32_t>(y), width, height);
  return RX_OK;
}

int32_t rx_draw_block(const void* block, int32_t width, int32_t height) {
  return rx::draw(block, width, height, false);
}

int32_t rx_draw_block_mirrored(const void* block, int32_t width, int32_t height) {
  return rx::draw(block, width, height, true);
}

}  // extern "C"
