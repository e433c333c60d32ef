#include "jpeg/segments.h"

#include "core/state.h"
#include "jpeg/markers.h"

namespace rx::jpeg {

inline constexpr int kMarkerPrefix = 0xFF;
inline constexpr int kLengthFieldBytes = 2;

bool starts_picture(InputSource& src) {
  return src.byte() == kMarkerPrefix && src.byte() == kMarkerSoi;
}

int next_marker(InputSource& src) {
  int b = src.byte();
  if (b < 0) return -RX_JPEG_TRUNCATED;
  if (b != kMarkerPrefix) return -RX_JPEG_MARKER_EXPECTED;
  int code;
  do code = src.byte();
  while (code == kMarkerPrefix);  // fill bytes
  if (code < 0) return -RX_JPEG_TRUNCATED;
  return code;
}

bool stands_alone(int code) {
  return (code >= kMarkerRst0 && code <= kMarkerRst7) || code == kMarkerSoi;
}

int32_t segment_body(InputSource& src) {
  int32_t length = src.u16be();
  if (length < 0) return -RX_JPEG_TRUNCATED;
  if (length < kLengthFieldBytes) return -RX_JPEG_BAD_LENGTH;
  return length - kLengthFieldBytes;
}

}  // namespace rx::jpeg
