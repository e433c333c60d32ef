#include "pcx/pcx_input.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

namespace rx::pcx {

namespace {
constexpr int kWord = 8;
constexpr uint64_t kTopBits = 0x8080808080808080ull;  // bit 7 of every byte
constexpr uint64_t kEveryByte = 0x0101010101010101ull;
// The fast loop stores whole words and may write up to a word past a
// token; it stays this far before the line end, where a run of 63 rounded
// up to words still fits.
constexpr int kFastMargin = kRunCountMask + 1;
// Longest line the fast loop takes; its previous bytes are kept on the
// stack in case the data ends inside the line.
constexpr int kFastLineMax = 2048;

void store_word(uint8_t* at, uint64_t word) { std::memcpy(at, &word, kWord); }

// Decodes whole tokens from in into out while out is before fast_stop,
// without input checks: the caller guarantees 2 bytes of input per pixel
// left plus a word, and each token keeps that true by taking at most two
// bytes per pixel, except empty runs, which are checked: one that leaves
// too little input stops the loop, unread.
void decode_fast(const uint8_t*& in, const uint8_t* end, uint8_t*& out, uint8_t* fast_stop,
                 const uint8_t* stop) {
  const uint8_t* i = in;
  uint8_t* o = out;
  while (o < fast_stop) {
    const uint8_t byte = i[0];
    if (byte < kRunFlag) {
      // The literals before the next byte with both top bits set (all
      // eight when there is none) in one word; the rest of the word is
      // overwritten by the tokens that follow.
      uint64_t eight;
      std::memcpy(&eight, i, kWord);
      const int literals = std::countr_zero(eight & eight << 1 & kTopBits) / 8;
      store_word(o, eight);
      i += literals;
      o += literals;
      continue;
    }
    // A branch, not arithmetic: predicted, it lets the next token's load
    // start before this one is decoded.
    const int count = byte & kRunCountMask;
    if (count == 0 && end - (i + 2) < 2 * (stop - o) + kWord) {
      break;
    }
    const uint64_t fill = i[1] * kEveryByte;
    i += 2;
    store_word(o, fill);
    for (int n = kWord; n < count; n += kWord) store_word(o + n, fill);
    o += count;
  }
  in = i;
  out = o;
}

}  // namespace

// A read of 0 bytes ends the data.
LineDecoder LineDecoder::from_file(int fd, uint8_t* buffer, int32_t buffer_size) {
  return LineDecoder(InputSource::over_file(fd, buffer, buffer_size, InputSource::Skip::kRead,
                                            InputSource::Count::kBytesRead));
}

LineDecoder LineDecoder::from_memory(const uint8_t* data, int32_t size) {
  return LineDecoder(InputSource::over_memory(data, size));
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
  if (stop - out > kFastMargin && line_length <= kFastLineMax &&
      source_.available() >= 2 * (stop - out) + kWord) {
    // Words stored past the last token hold no data yet: the line's old
    // bytes come back there, so a line whose data ends later (in the
    // careful loop below) keeps them, as it would have without the words.
    uint8_t before[kFastLineMax];
    std::memcpy(before, line, static_cast<size_t>(line_length));
    const uint8_t* in = source_.cursor();
    decode_fast(in, source_.buffered_end(), out, stop - kFastMargin, stop);
    source_.advance_to(in);
    const ptrdiff_t at = out - line;
    std::memcpy(out, before + at, static_cast<size_t>(std::min<ptrdiff_t>(kWord, line_length - at)));
  }
  while (out < stop) {
    // Local cursors: stores through out may alias the members. While a
    // whole token is in hand, literal or run is picked without a branch,
    // as noisy pictures mix the two unpredictably.
    const uint8_t* in = source_.cursor();
    const uint8_t* const end = source_.buffered_end();
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
    source_.advance_to(in);
    if (out >= stop) break;
    // A token split across refills, or the end of the data.
    const int byte = source_.byte();
    if (byte < 0) return;
    if (byte < kRunFlag) {
      *out++ = static_cast<uint8_t>(byte);
      continue;
    }
    const int value = source_.byte();
    if (value < 0) return;
    for (int n = byte & kRunCountMask; n > 0; --n) *out++ = static_cast<uint8_t>(value);
  }
  carry_ = static_cast<int32_t>(out - stop);
}

}  // namespace rx::pcx
