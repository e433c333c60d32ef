// Shared parts of the fuzz targets: a small reader over the fuzzer's bytes
// (the first bytes choose depth, flags and sizes) and a library session
// with one selected buffer.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/headless_controls.h"
#include "platform/platform.h"
#include "rastrix.h"

namespace rx::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t u16() { return static_cast<uint16_t>(byte() | byte() << 8); }
  const uint8_t* rest() const { return data_ + pos_; }
  size_t rest_size() const { return size_ - pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

inline int32_t pick_depth(uint8_t b) {
  constexpr int32_t kDepths[4] = {8, 16, 24, 32};
  return kDepths[b & 3];
}

// Should the call log be on, an input that left its entries behind would
// look to the fuzzer like a leak, and each such input would run again
// under the leak checker.
inline void forget_calls() { rx::platform::clear_call_log(); }

// Buffers stay below this many pixels (the height gives way): clipping
// works the same in small buffers, and filling big ones, frame after
// frame, is what slowed every input down.
constexpr int32_t kMaxBufferPixels = 128 * 128;

// A fresh library with one selected buffer of the given depth and size
// (within kMaxBufferPixels); everything is freed again when the session
// ends.
class Session {
 public:
  Session(int32_t bits, int32_t width, int32_t height) {
    static RxDC dc = rx_headless_screen(64, 48, 32);
    rx_set_dc(dc);
    rx_init();
    rx_set_buffer_depth(bits);
    if (width > 0 && height > kMaxBufferPixels / width) height = std::max(1, kMaxBufferPixels / width);
    handle_ = rx_buffer_create(width, height);
    rx_buffer_select(handle_);
  }
  ~Session() {
    rx_buffer_release();
    rx_buffer_free(handle_);
    rx_set_decode_buffer(nullptr, 0);
    rx_shutdown();
    forget_calls();
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

 private:
  int32_t handle_;
};

// The bytes as a file the readers can open by name (an anonymous memory
// file, so nothing touches the disk).
class MemoryFile {
 public:
  MemoryFile(const uint8_t* data, size_t size) {
    fd_ = memfd_create("rastrix-fuzz", 0);
    if (fd_ >= 0) {
      size_t done = 0;
      while (done < size) {
        ssize_t n = write(fd_, data + done, size - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
      }
      path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
  }
  ~MemoryFile() {
    if (fd_ >= 0) close(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  const char* path() const { return path_.c_str(); }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace rx::fuzz
