// rx_version and rx_result_message: the library's version and a short
// English sentence for any result of any operation.
#include <cstdint>

#include "rastrix.h"

namespace {

// One line of the table: the results low..high of one operation.
struct Message {
  int32_t operation;
  int32_t low, high;
  const char* text;
};

constexpr int32_t kMin = INT32_MIN;
constexpr int32_t kMax = INT32_MAX;

constexpr Message kMessages[] = {
    {RX_OP_SET_DC, 0, 0, "success"},
    {RX_OP_SET_INPUT_BUFFER, 0, 0, "success"},
    {RX_OP_SET_INPUT_BUFFER, -1, -1, "negative size, or no memory with a non-zero size"},
    {RX_OP_INIT, 0, 0, "success"},
    {RX_OP_SHUTDOWN, 0, 0, "success"},
    {RX_OP_FIND_DISPLAY_MODE, 0, 0, "the mode is listed and can be set"},
    {RX_OP_FIND_DISPLAY_MODE, 1, 1, "the mode is listed; setting it needs a restart"},
    {RX_OP_FIND_DISPLAY_MODE, -1, -1, "no display mode of that size and depth is listed"},
    {RX_OP_FIND_DISPLAY_MODE, kMin, -2, "the platform cannot set that display mode"},
    {RX_OP_SET_DISPLAY_MODE, 0, 0, "success"},
    {RX_OP_SET_DISPLAY_MODE, 1, 1, "the mode is set after a restart"},
    {RX_OP_SET_DISPLAY_MODE, kMin, -1, "the platform refused the display mode"},
    {RX_OP_REALIZE_PALETTE, 0, 0, "success"},
    {RX_OP_SET_BUFFER_DEPTH, 0, 0, "success"},
    {RX_OP_SET_BUFFER_DEPTH, -1, -1, "the depth is not 8, 16, 24 or 32 bits"},
    {RX_OP_BUFFER_CREATE, 0, 31, "a buffer was made; the result is its handle"},
    {RX_OP_BUFFER_CREATE, -1, -1, "no free slot, or a side below 1 or above 16384 pixels"},
    {RX_OP_BUFFER_CREATE, -2, -2, "the memory for the buffer cannot be had"},
    {RX_OP_BUFFER_SELECT, 0, 0, "success"},
    {RX_OP_BUFFER_SELECT, -1, -1, "the handle is outside 0..31"},
    {RX_OP_BUFFER_SELECT, -2, -2, "no buffer has that handle"},
    {RX_OP_BUFFER_COPY, 0, 0, "success (or nothing to copy)"},
    {RX_OP_BUFFER_COPY, -1, -1, "the two buffers have different depths"},
    {RX_OP_BUFFER_PIXELS, 0, 0, "success"},
    {RX_OP_BUFFER_PIXELS, -1, -1, "no record to fill"},
    {RX_OP_BUFFER_PIXELS, -2, -2, "no buffer is active"},
    {RX_OP_CAPTURE_BLOCK, 0, 0, "success"},
    {RX_OP_CAPTURE_BLOCK, -1, -1, "the rectangle leaves the buffer, or there is no block"},
    {RX_OP_SHOW_PCX, 0, 0, "drawn"},
    {RX_OP_SHOW_PCX, RX_PICTURE_CANNOT_OPEN, RX_PICTURE_CANNOT_OPEN, "the file cannot be opened"},
    {RX_OP_SHOW_PCX, RX_PICTURE_BAD_START, RX_PICTURE_BAD_START,
     "not a PCX picture: short header or first byte not 10"},
    {RX_OP_SHOW_PCX, RX_PCX_UNSUPPORTED, RX_PCX_UNSUPPORTED,
     "planes and bits per plane not supported at this depth"},
    {RX_OP_SHOW_PCX, RX_PCX_OUTSIDE, RX_PCX_OUTSIDE, "the picture lies wholly outside the buffer"},
    {RX_OP_SHOW_PCX, RX_PCX_LINE_TOO_LONG, RX_PCX_LINE_TOO_LONG,
     "a scan line does not fit the 10240-byte scratch area"},
    {RX_OP_SHOW_PCX, RX_PCX_BAD_SIZE, RX_PCX_BAD_SIZE, "the header's sizes do not hold together"},
    {RX_OP_SHOW_JPEG, 0, 0, "drawn"},
    {RX_OP_SHOW_JPEG, RX_PICTURE_CANNOT_OPEN, RX_PICTURE_CANNOT_OPEN, "the file cannot be opened"},
    {RX_OP_SHOW_JPEG, RX_PICTURE_BAD_START, RX_PICTURE_BAD_START,
     "the data does not begin with a JPEG start marker"},
    {RX_OP_SHOW_JPEG, RX_JPEG_MARKER_EXPECTED, RX_JPEG_MARKER_EXPECTED,
     "a byte where a marker must begin is not 0xFF"},
    {RX_OP_SHOW_JPEG, RX_JPEG_BUFFER_TOO_SMALL, RX_JPEG_BUFFER_TOO_SMALL,
     "the decode buffer is smaller than one strip"},
    {RX_OP_SHOW_JPEG, RX_JPEG_NOT_BASELINE, RX_JPEG_NOT_BASELINE,
     "not a baseline JPEG (progressive, extended, lossless or arithmetic)"},
    {RX_OP_SHOW_JPEG, RX_JPEG_UNSUPPORTED_FRAME, RX_JPEG_UNSUPPORTED_FRAME,
     "unsupported frame: components, identifiers, precision or size"},
    {RX_OP_SHOW_JPEG, RX_JPEG_UNSUPPORTED_SAMPLING, RX_JPEG_UNSUPPORTED_SAMPLING,
     "unsupported sampling factors"},
    {RX_OP_SHOW_JPEG, RX_JPEG_BAD_QUANT_TABLE, RX_JPEG_BAD_QUANT_TABLE,
     "bad quantisation table segment"},
    {RX_OP_SHOW_JPEG, RX_JPEG_BAD_HUFFMAN_TABLE, RX_JPEG_BAD_HUFFMAN_TABLE,
     "bad Huffman table segment"},
    {RX_OP_SHOW_JPEG, RX_JPEG_UNDEFINED_TABLE, RX_JPEG_UNDEFINED_TABLE,
     "the scan uses a table never defined"},
    {RX_OP_SHOW_JPEG, RX_JPEG_PARTIAL_SCAN, RX_JPEG_PARTIAL_SCAN,
     "the scan does not cover every component (multi-scan file)"},
    {RX_OP_SHOW_JPEG, RX_JPEG_BAD_CODE, RX_JPEG_BAD_CODE, "corrupt data: no Huffman code matches"},
    {RX_OP_SHOW_JPEG, RX_JPEG_RUN_TOO_LONG, RX_JPEG_RUN_TOO_LONG,
     "corrupt data: a run past the end of a block"},
    {RX_OP_SHOW_JPEG, RX_JPEG_TRUNCATED, RX_JPEG_TRUNCATED, "the data ends early (truncated file)"},
    {RX_OP_SHOW_JPEG, RX_JPEG_BAD_LENGTH, RX_JPEG_BAD_LENGTH,
     "a segment length does not fit its contents"},
    {RX_OP_PCX_HEADER, -1, -1, "no record to fill"},
    {RX_OP_PCX_HEADER, 0, 0, "a PCX picture the library can draw"},
    {RX_OP_PCX_HEADER, RX_PICTURE_CANNOT_OPEN, RX_PICTURE_CANNOT_OPEN, "the file cannot be opened"},
    {RX_OP_PCX_HEADER, RX_PICTURE_BAD_START, RX_PICTURE_BAD_START,
     "not a PCX picture: short header or first byte not 10"},
    {RX_OP_PCX_HEADER, RX_PCX_UNSUPPORTED, RX_PCX_UNSUPPORTED,
     "planes and bits per plane not supported"},
    {RX_OP_PCX_HEADER, RX_PCX_LINE_TOO_LONG, RX_PCX_LINE_TOO_LONG,
     "a scan line does not fit the 10240-byte scratch area"},
    {RX_OP_PCX_HEADER, RX_PCX_BAD_SIZE, RX_PCX_BAD_SIZE, "the header's sizes do not hold together"},
    {RX_OP_JPEG_HEADER, 0, 0, "success"},
    {RX_OP_JPEG_HEADER, -1, -1, "the file cannot be opened, or there is no record to fill"},
    {RX_OP_JPEG_HEADER, -2, -2, "no baseline frame header that the decoder accepts"},
    {RX_OP_FLIC_OPEN, 0, 0, "success"},
    {RX_OP_FLIC_OPEN, -1, -1, "the file cannot be opened, or 32 flics are open already"},
    {RX_OP_FLIC_OPEN, -2, -2, "not a flic: header shorter than 128 bytes or unknown type"},
    {RX_OP_FLIC_OPEN, RX_FLIC_TOO_WIDE, RX_FLIC_TOO_WIDE, "frame wider than the player can decode"},
    {RX_OP_FLIC_OPEN, RX_FLIC_CANNOT_SEEK, RX_FLIC_CANNOT_SEEK,
     "the file cannot seek (a pipe or device): play it from memory"},
    {RX_OP_FLIC_PLAY, 0, 0, "no frame was left to play"},
    {RX_OP_FLIC_PLAY, 1, kMax, "frames were shown; the result is their number"},
    {RX_OP_FLIC_SKIP, 0, kMax, "the result is the number of frames passed"},
    {RX_OP_SCREEN_PIXEL, 0, 0, "success"},
    {RX_OP_SCREEN_PIXEL, -1, -1, "the point is outside the screen"},
};

}  // namespace

extern "C" {

const char* rx_version(void) { return RASTRIX_VERSION_TEXT; }

const char* rx_result_message(int32_t operation, int32_t result) {
  bool known = false;
  for (const Message& m : kMessages) {
    if (m.operation != operation) continue;
    known = true;
    if (result >= m.low && result <= m.high) return m.text;
  }
  return known ? "unknown result" : "unknown operation";
}

}  // extern "C"
