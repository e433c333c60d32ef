// Image data of a PCX picture: read through the InputBuffer from an open
// file, or taken from the whole file installed in the InputBuffer, and
// run-length decoded one scan line at a time into the ScratchArea.
#pragma once

#include <cstdint>

#include "core/input_source.h"

namespace rx::pcx {

// A byte of 0xC0 or more starts a run of (byte & 63) copies of the next
// byte, so a run may overshoot the line by at most 62 bytes.
inline constexpr int kRunFlag = 0xC0;
inline constexpr int kRunCountMask = 0x3F;
inline constexpr int kMaxCarry = kRunCountMask - 1;

class LineDecoder {
 public:
  // File mode: refills the InputBuffer from fd (positioned at the data).
  static LineDecoder from_file(int fd, uint8_t* buffer, int32_t buffer_size);
  // Memory mode: the data is [data, data + size).
  static LineDecoder from_memory(const uint8_t* data, int32_t size);

  // Decodes the next scan line of line_length bytes (the same on every
  // call) into line, which must have room for line_length + kMaxCarry
  // bytes. Bytes a run writes past the line wait behind it and start the
  // next line. When the data ends inside a line, the rest of the line keeps
  // what it held before.
  void decode(uint8_t* line, int32_t line_length);

 private:
  explicit LineDecoder(const InputSource& source) : source_(source) {}

  InputSource source_;
  int32_t carry_ = 0;
};

}  // namespace rx::pcx
