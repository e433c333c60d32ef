// The picture formats rxtool knows, one handler each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "source.h"

namespace rxtool {

// Where a picture lands without a placement (its origin) and its size.
struct Area {
  int32_t x = 0, y = 0, width = 0, height = 0;
  int32_t scratch = 0;  // decode memory the picture needs (JPEG), 0 for the built-in
};

struct Format {
  const char* name;
  // True when the first bytes of a file are this format's.
  bool (*sniff)(const uint8_t* head, size_t size);
  // Appends "key: value" lines describing the input; 0 or a result code
  // of operation. The library is started.
  int32_t (*info)(const Source& source, std::string& out);
  // The picture's area, read before any buffer is made; false with the
  // reason when the input cannot be drawn (area still set when known).
  bool (*inspect)(const Source& source, Area& area, std::string& problem);
  // Shows the picture into the active buffer; null for animations.
  int32_t (*show)(const Source& source, const Area& area, int32_t flags);
  // The operation whose results show (or opening, for flics) gives.
  int32_t operation;
};

extern const Format kPcxFormat;
extern const Format kJpegFormat;
extern const Format kFlicFormat;

// The format of an input from its first bytes; null when none matches.
const Format* detect_format(const Source& source);

// "result N (the library's message)" for a result of operation.
std::string result_text(int32_t operation, int32_t result);

}  // namespace rxtool
