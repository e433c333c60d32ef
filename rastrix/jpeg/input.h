// The decoder's input: the InputBuffer, refilled from the file, or the
// whole file in memory. The end of the input is reported, never read past.
#pragma once

#include <cstdint>

namespace rx::jpeg {

inline constexpr int kEndOfInput = -1;

struct Source {
  const uint8_t* pos;
  const uint8_t* end;
  uint8_t* buffer;  // the InputBuffer
  int32_t size;
  int fd;  // -1 in memory mode
  // Skips past the buffered bytes move the file position instead of
  // reading (the header reader's walk, which looks at no segment it skips).
  bool seeks;

  // Refills from the file; false at the end of the input.
  bool refill();

  // The next byte, or kEndOfInput.
  int byte() {
    if (pos == end && !refill()) return kEndOfInput;
    return *pos++;
  }
  // Big-endian 16-bit value, or kEndOfInput.
  int32_t word() {
    int hi = byte();
    int lo = byte();
    return hi < 0 || lo < 0 ? kEndOfInput : hi << 8 | lo;
  }
  // Reads count bytes; false when the input ends first.
  bool read(uint8_t* into, int32_t count);
  // Skips count bytes, across refills; false when the input ends first.
  bool skip(int32_t count);
};

// A source over the file (fd >= 0) through the InputBuffer, or over the
// InputBuffer's installed size in memory mode.
Source make_source(uint8_t* buffer, int32_t size, int fd);

}  // namespace rx::jpeg
