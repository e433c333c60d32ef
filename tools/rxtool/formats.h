// The picture formats rxtool knows, one handler each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rxtool {

struct Format {
  const char* name;
  // True when the first bytes of a file are this format's.
  bool (*sniff)(const uint8_t* head, size_t size);
  // Appends "key: value" lines describing the file; 0 or a result code.
  int32_t (*info)(const char* path, std::string& out);
  // Where the picture lands without a placement (its origin) and its
  // size; for flics the frame size at (0, 0). False if unreadable.
  bool (*area)(const char* path, int32_t* x, int32_t* y, int32_t* width, int32_t* height);
  // Shows the picture into the active buffer (rx_show_pcx / rx_show_jpeg);
  // null for animations.
  int32_t (*show)(const char* path, int32_t flags);
  // The operation whose results show (or opening, for flics) gives, for
  // rx_result_message.
  int32_t operation;
};

extern const Format kPcxFormat;
extern const Format kJpegFormat;
extern const Format kFlicFormat;

// The format of a file from its first bytes; null when none matches.
const Format* detect_format(const char* path);

}  // namespace rxtool
