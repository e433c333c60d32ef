#include "core/input_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/file_io.h"
#include "core/state.h"

namespace rx {

InputSource InputSource::over_file(int fd, uint8_t* buffer, int32_t size, Skip skip, Count count) {
  InputSource s;
  s.start_ = s.next_ = s.end_ = buffer;
  s.buffer_ = buffer;
  s.size_ = buffer != nullptr && size > 0 ? size : 0;
  s.fd_ = fd;
  s.skip_ = skip;
  s.count_ = count;
  return s;
}

InputSource InputSource::over_memory(const uint8_t* data, int64_t size) {
  InputSource s;
  s.start_ = s.next_ = data;
  s.end_ = data + (data != nullptr && size > 0 ? size : 0);
  return s;
}

bool InputSource::refill() {
  // In memory the data's end is the end of the input, not a reason to
  // start over.
  if (fd_ < 0 || ended_) {
    ended_ = true;
    return false;
  }
  base_ = offset();
  const int32_t got = file_read(fd_, buffer_, size_);
  if (count_ == Count::kBytesRead) state().bytes_read = static_cast<uint32_t>(got);
  start_ = next_ = buffer_;
  end_ = buffer_ + got;
  if (got <= 0) ended_ = true;
  return got > 0;
}

int InputSource::slow_byte() {
  if (next_ == end_ && !refill()) return kEnd;
  return *next_++;
}

int32_t InputSource::slow_u16le() {
  int lo = byte();
  int hi = byte();
  return lo < 0 || hi < 0 ? kEnd : lo | hi << 8;
}

int64_t InputSource::slow_u32le() {
  int32_t lo = u16le();
  int32_t hi = u16le();
  return lo < 0 || hi < 0 ? kEnd : int64_t{lo} | int64_t{hi} << 16;
}

const uint8_t* InputSource::slow_block(int32_t n, uint8_t* destination) {
  return read(destination, n) ? destination : nullptr;
}

bool InputSource::read(uint8_t* destination, int32_t n) {
  int32_t have = 0;
  while (have < n) {
    if (next_ == end_ && !refill()) return false;
    int32_t part = static_cast<int32_t>(std::min<int64_t>(end_ - next_, n - have));
    std::memcpy(destination + have, next_, static_cast<size_t>(part));
    next_ += part;
    have += part;
  }
  return true;
}

bool InputSource::slow_skip(int64_t n) {
  // A file that cannot seek (a pipe) is read through instead.
  const int64_t rest = n - (end_ - next_);
  if (fd_ >= 0 && skip_ == Skip::kSeek && file_seek(fd_, rest, SEEK_CUR) >= 0) {
    base_ = offset() + n;
    start_ = next_ = end_;
    return true;
  }
  while (n > 0) {
    if (next_ == end_ && !refill()) {
      base_ = offset() + n;  // the offset counts the whole skip
      start_ = next_ = end_;
      return false;
    }
    const int64_t part = std::min<int64_t>(end_ - next_, n);
    next_ += part;
    n -= part;
  }
  return true;
}

}  // namespace rx
