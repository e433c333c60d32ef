#include "formats.h"

#include "rastrix.h"

namespace rxtool {

namespace {
constexpr size_t kSniffBytes = 16;
}

const Format* detect_format(const Source& source) {
  std::vector<uint8_t> head = source.head(kSniffBytes);
  for (const Format* format : {&kJpegFormat, &kFlicFormat, &kPcxFormat})
    if (format->sniff(head.data(), head.size())) return format;
  return nullptr;
}

std::string result_text(int32_t operation, int32_t result) {
  return "result " + std::to_string(result) + " (" + rx_result_message(operation, result) + ")";
}

}  // namespace rxtool
