// rx_pcx_header: what a PCX header says, checked as rx_show_pcx checks it.
#include <cstring>

#include "core/file_io.h"
#include "core/state.h"
#include "pcx/pcx_header.h"
#include "pcx/pcx_input.h"
#include "pcx/pcx_palette.h"
#include "rastrix.h"

namespace rx::pcx {
namespace {

constexpr int kEncodingByte = 2;

int32_t colors_of(Variant variant) {
  switch (variant) {
    case Variant::kTwoColors: return 2;
    case Variant::kSixteenColors: return 16;
    case Variant::kIndexed256: return 256;
    case Variant::kTrueColor: return 0;
    default: return -1;
  }
}

struct ClosedAtEnd {
  int fd;
  ~ClosedAtEnd() {
    if (fd >= 0) file_close(fd);
  }
};

}  // namespace
}  // namespace rx::pcx

extern "C" int32_t rx_pcx_header(const char* file_name, int32_t flags, PcxInfo* info) {
  using namespace rx::pcx;
  if (info == nullptr) return RX_ERR_ARGUMENT;
  const rx::LibraryState& s = rx::state();
  uint8_t bytes[kHeaderSize];
  PictureFile file{-1, nullptr, 0};
  ClosedAtEnd closer{-1};
  if ((flags & RX_SHOW_FROM_MEMORY) != 0) {
    if (s.input_buffer == nullptr || s.input_size < kHeaderSize) return RX_PICTURE_BAD_START;
    std::memcpy(bytes, s.input_buffer, kHeaderSize);
    file.memory = s.input_buffer;
    file.memory_size = s.input_size;
  } else {
    file.fd = closer.fd = rx::file_open(file_name);
    if (file.fd < 0) return RX_PICTURE_CANNOT_OPEN;
    if (rx::file_read(file.fd, bytes, kHeaderSize) < kHeaderSize) return RX_PICTURE_BAD_START;
  }
  if (bytes[0] != kManufacturer) return RX_PICTURE_BAD_START;
  const PcxHeader header = parse_header(bytes);
  const Variant variant = variant_of(header);
  PcxInfo filled{};
  filled.version = header.version;
  filled.encoding = bytes[kEncodingByte];
  filled.bits_per_plane = header.bits_per_plane;
  filled.planes = header.planes;
  filled.bytes_per_line = header.bytes_per_line;
  filled.min_x = header.min_x;
  filled.min_y = header.min_y;
  filled.width = header.width();
  filled.height = header.height();
  filled.colors = colors_of(variant);
  uint8_t trailer[kTrailerSize];
  filled.end_palette =
      may_have_end_palette(header, variant) && fetch_trailer(file, trailer) ? 1 : 0;
  std::memcpy(info, &filled, sizeof filled);
  if (!extent_sound(header)) return RX_PCX_BAD_SIZE;
  if (variant == Variant::kUnsupported) return RX_PCX_UNSUPPORTED;
  if (!lines_hold_width(header, variant)) return RX_PCX_BAD_SIZE;
  if (header.line_length() + kMaxCarry > rx::kScratchSize) return RX_PCX_LINE_TOO_LONG;
  return RX_OK;
}
