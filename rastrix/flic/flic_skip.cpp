// rx_flic_skip: rewinding, and passing over whole frame chunks in the
// source the last playing call used.
#include <cstdio>

#include "core/file_io.h"
#include "core/state.h"
#include "flic/flic_format.h"

namespace rx::flic {
namespace {

// Whether a frame-level chunk is walked over, and whether it is a frame.
enum class Walk { kFrame, kPrefix, kStop };
Walk classify(uint32_t size, uint16_t type) {
  if (size < static_cast<uint32_t>(RX_FLIC_CHUNK_PREFIX_SIZE))
    return Walk::kStop;  // would never advance
  if (type == RX_FLIC_FRAME_CHUNK) return Walk::kFrame;
  if (type == RX_FLIC_PREFIX_CHUNK) return Walk::kPrefix;
  return Walk::kStop;
}

int32_t skip_in_memory(FlicContext& context, int32_t frames) {
  const LibraryState& s = state();
  const uint64_t end = static_cast<uint64_t>(s.input_size);
  uint64_t at = context.position;
  int32_t passed = 0;
  while (passed < frames && at + RX_FLIC_CHUNK_PREFIX_SIZE <= end) {
    const uint8_t* chunk = s.input_buffer + at;
    uint32_t size = load32(chunk);
    Walk w = classify(size, load16(chunk + 4));
    if (w == Walk::kStop) break;
    at += size;
    if (w == Walk::kFrame) ++passed;
  }
  if (at > end) at = end;
  context.position = static_cast<uint32_t>(at);
  return passed;
}

int32_t skip_in_file(int fd, int32_t frames) {
  LibraryState& s = state();
  int32_t passed = 0;
  while (passed < frames) {
    s.bytes_read = static_cast<uint32_t>(file_read(fd, s.scratch, RX_FLIC_CHUNK_PREFIX_SIZE));
    if (s.bytes_read < static_cast<uint32_t>(RX_FLIC_CHUNK_PREFIX_SIZE)) break;
    uint32_t size = load32(s.scratch);
    Walk w = classify(size, load16(s.scratch + 4));
    if (w == Walk::kStop) break;
    file_seek(fd, int64_t{size} - RX_FLIC_CHUNK_PREFIX_SIZE, SEEK_CUR);
    if (w == Walk::kFrame) ++passed;
  }
  return passed;
}

}  // namespace
}  // namespace rx::flic

extern "C" int32_t rx_flic_skip(FlicContext* context, int32_t frames) {
  using namespace rx::flic;
  if (context == nullptr) return 0;
  const int fd = descriptor_of(context->handle);
  rx::state().current_file = fd;
  const bool memory = context->source == 1;
  if (frames < 0) {
    if (memory) {
      context->position = RX_FLIC_HEADER_SIZE;
    } else {
      rx::file_seek(fd, RX_FLIC_HEADER_SIZE, SEEK_SET);
    }
    return 0;
  }
  if (frames == 0) return 0;
  return memory ? skip_in_memory(*context, frames) : skip_in_file(fd, frames);
}
