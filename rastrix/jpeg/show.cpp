// rx_show_jpeg: the marker loop and its segment readers (T.81 B.2), then
// the scan decoder for each SOS.
#include <cstring>

#include "core/file_io.h"
#include "core/state.h"
#include "jpeg/bit_reader.h"
#include "jpeg/frame.h"
#include "jpeg/huffman.h"
#include "jpeg/input.h"
#include "jpeg/markers.h"

namespace rx::jpeg {
namespace {

inline constexpr int kQuantSegmentBytes = 1 + kBlockSize;
inline constexpr int kHuffmanHeadBytes = 1 + kMaxCodeLength;

class ScopedFile {
 public:
  explicit ScopedFile(int fd) : fd_(fd) {}
  ~ScopedFile() {
    if (fd_ >= 0) file_close(fd_);
  }

 private:
  int fd_;
};

// Length field of a segment: the bytes that follow it, or a result code
// (negative) when it is missing or too short.
int32_t segment_body(Source& src) {
  int32_t length = src.word();
  if (length < 0) return -RX_JPEG_TRUNCATED;
  if (length < 2) return -RX_JPEG_BAD_LENGTH;
  return length - 2;
}

bool sampling_ok(int f) { return f >= 1 && f <= kMaxSampling; }

int32_t read_frame(Source& src, Frame& f) {
  int32_t body = segment_body(src);
  if (body < 0) return -body;
  uint8_t head[6];
  if (!src.read(head, sizeof head)) return RX_JPEG_TRUNCATED;
  int precision = head[0], n = head[5];
  if (body != 6 + 3 * n) return RX_JPEG_BAD_LENGTH;
  if (precision != 8 || (n != 1 && n != 3)) return RX_JPEG_UNSUPPORTED_FRAME;
  int32_t height = head[1] << 8 | head[2], width = head[3] << 8 | head[4];
  if (width == 0 || height == 0) return RX_JPEG_UNSUPPORTED_FRAME;
  uint8_t fields[3 * kMaxComponents];
  if (!src.read(fields, 3 * n)) return RX_JPEG_TRUNCATED;
  // Identifiers 1..3 (JFIF), or 0..2 read by position; any order.
  int base = 1;
  for (int i = 0; i < n; ++i)
    if (fields[3 * i] == 0) base = 0;
  Component parsed[kMaxComponents]{};
  bool taken[kMaxComponents] = {};
  uint8_t ids[kMaxComponents] = {};
  for (int i = 0; i < n; ++i) {
    int slot = fields[3 * i] - base;
    if (slot < 0 || slot >= n || taken[slot]) return RX_JPEG_UNSUPPORTED_FRAME;
    taken[slot] = true;
    ids[slot] = fields[3 * i];
    parsed[slot].h = fields[3 * i + 1] >> 4;
    parsed[slot].v = fields[3 * i + 1] & 0x0F;
    parsed[slot].quant = fields[3 * i + 2];
  }
  for (int i = 0; i < n; ++i)
    if (!sampling_ok(parsed[i].h) || !sampling_ok(parsed[i].v)) return RX_JPEG_UNSUPPORTED_SAMPLING;
  // Each chroma block covers a whole number of luma blocks across and down;
  // the two chroma components may be sampled differently.
  for (int i = 1; i < n; ++i)
    if (parsed[0].h % parsed[i].h != 0 || parsed[0].v % parsed[i].v != 0)
      return RX_JPEG_UNSUPPORTED_SAMPLING;
  Tables& t = tables();
  for (int i = 0; i < n; ++i) {
    Component& c = t.component[i];
    c.h = parsed[i].h, c.v = parsed[i].v, c.quant = parsed[i].quant;
  }
  std::memcpy(f.ids, ids, sizeof ids);
  f.width = width, f.height = height, f.components = n;
  f.seen = true;
  return RX_OK;
}

int32_t read_huffman(Source& src) {
  int32_t left = segment_body(src);
  if (left < 0) return -left;
  while (left > 0) {
    uint8_t head[kHuffmanHeadBytes];
    if (left < kHuffmanHeadBytes) return RX_JPEG_BAD_HUFFMAN_TABLE;
    if (!src.read(head, sizeof head)) return RX_JPEG_TRUNCATED;
    left -= kHuffmanHeadBytes;
    int table_class = head[0] >> 4, id = head[0] & 0x0F;
    int total = 0;
    for (int l = 1; l <= kMaxCodeLength; ++l) total += head[l];
    if (table_class > 1 || id > 1 || total > kMaxSymbols || total > left)
      return RX_JPEG_BAD_HUFFMAN_TABLE;
    uint8_t symbols[kMaxSymbols];
    if (!src.read(symbols, total)) return RX_JPEG_TRUNCATED;
    left -= total;
    if (!build_huffman_table(tables().huffman[2 * table_class + id], head + 1, symbols,
                             table_class == 0))
      return RX_JPEG_BAD_HUFFMAN_TABLE;
  }
  return RX_OK;
}

int32_t read_quant(Source& src) {
  int32_t left = segment_body(src);
  if (left < 0) return -left;
  while (left > 0) {
    if (left < kQuantSegmentBytes) return RX_JPEG_BAD_QUANT_TABLE;
    uint8_t entries[kQuantSegmentBytes];
    if (!src.read(entries, sizeof entries)) return RX_JPEG_TRUNCATED;
    left -= kQuantSegmentBytes;
    int precision = entries[0] >> 4, id = entries[0] & 0x0F;
    if (precision != 0 || id >= kQuantTables) return RX_JPEG_BAD_QUANT_TABLE;
    QuantTable& q = tables().quant[id];
    for (int k = 0; k < kBlockSize; ++k) q.entries[kZigzag[k]] = entries[1 + k];
    q.defined = true;
  }
  return RX_OK;
}

int32_t read_restart(Source& src, Frame& f) {
  int32_t body = segment_body(src);
  if (body < 0) return -body;
  if (body != 2) return RX_JPEG_BAD_LENGTH;
  int32_t interval = src.word();
  if (interval < 0) return RX_JPEG_TRUNCATED;
  f.restart_interval = f.restart_counter = interval;
  return RX_OK;
}

// Reads the scan header and checks that it covers the whole frame with
// defined tables. 0 or a result code.
int32_t read_scan(Source& src, Frame& f) {
  int32_t body = segment_body(src);
  if (body < 0) return -body;
  int n = src.byte();
  if (n < 0) return RX_JPEG_TRUNCATED;
  if (body != 1 + 2 * n + 3) return RX_JPEG_BAD_LENGTH;
  uint8_t fields[2 * 4 + 3];
  if (n > 4) return RX_JPEG_PARTIAL_SCAN;
  if (!src.read(fields, 2 * n + 3)) return RX_JPEG_TRUNCATED;
  if (!f.seen) return RX_JPEG_NOT_BASELINE;
  if (n != f.components) return RX_JPEG_PARTIAL_SCAN;
  Tables& t = tables();
  bool listed[kMaxComponents] = {};
  for (int i = 0; i < n; ++i) {
    int slot = -1;
    for (int j = 0; j < f.components; ++j)
      if (f.ids[j] == fields[2 * i]) slot = j;
    if (slot < 0 || listed[slot]) return RX_JPEG_PARTIAL_SCAN;
    listed[slot] = true;
    int dc = fields[2 * i + 1] >> 4, ac = fields[2 * i + 1] & 0x0F;
    Component& c = t.component[slot];
    if (dc > 1 || ac > 1 || !t.huffman[dc].defined || !t.huffman[2 + ac].defined ||
        c.quant >= kQuantTables || !t.quant[c.quant].defined)
      return RX_JPEG_UNDEFINED_TABLE;
    c.dc = static_cast<uint8_t>(dc);
    c.ac = static_cast<uint8_t>(2 + ac);
    c.predictor = 0;
    f.scan_order[i] = slot;
  }
  return RX_OK;
}

// After a scan: the marker that stopped the entropy-coded data, or none
// (kNoMarker) when the input goes on with the next marker; a result code
// (negative) when the scan was incomplete or data bytes are left over.
int finish_scan(const BitReader& bits) {
  if (bits.overran()) return -RX_JPEG_TRUNCATED;
  if (bits.held_bytes() > 0) return -RX_JPEG_MARKER_EXPECTED;
  if (bits.stopped && bits.marker == kNoMarker) return -RX_JPEG_TRUNCATED;
  return bits.marker;
}

int32_t run_markers(Source& src, Frame& f) {
  int pending = kNoMarker;
  for (;;) {
    int code = pending;
    pending = kNoMarker;
    if (code == kNoMarker) {
      int b = src.byte();
      if (b < 0) return RX_JPEG_TRUNCATED;
      if (b != 0xFF) return RX_JPEG_MARKER_EXPECTED;
      do code = src.byte();
      while (code == 0xFF);  // fill bytes
      if (code < 0) return RX_JPEG_TRUNCATED;
    }
    int32_t result = RX_OK;
    switch (code) {
      case kMarkerSof0:
        result = read_frame(src, f);
        break;
      case kMarkerDht:
        result = read_huffman(src);
        break;
      case kMarkerDqt:
        result = read_quant(src);
        break;
      case kMarkerDri:
        result = read_restart(src, f);
        break;
      case kMarkerSos: {
        result = read_scan(src, f);
        if (result != RX_OK) break;
        BitReader bits;
        bits.start(&src);
        result = decode_scan(f, bits);
        if (result != RX_OK) break;
        int next = finish_scan(bits);
        if (next < kNoMarker) return -next;
        pending = next;
        break;
      }
      case kMarkerEoi:
        return RX_OK;
      default:
        if (code >= kMarkerRst0 && code <= kMarkerRst7) break;  // no length
        if (is_other_frame(static_cast<uint8_t>(code))) return RX_JPEG_NOT_BASELINE;
        int32_t body = segment_body(src);
        if (body < 0) return -body;
        if (!src.skip(body)) return RX_JPEG_TRUNCATED;
    }
    if (result != RX_OK) return result;
  }
}

}  // namespace
}  // namespace rx::jpeg

extern "C" int32_t rx_show_jpeg(const char* file_name, int32_t flags) {
  using namespace rx::jpeg;
  rx::LibraryState& s = rx::state();
  if (!rx::has_active_buffer() || s.active_bits <= 8) return RX_OK;
  int fd = -1;
  if ((flags & RX_SHOW_FROM_MEMORY) == 0) {
    fd = rx::file_open(file_name);
    if (fd < 0) return RX_PICTURE_CANNOT_OPEN;
  }
  ScopedFile file(fd);
  Source src = make_source(s.input_buffer, s.input_size, fd);
  if (src.byte() != 0xFF || src.byte() != kMarkerSoi) return RX_PICTURE_BAD_START;
  Frame frame{};
  frame.depth_index = s.depth_index;
  if (flags & RX_SHOW_AT_POSITION) frame.x0 = s.position_x, frame.y0 = s.position_y;
  return run_markers(src, frame);
}
