#include "pcx/pcx_input.h"

#include <cstring>

#include "core/file_io.h"
#include "core/state.h"

namespace rx::pcx {

namespace {
constexpr int kWord = 8;
constexpr uint64_t kTopBits = 0x8080808080808080ull;  // bit 7 of every byte
}  // namespace

LineDecoder::LineDecoder(int fd, uint8_t* buffer, int32_t buffer_size, const uint8_t* data,
                         int32_t size)
    : fd_(fd), buffer_(buffer), buffer_size_(buffer_size), next_(data), end_(data + size) {}

LineDecoder LineDecoder::from_file(int fd, uint8_t* buffer, int32_t buffer_size) {
  return LineDecoder(fd, buffer, buffer_size, buffer, 0);
}

LineDecoder LineDecoder::from_memory(const uint8_t* data, int32_t size) {
  return LineDecoder(-1, nullptr, 0, data, size);
}

// One block of the InputBuffer's size; a read of 0 bytes ends the data.
bool LineDecoder::refill() {
  if (ended_ || fd_ < 0) {
    ended_ = true;
    return false;
  }
  const int32_t got = file_read(fd_, buffer_, buffer_size_);
  state().bytes_read = static_cast<uint32_t>(got);
  if (got <= 0) {
    ended_ = true;
    return false;
  }
  next_ = buffer_;
  end_ = buffer_ + got;
  return true;
}

void LineDecoder::decode(uint8_t* line, int32_t line_length) {
  // Bytes the last run wrote past the previous line start this one.
  if (carry_ > 0) std::memmove(line, line + line_length, static_cast<size_t>(carry_));
  if (carry_ >= line_length) {
    carry_ -= line_length;  // still more than a line: the rest waits at line_length
    return;
  }
  uint8_t* out = line + carry_;
  uint8_t* const stop = line + line_length;
  carry_ = 0;
  while (out < stop) {
    // Local cursors: stores through out may alias the members. While a
    // whole token is in hand, literal or run is picked without a branch,
    // as noisy pictures mix the two unpredictably.
    const uint8_t* in = next_;
    const uint8_t* const end = end_;
    while (end - in >= 2 && out < stop) {
      // Eight literals in a row (no byte with both top bits set) are
      // copied at once.
      if (in[0] < kRunFlag && end - in >= kWord && stop - out >= kWord) {
        uint64_t eight;
        std::memcpy(&eight, in, kWord);
        if ((eight & eight << 1 & kTopBits) == 0) {
          std::memcpy(out, in, kWord);
          in += kWord;
          out += kWord;
          continue;
        }
      }
      const uint8_t byte = in[0];
      const bool run = byte >= kRunFlag;
      const uint8_t value = run ? in[1] : byte;
      const int count = run ? byte & kRunCountMask : 1;
      in += 1 + run;
      if (count == 1) {
        *out++ = value;
        continue;
      }
      // A run may pass stop: the carry. Short runs are not worth a call.
      if (count < kWord) {
        for (int n = count; n > 0; --n) *out++ = value;
      } else {
        std::memset(out, value, static_cast<size_t>(count));
        out += count;
      }
    }
    next_ = in;
    if (out >= stop) break;
    // A token split across refills, or the end of the data.
    if (next_ == end_ && !refill()) return;
    const uint8_t byte = *next_++;
    if (byte < kRunFlag) {
      *out++ = byte;
      continue;
    }
    if (next_ == end_ && !refill()) return;
    const uint8_t value = *next_++;
    for (int n = byte & kRunCountMask; n > 0; --n) *out++ = value;
  }
  carry_ = static_cast<int32_t>(out - stop);
}

}  // namespace rx::pcx
