// Entropy-coded data: a 64-bit bit buffer over the InputSource, whole bytes at
// a time, with byte stuffing (0xFF 0x00) undone. A marker stops the
// filling; from then on (and at the end of the input) zero bits are
// supplied and counted, so a scan that needs them can be told apart.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "core/input_source.h"
#include "jpeg/huffman.h"

namespace rx::jpeg {

inline constexpr int kNoMarker = -1;

struct BitReader {
  InputSource* src;
  uint64_t bits;    // next bit in bit 63
  int count;        // bits held, padding included
  int padding;      // zero bits supplied after the data stopped
  int marker;       // marker code that stopped the data, or kNoMarker
  bool stopped;     // a marker or the end of the input was met

  void start(InputSource* source) {
    src = source;
    bits = 0;
    count = padding = 0;
    marker = kNoMarker;
    stopped = false;
  }

  // Tops the buffer up to at least 57 bits.
  void fill() {
    // Whole bytes straight from the input while no 0xFF needs a look
    // at its successor; at most eight, so eight must be there. Without
    // an 0xFF among the eight, all the bytes that fit go in at once.
    if (!stopped && src->available() >= kWordBytes) {
      const uint8_t* p = src->cursor();
      uint64_t word = big_endian_word(p);
      if (count <= 56 && !has_ff_byte(word)) {
        int taken = (64 - count) / 8;  // 1..8
        int room = 64 - 8 * taken;
        bits |= (word >> room) << (room - count);
        count += 8 * taken;
        src->advance_to(p + taken);
        return;
      }
      while (count <= 56 && *p != 0xFF) {
        bits |= static_cast<uint64_t>(*p++) << (56 - count);
        count += 8;
      }
      src->advance_to(p);
    }
    while (count <= 56) {
      int b = stopped ? 0 : data_byte();
      if (stopped) padding += 8;
      bits |= static_cast<uint64_t>(b) << (56 - count);
      count += 8;
    }
  }

  uint32_t peek(int n) const { return static_cast<uint32_t>(bits >> (64 - n)); }
  void consume(int n) {
    bits <<= n;
    count -= n;
  }

  // Bits of padding were taken: the data ended before the scan did.
  bool overran() const { return padding > count; }

  // Whole unread data bytes held in the buffer.
  int held_bytes() const { return (count - padding) / 8; }

  // RECEIVE and EXTEND of s (1..15) bits; the buffer holds enough.
  int32_t receive_extend(int s) {
    int32_t v = static_cast<int32_t>(peek(s));
    consume(s);
    return v < (1 << (s - 1)) ? v - ((1 << s) - 1) : v;
  }

  // The next symbol of table, or -1 when no code of up to 16 bits
  // matches. The buffer holds at least 16 bits.
  int decode(const HuffmanTable& t) {
    uint16_t e = t.fast[peek(kLookaheadBits)];
    if (e != 0) {
      consume(e >> 8);
      return e & 0xFF;
    }
    int32_t code16 = static_cast<int32_t>(peek(kMaxCodeLength));
    for (int l = kLookaheadBits + 1; l <= kMaxCodeLength; ++l) {
      int32_t code = code16 >> (kMaxCodeLength - l);
      if (code <= t.maxcode[l]) {
        consume(l);
        return t.symbols[(t.valptr[l] + code - t.mincode[l]) & (kMaxSymbols - 1)];
      }
    }
    return -1;
  }

  // At a restart boundary: drops the bits left and steps over the RSTn
  // marker that must come next. True when it was there (the DC
  // predictors start again).
  bool restart() {
    bits = 0;
    count = padding = 0;
    fill();
    if (marker >= 0xD0 && marker <= 0xD7 && padding == count) {
      marker = kNoMarker;
      stopped = false;
      bits = 0;
      count = padding = 0;
      return true;
    }
    return false;
  }

 private:
  static constexpr int kWordBytes = 8;

  static uint64_t big_endian_word(const uint8_t* p) {
    uint64_t w;
    std::memcpy(&w, p, kWordBytes);
    if constexpr (std::endian::native == std::endian::little) w = __builtin_bswap64(w);
    return w;
  }

  // True when a byte of w is 0xFF (a zero byte of its complement).
  static bool has_ff_byte(uint64_t w) {
    constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    uint64_t inverse = ~w;
    return ((inverse - kOnes) & ~inverse & kHighs) != 0;
  }

  // The next data byte; at a marker or the end of the input, stops.
  int data_byte() {
    int b = src->byte();
    if (b == 0xFF) {
      int next;
      do next = src->byte();
      while (next == 0xFF);  // fill bytes before a marker
      if (next == 0) return 0xFF;
      marker = next;  // the end of the input stays "no marker"
      if (next < 0) marker = kNoMarker;
      stopped = true;
      return 0;
    }
    if (b < 0) {
      stopped = true;
      return 0;
    }
    return b;
  }
};

}  // namespace rx::jpeg
