#include "flic/flic_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/file_io.h"
#include "core/state.h"
#include "flic/flic_format.h"

namespace rx::flic {

bool FlicStream::begin(const FlicContext& context, bool memory) {
  LibraryState& s = state();
  memory_ = memory;
  fd_ = descriptor_of(context.handle);
  s.current_file = fd_;
  base_ = 0;
  ended_ = false;
  origin_ = context.position;
  if (memory) {
    if (context.position >= static_cast<uint32_t>(s.input_size)) return false;
    start_ = next_ = s.input_buffer + context.position;
    end_ = s.input_buffer + s.input_size;
    return true;
  }
  start_ = next_ = end_ = s.input_buffer;  // the first read refills
  return true;
}

bool FlicStream::refill() {
  if (memory_ || ended_) {
    ended_ = true;
    return false;
  }
  base_ = offset();
  LibraryState& s = state();
  int32_t got = file_read(fd_, s.input_buffer, s.input_size);
  s.bytes_read = static_cast<uint32_t>(got);
  start_ = next_ = s.input_buffer;
  end_ = s.input_buffer + got;
  if (got == 0) ended_ = true;
  return got > 0;
}

int FlicStream::slow_byte() {
  if (next_ == end_ && !refill()) return -1;
  return *next_++;
}

int32_t FlicStream::slow_u16() {
  int lo = byte();
  int hi = byte();
  return lo < 0 || hi < 0 ? -1 : lo | hi << 8;
}

int64_t FlicStream::slow_u32() {
  int32_t lo = u16();
  int32_t hi = u16();
  return lo < 0 || hi < 0 ? -1 : int64_t{lo} | int64_t{hi} << 16;
}

const uint8_t* FlicStream::slow_block(int32_t n, uint8_t* destination) {
  int32_t have = 0;
  while (have < n) {
    if (next_ == end_ && !refill()) return nullptr;
    int32_t part = static_cast<int32_t>(std::min<int64_t>(end_ - next_, n - have));
    std::memcpy(destination + have, next_, static_cast<size_t>(part));
    next_ += part;
    have += part;
  }
  return destination;
}

void FlicStream::slow_skip(int64_t n) {
  // Past the buffered data: the file moves on by the rest, a memory
  // source ends.
  int64_t rest = n - (end_ - next_);
  base_ = offset() + n;
  start_ = next_ = end_;
  if (memory_) {
    ended_ = true;
  } else {
    file_seek(fd_, rest, SEEK_CUR);
  }
}

void FlicStream::finish_at(FlicContext& context, int64_t at) {
  const LibraryState& s = state();
  if (memory_) {
    context.position = static_cast<uint32_t>(std::min<int64_t>(origin_ + at, s.input_size));
    return;
  }
  // The file stands at the end of what was read or skipped.
  const int64_t back = base_ + (end_ - start_) - at;
  if (back > 0) file_seek(fd_, -back, SEEK_CUR);
}

}  // namespace rx::flic
