// PCX support of rxtool: header facts and display through rx_show_pcx.
#include <cstdio>
#include <memory>
#include <string>

#include "formats.h"
#include "pcx/pcx_header.h"
#include "rastrix.h"

namespace rxtool {

namespace {

using rx::pcx::PcxHeader;
using rx::pcx::Variant;

constexpr uint8_t kEncodingRle = 1;
constexpr uint8_t kLastVersion = 5;
constexpr uint8_t kPaletteMarker = 12;
constexpr long kTrailerSize = 769;

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

bool sniff(const uint8_t* head, size_t size) {
  return size >= 3 && head[0] == rx::pcx::kManufacturer && head[1] <= kLastVersion &&
         head[2] == kEncodingRle;
}

// The header of the file; false when fewer than 128 bytes can be read.
bool read_header(FILE* f, PcxHeader& header) {
  uint8_t bytes[rx::pcx::kHeaderSize];
  if (std::fread(bytes, 1, sizeof bytes, f) != sizeof bytes) return false;
  header = rx::pcx::parse_header(bytes);
  return true;
}

bool has_trailing_palette(FILE* f) {
  if (std::fseek(f, -kTrailerSize, SEEK_END) != 0) return false;
  return std::fgetc(f) == kPaletteMarker;
}

const char* variant_name(Variant v) {
  switch (v) {
    case Variant::kSixteenColors: return "16 colours in 4 bit planes";
    case Variant::kTrueColor: return "24-bit colour in 3 planes";
    case Variant::kIndexed256: return "256 colours";
    case Variant::kTwoColors: return "2 colours";
    default: return "unsupported";
  }
}

int32_t info(const char* path, std::string& out) {
  File f(std::fopen(path, "rb"), &std::fclose);
  if (!f) return RX_PICTURE_CANNOT_OPEN;
  PcxHeader h{};
  if (!read_header(f.get(), h) || h.manufacturer != rx::pcx::kManufacturer)
    return RX_PICTURE_BAD_START;
  const Variant v = rx::pcx::variant_of(h);
  const char* palette = "16 header colours";
  if (v == Variant::kTrueColor)
    palette = "none (colours in the pixels)";
  else if (v == Variant::kIndexed256 && h.version == 5 && has_trailing_palette(f.get()))
    palette = "256 colours at the end of the file";
  char text[512];
  std::snprintf(text, sizeof text,
                "  size: %dx%d\n  origin: %d,%d\n  version: %d\n  planes: %d\n"
                "  bits per plane: %d\n  bytes per line: %d\n  variant: %s\n  palette: %s\n",
                h.width(), h.height(), h.min_x, h.min_y, h.version, h.planes, h.bits_per_plane,
                h.bytes_per_line, variant_name(v), palette);
  out += text;
  if (!rx::pcx::extent_sound(h)) return RX_PCX_BAD_SIZE;
  if (v == Variant::kUnsupported) return RX_PCX_UNSUPPORTED;
  return rx::pcx::lines_hold_width(h, v) ? 0 : RX_PCX_BAD_SIZE;
}

bool area(const char* path, int32_t* x, int32_t* y, int32_t* width, int32_t* height) {
  File f(std::fopen(path, "rb"), &std::fclose);
  PcxHeader h{};
  if (!f || !read_header(f.get(), h) || !rx::pcx::extent_sound(h)) return false;
  *x = h.min_x, *y = h.min_y, *width = h.width(), *height = h.height();
  return true;
}

}  // namespace

const Format kPcxFormat = {"pcx", sniff, info, area, rx_show_pcx, RX_OP_SHOW_PCX};

}  // namespace rxtool
