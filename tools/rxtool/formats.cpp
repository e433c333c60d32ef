#include "formats.h"

#include <cstdio>

namespace rxtool {

const Format* detect_format(const char* path) {
  uint8_t head[16] = {};
  FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return nullptr;
  size_t n = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  for (const Format* format : {&kJpegFormat, &kFlicFormat, &kPcxFormat})
    if (format->sniff != nullptr && format->sniff(head, n)) return format;
  return nullptr;
}

}  // namespace rxtool
