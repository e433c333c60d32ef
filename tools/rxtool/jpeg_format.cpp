// JPEG support of rxtool: header facts, the coding process, and decoding
// through the library with a DecodeBuffer sized for the picture.
#include <cstdio>
#include <string>
#include <vector>

#include "formats.h"
#include "rastrix.h"

namespace rxtool {
namespace {

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

// The first frame marker and the restart interval, from a walk over the
// segments up to the first scan.
void walk(const char* path, std::string& out) {
  FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return;
  std::vector<uint8_t> data;
  uint8_t chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + n);
  std::fclose(f);
  size_t at = 2;
  int frame = -1, restart = -1, precision = -1;
  while (at + 4 <= data.size() && data[at] == 0xFF) {
    int code = data[at + 1];
    if (code == 0xFF) {
      ++at;
      continue;
    }
    if (code >= 0xD0 && code <= 0xD8) {
      at += 2;
      continue;
    }
    size_t length = static_cast<size_t>(data[at + 2] << 8 | data[at + 3]);
    bool is_frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
    if (is_frame && frame < 0 && at + 4 < data.size()) frame = code, precision = data[at + 4];
    if (code == 0xDD && at + 6 <= data.size()) restart = data[at + 4] << 8 | data[at + 5];
    if (code == 0xDA || code == 0xD9 || length < 2) break;
    at += 2 + length;
  }
  if (frame >= 0) {
    out += "  process: " + std::string(process_of(frame)) + "\n";
    out += "  precision: " + std::to_string(precision) + " bits\n";
  } else {
    out += "  process: no frame header\n";
  }
  if (restart >= 0) out += "  restart interval: " + std::to_string(restart) + "\n";
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

int32_t info(const char* path, std::string& out) {
  JpegInfo header{};
  int32_t r = rx_jpeg_header(path, &header);
  if (r == 0) {
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
  walk(path, out);
  return 0;
}

bool area(const char* path, int32_t* x, int32_t* y, int32_t* width, int32_t* height) {
  JpegInfo header{};
  if (rx_jpeg_header(path, &header) != 0) return false;
  *x = *y = 0;
  *width = header.width;
  *height = header.height;
  return true;
}

// The header is read from the file even when the data comes from memory;
// the DecodeBuffer lives until the next call.
int32_t show(const char* path, int32_t flags) {
  static std::vector<uint8_t> decode_buffer;
  JpegInfo header{};
  if (rx_jpeg_header(path, &header) == 0) {
    int32_t size = rx_jpeg_buffer_size(&header);
    decode_buffer.assign(static_cast<size_t>(size > 0 ? size : 0), 0);
    rx_set_decode_buffer(decode_buffer.data(), size);
  }
  return rx_show_jpeg(path, flags);
}

}  // namespace

const Format kJpegFormat = {"jpeg", sniff, info, area, show, RX_OP_SHOW_JPEG};

}  // namespace rxtool
