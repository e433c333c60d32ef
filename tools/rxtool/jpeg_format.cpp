// JPEG support of rxtool: header facts from a walk over the segments, and
// decoding through the library with a DecodeBuffer sized for the picture.
#include <cstdio>
#include <string>
#include <vector>

#include "formats.h"
#include "rastrix.h"

namespace rxtool {
namespace {

constexpr uint8_t kSof0 = 0xC0;
constexpr uint8_t kSos = 0xDA;
constexpr uint8_t kEoi = 0xD9;
constexpr uint8_t kDri = 0xDD;
constexpr int kMaxComponents = 3;
// Every block costs at least a 1-bit DC code and a 1-bit end of block.
constexpr int64_t kMinBitsPerBlock = 2;

bool sniff(const uint8_t* head, size_t size) {
  return size >= 2 && head[0] == 0xFF && head[1] == 0xD8;
}

const char* process_of(int code) {
  switch (code) {
    case 0xC0: return "baseline";
    case 0xC1: return "extended sequential";
    case 0xC2: return "progressive";
    case 0xC3: return "lossless";
    case 0xC5: case 0xC6: case 0xC7: return "hierarchical";
    case 0xC9: return "extended sequential, arithmetic";
    case 0xCA: return "progressive, arithmetic";
    case 0xCB: return "lossless, arithmetic";
    default: return "hierarchical, arithmetic";
  }
}

// What the segments before the first scan say.
struct Segments {
  int frame = -1;      // first frame marker
  int precision = -1;
  int restart = -1;
  bool baseline = false;  // a SOF0 frame header was read into header
  JpegInfo header{};
  size_t scan_data = 0;  // where the first scan's coded data begins; 0 if no scan
};

Segments walk(const std::vector<uint8_t>& data) {
  Segments s;
  size_t at = 2;
  while (at + 4 <= data.size() && data[at] == 0xFF) {
    int code = data[at + 1];
    if (code == 0xFF) {  // fill byte before a marker
      ++at;
      continue;
    }
    if (code >= 0xD0 && code <= 0xD8) {
      at += 2;
      continue;
    }
    size_t length = static_cast<size_t>(data[at + 2] << 8 | data[at + 3]);
    const uint8_t* p = data.data() + at + 4;
    size_t body = std::min(data.size() - at - 4, length >= 2 ? length - 2 : 0);
    bool is_frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
    if (is_frame && s.frame < 0 && body >= 1) s.frame = code, s.precision = p[0];
    if (code == kSof0 && !s.baseline && body >= 6) {
      s.baseline = true;
      s.header.signature = 0xFFD8;
      s.header.height = static_cast<uint16_t>(p[1] << 8 | p[2]);
      s.header.width = static_cast<uint16_t>(p[3] << 8 | p[4]);
      s.header.components = p[5];
      bool from_zero = body >= 7 && p[6] == 0;
      for (int i = 0; i < p[5] && i < kMaxComponents && static_cast<size_t>(6 + 3 * i + 2) < body; ++i) {
        int slot = p[6 + 3 * i] - (from_zero ? 0 : 1);
        if (slot >= 0 && slot < kMaxComponents) s.header.sampling[slot] = p[6 + 3 * i + 1];
      }
    }
    if (code == kDri && body >= 2) s.restart = p[0] << 8 | p[1];
    if (code == kSos) s.scan_data = at + 2 + length;
    if (code == kSos || code == kEoi || length < 2) break;
    at += 2 + length;
  }
  return s;
}

std::string sampling_name(const JpegInfo& info) {
  int h = info.sampling[0] >> 4, v = info.sampling[0] & 15;
  int ch = info.sampling[1] >> 4, cv = info.sampling[1] & 15;
  if (info.components != 3 || ch == 0 || cv == 0) return "";
  if (h == ch && v == cv) return "4:4:4";
  if (h == 2 * ch && v == cv) return "4:2:2";
  if (h == 2 * ch && v == 2 * cv) return "4:2:0";
  if (h == ch && v == 2 * cv) return "4:4:0";
  if (h == 4 * ch && v == cv) return "4:1:1";
  return "";
}

int32_t info(const Source& source, std::string& out) {
  std::vector<uint8_t> data = source.bytes();
  Segments s = walk(data);
  const JpegInfo& header = s.header;
  if (s.baseline) {
    out += "  size: " + std::to_string(header.width) + "x" + std::to_string(header.height) + "\n";
    out += "  components: " + std::to_string(header.components) + "\n";
    char sampling[64];
    std::snprintf(sampling, sizeof sampling, "%dx%d,%dx%d,%dx%d", header.sampling[0] >> 4,
                  header.sampling[0] & 15, header.sampling[1] >> 4, header.sampling[1] & 15,
                  header.sampling[2] >> 4, header.sampling[2] & 15);
    std::string name = sampling_name(header);
    out += "  sampling: " + std::string(sampling) + (name.empty() ? "" : " (" + name + ")") + "\n";
    out += "  decode buffer: " + std::to_string(rx_jpeg_buffer_size(&header)) + " bytes\n";
  } else {
    out += "  header: no baseline frame header found\n";
  }
  if (s.frame >= 0) {
    out += "  process: " + std::string(process_of(s.frame)) + "\n";
    out += "  precision: " + std::to_string(s.precision) + " bits\n";
  } else {
    out += "  process: no frame header\n";
  }
  if (s.restart >= 0) out += "  restart interval: " + std::to_string(s.restart) + "\n";
  return 0;
}

// The fewest coded bytes a scan of the whole picture can take.
int64_t least_scan_bytes(const JpegInfo& h) {
  int hmax = 1, vmax = 1;
  for (int i = 0; i < h.components && i < kMaxComponents; ++i) {
    hmax = std::max(hmax, h.sampling[i] >> 4);
    vmax = std::max(vmax, h.sampling[i] & 15);
  }
  int64_t blocks = 0;
  if (h.components == 1) {
    blocks = (int64_t{h.width} + 7) / 8 * ((int64_t{h.height} + 7) / 8);
  } else {
    int64_t mcus = (int64_t{h.width} + 8 * hmax - 1) / (8 * hmax) *
                   ((int64_t{h.height} + 8 * vmax - 1) / (8 * vmax));
    int per_mcu = 0;
    for (int i = 0; i < h.components && i < kMaxComponents; ++i)
      per_mcu += (h.sampling[i] >> 4) * (h.sampling[i] & 15);
    blocks = mcus * per_mcu;
  }
  return blocks * kMinBitsPerBlock / 8;
}

// The frame header, and a stream long enough to hold the picture it
// claims, are checked here so that no buffer is made for a file that
// cannot fill it.
bool inspect(const Source& source, Area& area, std::string& problem) {
  std::vector<uint8_t> data = source.bytes();
  Segments s = walk(data);
  if (!s.baseline) return true;  // the library says what is wrong (area 0x0)
  area = {0, 0, s.header.width, s.header.height, rx_jpeg_buffer_size(&s.header)};
  if (s.scan_data == 0) return true;
  int64_t coded = static_cast<int64_t>(data.size()) - static_cast<int64_t>(s.scan_data);
  int64_t least = least_scan_bytes(s.header);
  if (coded < least) {
    problem = "the data ends early: a " + std::to_string(s.header.width) + "x" +
              std::to_string(s.header.height) + " picture needs at least " +
              std::to_string(least) + " coded bytes, the file holds " +
              std::to_string(std::max<int64_t>(coded, 0));
    return false;
  }
  return true;
}

// The DecodeBuffer lives until the next call.
int32_t show(const Source& source, const Area& area, int32_t flags) {
  static std::vector<uint8_t> decode_buffer;
  decode_buffer.resize(static_cast<size_t>(area.scratch));
  rx_set_decode_buffer(decode_buffer.data(), area.scratch);
  return rx_show_jpeg(source.path.c_str(), flags | source.use());
}

}  // namespace

const Format kJpegFormat = {"jpeg", sniff, info, inspect, show, RX_OP_SHOW_JPEG};

}  // namespace rxtool
