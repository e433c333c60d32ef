// FlicStream: the bytes of a flic as one playing call reads them, from the
// open file (buffered through the InputBuffer) or from the whole file held
// in the InputBuffer. Offsets count the bytes taken since the call began,
// so chunk bookkeeping is a subtraction; every read stops at the end of the
// data.
#pragma once

#include <cstdint>

#include "rastrix.h"

namespace rx::flic {

class FlicStream {
 public:
  // Sets up the stream for the context's source; false when a memory
  // source has nothing left.
  bool begin(const FlicContext& context, bool memory);

  // The next byte 0..255, or -1 when no byte can be had.
  int byte() {
    if (next_ != end_) return *next_++;
    return slow_byte();
  }
  // Two or four bytes, least significant first; -1 at the end of the data.
  int32_t u16() {
    if (end_ - next_ >= 2) {
      int32_t v = next_[0] | next_[1] << 8;
      next_ += 2;
      return v;
    }
    return slow_u16();
  }
  int64_t u32() {
    if (end_ - next_ >= 4) {
      int64_t v = next_[0] | next_[1] << 8 | next_[2] << 16 | int64_t{next_[3]} << 24;
      next_ += 4;
      return v;
    }
    return slow_u32();
  }

  // Up to n bytes in place when they are already buffered, else null.
  const uint8_t* take(int32_t n) {
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
  // Discards n bytes (n >= 0).
  void skip(int64_t n) {
    if (n <= end_ - next_) {
      next_ += n;
      return;
    }
    slow_skip(n);
  }

  // Direct access for decoders' fast paths: the buffered bytes from the
  // cursor on, and moving the cursor within them.
  const uint8_t* cursor() const { return next_; }
  int64_t available() const { return end_ - next_; }
  void advance_to(const uint8_t* p) { next_ = p; }

  int64_t offset() const { return base_ + (next_ - start_); }
  bool ended() const { return ended_; }

  // Saves the playing position: the memory source's offset in the
  // context, the file source's by giving the read-ahead back to the file.
  void finish(FlicContext& context) { finish_at(context, offset()); }
  // Saves an earlier offset of this call as the playing position, so the
  // next call starts at the chunk that stopped this one.
  void finish_at(FlicContext& context, int64_t at);

 private:
  bool refill();
  int slow_byte();
  int32_t slow_u16();
  int64_t slow_u32();
  void slow_skip(int64_t n);
  const uint8_t* slow_block(int32_t n, uint8_t* destination);

  const uint8_t* start_ = nullptr;  // first byte of the current buffer-full
  const uint8_t* next_ = nullptr;
  const uint8_t* end_ = nullptr;
  int64_t base_ = 0;  // offset of start_
  int64_t origin_ = 0;  // memory source: the context's position when the call began
  int fd_ = -1;
  bool memory_ = false;
  bool ended_ = false;
};

}  // namespace rx::flic
