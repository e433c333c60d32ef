// rx_show_pcx: draws a ZSoft PCX picture into the active buffer.
#include <algorithm>
#include <cstring>

#include "core/file_io.h"
#include "core/state.h"
#include "pcx/pcx_header.h"
#include "pcx/pcx_input.h"
#include "pcx/pcx_palette.h"
#include "pcx/pcx_writers.h"
#include "rastrix.h"

namespace rx::pcx {

namespace {

// The header area: holds the file's first 128 bytes during a call.
uint8_t header_area[kHeaderSize];

// Closes the picture's file, if one was opened, whatever the result.
struct FileCloser {
  int fd = -1;
  ~FileCloser() {
    if (fd < 0) return;
    file_close(fd);
    state().current_file = -1;
  }
};

// The visible part of the picture: rows and columns of the picture that
// are skipped at the top and left, and the buffer area that is drawn.
struct Placement {
  int32_t skip_rows, skip_columns;
  int32_t top, left;  // in the buffer
  int32_t rows, columns;
};

// Only what falls inside the buffer is drawn; false when nothing does.
bool place(const PcxHeader& header, int32_t flags, Placement& p) {
  const LibraryState& s = state();
  const bool at_position = (flags & RX_SHOW_AT_POSITION) != 0;
  const int64_t top = at_position ? s.position_y : header.min_y;
  const int64_t left = at_position ? s.position_x : header.min_x;
  const int64_t first_row = std::max<int64_t>(top, 0);
  const int64_t first_column = std::max<int64_t>(left, 0);
  const int64_t rows = std::min<int64_t>(top + header.height(), s.active_height) - first_row;
  const int64_t columns = std::min<int64_t>(left + header.width(), s.active_width) - first_column;
  if (rows <= 0 || columns <= 0) return false;
  p = {static_cast<int32_t>(first_row - top), static_cast<int32_t>(first_column - left),
       static_cast<int32_t>(first_row),       static_cast<int32_t>(first_column),
       static_cast<int32_t>(rows),            static_cast<int32_t>(columns)};
  return true;
}

void draw_rows(const PcxHeader& header, const Placement& p, PixelWriter writer,
               LineDecoder& decoder) {
  LibraryState& s = state();
  uint8_t* line = s.scratch;
  const int32_t line_length = header.line_length();
  const size_t column_offset = static_cast<size_t>(p.left) * (s.active_bits / 8);
  for (int32_t n = 0; n < p.skip_rows; ++n) decoder.decode(line, line_length);
  for (int32_t n = 0; n < p.rows; ++n) {
    decoder.decode(line, line_length);
    writer(line, header.bytes_per_line, p.skip_columns, p.columns,
           active_row(p.top + n) + column_offset);
  }
}

}  // namespace

}  // namespace rx::pcx

extern "C" int32_t rx_show_pcx(const char* file_name, int32_t flags) {
  using namespace rx::pcx;
  if (!rx::has_active_buffer()) return RX_OK;
  rx::LibraryState& s = rx::state();
  const bool from_memory = (flags & RX_SHOW_FROM_MEMORY) != 0;
  PictureFile file{-1, nullptr, 0};
  FileCloser closer;
  if (from_memory) {
    if (s.input_buffer == nullptr || s.input_size < kHeaderSize) return RX_PICTURE_BAD_START;
    std::memcpy(header_area, s.input_buffer, kHeaderSize);
    file.memory = s.input_buffer;
    file.memory_size = s.input_size;
  } else {
    file.fd = closer.fd = s.current_file = rx::file_open(file_name);
    if (file.fd < 0) return RX_PICTURE_CANNOT_OPEN;
    const int32_t got = rx::file_read(file.fd, header_area, kHeaderSize);
    s.bytes_read = static_cast<uint32_t>(got);
    if (got < kHeaderSize) return RX_PICTURE_BAD_START;
  }
  if (header_area[0] != kManufacturer) return RX_PICTURE_BAD_START;

  const PcxHeader header = parse_header(header_area);
  if (!extent_sound(header)) return RX_PCX_BAD_SIZE;
  Placement placement{};
  if (!place(header, flags, placement)) return RX_PCX_OUTSIDE;
  const Variant variant = variant_of(header);
  const PixelWriter writer = choose_writer(variant, s.depth_index);
  if (writer == nullptr) return RX_PCX_UNSUPPORTED;
  if (!lines_hold_width(header, variant)) return RX_PCX_BAD_SIZE;
  if (header.line_length() + kMaxCarry > rx::kScratchSize) return RX_PCX_LINE_TOO_LONG;

  const bool palette_step =
      (flags & RX_SHOW_KEEP_PALETTE) == 0 && variant != Variant::kTrueColor;
  const bool eight_bit = s.active_bits == 8;
  const bool reduce = (flags & RX_SHOW_NO_REDUCE) == 0;
  // Deeper buffers need the picture's colours in PaletteMap before any
  // pixel is converted; 8-bit pixels are indexes and may be renumbered by
  // the colour reduction afterwards.
  if (palette_step && !eight_bit) load_picture_palette(header, variant, file, reduce);
  LineDecoder decoder =
      from_memory ? LineDecoder::from_memory(file.memory + kHeaderSize,
                                             file.memory_size - kHeaderSize)
                  : LineDecoder::from_file(file.fd, s.input_buffer, s.input_size);
  draw_rows(header, placement, writer, decoder);
  if (palette_step && eight_bit) load_picture_palette(header, variant, file, reduce);
  return RX_OK;
}
