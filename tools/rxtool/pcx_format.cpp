// PCX support of rxtool: header facts and display through rx_show_pcx.
#include <cstdio>
#include <string>

#include "formats.h"
#include "rastrix.h"

namespace rxtool {

namespace {

constexpr uint8_t kManufacturer = 10;
constexpr uint8_t kLastVersion = 5;

// The encoding byte is not looked at: the library reads any value.
bool sniff(const uint8_t* head, size_t size) {
  return size >= 2 && head[0] == kManufacturer && head[1] <= kLastVersion;
}

std::string variant_name(const PcxInfo& h) {
  switch (h.colors) {
    case 2: return "2 colours";
    case 16: return "16 colours in 4 bit planes";
    case 256: return "256 colours";
    case 0: return "24-bit colour in 3 planes";
    default:
      return h.planes == 4 && h.bits_per_plane == 8 ? "RGBA, 4 planes of 8 bits: not supported"
                                                    : "unsupported";
  }
}

const char* palette_name(const PcxInfo& h) {
  if (h.colors < 0) return "not read";
  if (h.colors == 0) return "none (colours in the pixels)";
  if (h.end_palette) return "256 colours at the end of the file";
  return "16 header colours";
}

int32_t info(const Source& source, std::string& out) {
  PcxInfo h{};
  int32_t r = rx_pcx_header(source.path.c_str(), source.use(), &h);
  if (r == RX_PICTURE_CANNOT_OPEN || r == RX_PICTURE_BAD_START) return r;
  char text[512];
  std::snprintf(text, sizeof text,
                "  size: %dx%d\n  origin: %d,%d\n  version: %d\n  encoding: %d\n  planes: %d\n"
                "  bits per plane: %d\n  bytes per line: %d\n  variant: %s\n  palette: %s\n",
                h.width, h.height, h.min_x, h.min_y, h.version, h.encoding, h.planes,
                h.bits_per_plane, h.bytes_per_line, variant_name(h).c_str(), palette_name(h));
  out += text;
  return r;
}

bool inspect(const Source& source, Area& area, std::string& problem) {
  PcxInfo h{};
  int32_t r = rx_pcx_header(source.path.c_str(), source.use(), &h);
  if (r != RX_OK) {
    problem = result_text(RX_OP_PCX_HEADER, r);
    return false;
  }
  area = {h.min_x, h.min_y, h.width, h.height};
  return true;
}

int32_t show(const Source& source, const Area&, int32_t flags) {
  return rx_show_pcx(source.path.c_str(), flags | source.use());
}

}  // namespace

const Format kPcxFormat = {"pcx", sniff, info, inspect, show, RX_OP_SHOW_PCX};

}  // namespace rxtool
