#include "flic/flic_stream.h"

#include <algorithm>
#include <cstdio>

#include "core/file_io.h"
#include "core/state.h"
#include "flic/flic_format.h"

namespace rx::flic {

bool FlicStream::begin(const FlicContext& context, bool memory) {
  LibraryState& s = state();
  const int fd = descriptor_of(context.handle);
  s.current_file = fd;
  origin_ = context.position;
  if (memory) {
    if (context.position >= static_cast<uint32_t>(s.input_size)) return false;
    static_cast<InputSource&>(*this) =
        over_memory(s.input_buffer + context.position, s.input_size - context.position);
    return true;
  }
  static_cast<InputSource&>(*this) =
      over_file(fd, s.input_buffer, s.input_size, Skip::kSeek, Count::kBytesRead);
  return true;
}

void FlicStream::finish_at(FlicContext& context, int64_t at) {
  if (in_memory()) {
    context.position = static_cast<uint32_t>(std::min<int64_t>(origin_ + at, state().input_size));
    return;
  }
  // The file stands at the end of what was read or skipped.
  const int64_t back = offset() + read_ahead() - at;
  if (back > 0) file_seek(fd(), -back, SEEK_CUR);
}

}  // namespace rx::flic
