#include "jpeg/frame_header.h"

#include "core/state.h"
#include "jpeg/segments.h"

namespace rx::jpeg {
namespace {

inline constexpr int kFixedBytes = 6;  // precision, Y, X, Nf
inline constexpr int kComponentBytes = 3;
inline constexpr int kSamplePrecision = 8;

bool sampling_ok(int f) { return f >= 1 && f <= kMaxSampling; }

}  // namespace

int32_t read_frame_header(InputSource& src, FrameHeader& into) {
  int32_t body = segment_body(src);
  if (body < 0) return -body;
  uint8_t head[kFixedBytes];
  if (!src.read(head, sizeof head)) return RX_JPEG_TRUNCATED;
  int precision = head[0], n = head[5];
  if (body != kFixedBytes + kComponentBytes * n) return RX_JPEG_BAD_LENGTH;
  if (precision != kSamplePrecision || (n != 1 && n != 3)) return RX_JPEG_UNSUPPORTED_FRAME;
  int32_t height = head[1] << 8 | head[2], width = head[3] << 8 | head[4];
  if (width == 0 || height == 0) return RX_JPEG_UNSUPPORTED_FRAME;
  uint8_t fields[kComponentBytes * kMaxComponents];
  if (!src.read(fields, kComponentBytes * n)) return RX_JPEG_TRUNCATED;
  // Identifiers 1..3 (JFIF), or 0..2 read by position; any order.
  int base = 1;
  for (int i = 0; i < n; ++i)
    if (fields[kComponentBytes * i] == 0) base = 0;
  FrameHeader parsed{};
  bool taken[kMaxComponents] = {};
  for (int i = 0; i < n; ++i) {
    const uint8_t* field = fields + kComponentBytes * i;
    int slot = field[0] - base;
    if (slot < 0 || slot >= n || taken[slot]) return RX_JPEG_UNSUPPORTED_FRAME;
    taken[slot] = true;
    parsed.ids[slot] = field[0];
    parsed.h[slot] = field[1] >> 4;
    parsed.v[slot] = field[1] & 0x0F;
    parsed.quant[slot] = field[2];
  }
  for (int i = 0; i < n; ++i)
    if (!sampling_ok(parsed.h[i]) || !sampling_ok(parsed.v[i])) return RX_JPEG_UNSUPPORTED_SAMPLING;
  // Each chroma block covers a whole number of luma blocks across and down;
  // the two chroma components may be sampled differently.
  for (int i = 1; i < n; ++i)
    if (parsed.h[0] % parsed.h[i] != 0 || parsed.v[0] % parsed.v[i] != 0)
      return RX_JPEG_UNSUPPORTED_SAMPLING;
  parsed.width = width, parsed.height = height, parsed.components = n;
  into = parsed;
  return RX_OK;
}

}  // namespace rx::jpeg
