// One 8x8 block: Huffman-decoded (T.81 F.2.2) and dequantised while the
// coefficients are stored.
#pragma once

#include <cstdint>
#include <cstring>

#include "jpeg/bit_reader.h"
#include "jpeg/jpeg_tables.h"

namespace rx::jpeg {

inline constexpr int kBadCode = -1;     // no code within 16 bits
inline constexpr int kRunTooLong = -2;  // a run carries past coefficient 63

// Scaled, 16-bit truncated coefficient.
inline int16_t dequantise(int32_t value, uint8_t q) {
  return static_cast<int16_t>(static_cast<uint32_t>(value) * q);
}

// Zig-zag indices 0..kLastTopLeft all lie in the upper-left 4x4 corner.
inline constexpr int kLastTopLeft = 9;

// A lookahead entry's parts.
inline int fast_bits(int32_t fast) { return fast & 0xFF; }
inline int fast_run(int32_t fast) { return (fast >> 8) & 0xFF; }
inline int32_t fast_value(int32_t fast) { return fast >> 16; }

// decode_block on a reader of its own.
inline int decode_coefficients(BitReader& br, const HuffmanTable& dc, const HuffmanTable& ac,
                               const uint8_t* quant, int32_t& predictor, int16_t* block) {
  if (br.count < 32) br.fill();
  int32_t difference;
  int32_t fast = dc.fast_coefficient[br.peek(kLookaheadBits)];
  if (fast != 0) {  // code and value in one lookup
    br.consume(fast_bits(fast));
    difference = fast_value(fast);
  } else {
    int s = br.decode(dc);
    if (s < 0) return kBadCode;
    difference = s != 0 ? br.receive_extend(s) : 0;
  }
  predictor =
      static_cast<int32_t>(static_cast<uint32_t>(predictor) + static_cast<uint32_t>(difference));
  block[0] = dequantise(predictor, quant[0]);
  int last = 0;
  for (int k = 1; k < kBlockSize;) {
    if (br.count < 32) br.fill();
    fast = ac.fast_coefficient[br.peek(kLookaheadBits)];
    if (fast != 0) {
      k += fast_run(fast);
      br.consume(fast_bits(fast));
      if (k >= kBlockSize) {
        if (fast_run(fast) == kEndOfBlockRun) break;
        return kRunTooLong;
      }
      int at = kZigzag[k];
      block[at] = dequantise(fast_value(fast), quant[at]);
      last = k++;
      continue;
    }
    int rs = br.decode(ac);
    if (rs < 0) return kBadCode;
    if (rs == 0x00) break;  // EOB
    if (rs == 0xF0) {       // ZRL
      k += 16;
      continue;
    }
    k += rs >> 4;
    if (k >= kBlockSize) return kRunTooLong;
    int size = rs & 0x0F;
    int32_t value = size != 0 ? br.receive_extend(size) : 0;
    int at = kZigzag[k];
    block[at] = dequantise(value, quant[at]);
    last = k++;
  }
  return last;
}

// Decodes into block (natural order), which must be all zero. Result: the
// zig-zag index of the last coefficient stored (0 when only the DC term is
// present), or kBadCode / kRunTooLong.
inline int decode_block(BitReader& reader, const HuffmanTable& dc, const HuffmanTable& ac,
                        const uint8_t* quant, int32_t& predictor, int16_t* block) {
  // A copy the compiler can hold in registers: the stores into the block
  // would otherwise send the bit buffer back to memory at every step.
  BitReader br = reader;
  int result = decode_coefficients(br, dc, ac, quant, predictor, block);
  reader = br;
  return result;
}

// Zeroes what decode_block stored, given its result last (>= 0): every
// coefficient up to zig-zag index last.
inline void clear_block(int16_t* block, int last) {
  if (last == 0) {
    block[0] = 0;
  } else if (last <= kLastTopLeft) {
    std::memset(block, 0, kBlockSize / 2 * sizeof(int16_t));  // rows 0..3 hold the corner
  } else {
    std::memset(block, 0, kBlockSize * sizeof(int16_t));
  }
}

}  // namespace rx::jpeg
