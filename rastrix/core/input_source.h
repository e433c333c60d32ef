// InputSource: the bytes a reader takes, from an open file through a
// buffer it refills (the InputBuffer or the ScratchArea), or from a whole
// file in memory. Every read stops at the end of the data and says so (-1,
// null or false); nothing is read past it. The PCX lines, the flic stream
// and the JPEG markers and entropy data all read through one.
#pragma once

#include <cstdint>

namespace rx {

class InputSource {
 public:
  static constexpr int kEnd = -1;

  // How a skip past the buffered bytes goes on in a file: by reading
  // through, or by moving the file position (past the end of the file,
  // that shows as the end at the next read).
  enum class Skip { kRead, kSeek };
  // Whether refills record their size in the library state's bytes_read.
  enum class Count { kNone, kBytesRead };

  // Starts empty: the first read refills from fd.
  static InputSource over_file(int fd, uint8_t* buffer, int32_t size, Skip skip, Count count);
  // The data is [data, data + size).
  static InputSource over_memory(const uint8_t* data, int64_t size);

  // The next byte 0..255, or kEnd.
  int byte() {
    if (next_ != end_) return *next_++;
    return slow_byte();
  }
  // Two or four bytes, least significant first, or kEnd.
  int32_t u16le() {
    if (end_ - next_ >= 2) {
      int32_t v = next_[0] | next_[1] << 8;
      next_ += 2;
      return v;
    }
    return slow_u16le();
  }
  int64_t u32le() {
    if (end_ - next_ >= 4) {
      int64_t v = next_[0] | next_[1] << 8 | next_[2] << 16 | int64_t{next_[3]} << 24;
      next_ += 4;
      return v;
    }
    return slow_u32le();
  }
  // Two bytes, most significant first, or kEnd.
  int32_t u16be() {
    int hi = byte();
    int lo = byte();
    return hi < 0 || lo < 0 ? kEnd : hi << 8 | lo;
  }

  // n bytes in place when they are already buffered, else null.
  const uint8_t* take(int64_t n) {
    if (end_ - next_ < n) return nullptr;
    const uint8_t* p = next_;
    next_ += n;
    return p;
  }
  // n bytes: in place when buffered, else copied into destination; null
  // when the data ends first.
  const uint8_t* block(int32_t n, uint8_t* destination) {
    if (const uint8_t* p = take(n)) return p;
    return slow_block(n, destination);
  }
  // n bytes copied into destination; false when the data ends first.
  bool read(uint8_t* destination, int32_t n);
  // Discards n bytes (n >= 0); false when the data ends first (a seeking
  // file source cannot tell, and says true).
  bool skip(int64_t n) {
    if (n <= end_ - next_) {
      next_ += n;
      return true;
    }
    return slow_skip(n);
  }

  // Direct access for decoders' fast paths: the buffered bytes from the
  // cursor on, and moving the cursor within them.
  const uint8_t* cursor() const { return next_; }
  const uint8_t* buffered_end() const { return end_; }
  int64_t available() const { return end_ - next_; }
  void advance_to(const uint8_t* p) { next_ = p; }
  // The next buffer-full from the file; false at the end of the data
  // (always in memory).
  bool refill();

  // Bytes taken since the source began, skips included.
  int64_t offset() const { return base_ + (next_ - start_); }
  // Bytes read from the file beyond offset(): what giving the read-ahead
  // back to the file must seek over.
  int64_t read_ahead() const { return end_ - next_; }
  bool ended() const { return ended_; }
  bool in_memory() const { return fd_ < 0; }
  int fd() const { return fd_; }

 private:
  int slow_byte();
  int32_t slow_u16le();
  int64_t slow_u32le();
  bool slow_skip(int64_t n);
  const uint8_t* slow_block(int32_t n, uint8_t* destination);

  const uint8_t* start_ = nullptr;  // first byte of the current buffer-full
  const uint8_t* next_ = nullptr;
  const uint8_t* end_ = nullptr;
  int64_t base_ = 0;           // offset of start_
  uint8_t* buffer_ = nullptr;  // file sources: what refills fill
  int32_t size_ = 0;
  int fd_ = -1;
  Skip skip_ = Skip::kRead;
  Count count_ = Count::kNone;
  bool ended_ = false;
};

}  // namespace rx
