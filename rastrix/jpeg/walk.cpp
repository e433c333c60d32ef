#include "jpeg/walk.h"

#include <cstring>

#include "core/state.h"
#include "jpeg/bit_reader.h"
#include "jpeg/huffman.h"
#include "jpeg/markers.h"
#include "jpeg/segments.h"

namespace rx::jpeg {
namespace {

inline constexpr int kQuantSegmentBytes = 1 + kBlockSize;
inline constexpr int kHuffmanHeadBytes = 1 + kMaxCodeLength;

// The decoder keeps what it reads in its tables; a walk to the frame
// header only checks the tables, the way the decoder would.
void keep_frame(const FrameHeader& header, Frame& f) {
  Tables& t = tables();
  for (int i = 0; i < header.components; ++i) {
    Component& c = t.component[i];
    c.h = header.h[i], c.v = header.v[i], c.quant = header.quant[i];
  }
  std::memcpy(f.ids, header.ids, sizeof f.ids);
  f.width = header.width, f.height = header.height, f.components = header.components;
}

int32_t read_huffman(InputSource& src, bool keep) {
  int32_t left = segment_body(src);
  if (left < 0) return -left;
  HuffmanTable checked;
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
    HuffmanTable& into = keep ? tables().huffman[2 * table_class + id] : checked;
    if (!build_huffman_table(into, head + 1, symbols, table_class == 0))
      return RX_JPEG_BAD_HUFFMAN_TABLE;
  }
  return RX_OK;
}

int32_t read_quant(InputSource& src, bool keep) {
  int32_t left = segment_body(src);
  if (left < 0) return -left;
  while (left > 0) {
    if (left < kQuantSegmentBytes) return RX_JPEG_BAD_QUANT_TABLE;
    uint8_t entries[kQuantSegmentBytes];
    if (!src.read(entries, sizeof entries)) return RX_JPEG_TRUNCATED;
    left -= kQuantSegmentBytes;
    int precision = entries[0] >> 4, id = entries[0] & 0x0F;
    if (precision != 0 || id >= kQuantTables) return RX_JPEG_BAD_QUANT_TABLE;
    if (!keep) continue;
    QuantTable& q = tables().quant[id];
    for (int k = 0; k < kBlockSize; ++k) q.entries[kZigzag[k]] = entries[1 + k];
    q.defined = true;
  }
  return RX_OK;
}

int32_t read_restart(InputSource& src, Frame& f) {
  int32_t body = segment_body(src);
  if (body < 0) return -body;
  if (body != 2) return RX_JPEG_BAD_LENGTH;
  int32_t interval = src.u16be();
  if (interval < 0) return RX_JPEG_TRUNCATED;
  f.restart_interval = f.restart_counter = interval;
  return RX_OK;
}

// Reads the scan header and checks that it covers the whole frame with
// defined tables. 0 or a result code. Before a frame header (the only
// place a walk to the frame header meets a scan) it refuses the scan
// before any table is looked at.
int32_t read_scan(InputSource& src, Frame& f) {
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

}  // namespace

int32_t walk_segments(InputSource& src, WalkGoal goal, Frame& f, FrameHeader& header) {
  bool keep = goal == WalkGoal::kPicture;
  int pending = kNoMarker;
  for (;;) {
    int code = pending;
    pending = kNoMarker;
    if (code == kNoMarker) {
      code = next_marker(src);
      if (code < 0) return -code;
    }
    int32_t result = RX_OK;
    switch (code) {
      case kMarkerSof0:
        result = read_frame_header(src, header);
        if (result != RX_OK) break;
        f.seen = true;
        if (!keep) return RX_OK;
        keep_frame(header, f);
        break;
      case kMarkerDht:
        result = read_huffman(src, keep);
        break;
      case kMarkerDqt:
        result = read_quant(src, keep);
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
        if (stands_alone(code)) break;
        if (is_other_frame(static_cast<uint8_t>(code))) return RX_JPEG_NOT_BASELINE;
        int32_t body = segment_body(src);
        if (body < 0) return -body;
        if (!src.skip(body)) return RX_JPEG_TRUNCATED;
    }
    if (result != RX_OK) return result;
  }
}

int32_t read_header(InputSource& src, FrameHeader& header) {
  if (!starts_picture(src)) return RX_PICTURE_BAD_START;
  Frame f{};
  int32_t result = walk_segments(src, WalkGoal::kFrameHeader, f, header);
  if (result == RX_OK && !f.seen) return kNoFrameHeader;
  return result;
}

}  // namespace rx::jpeg
