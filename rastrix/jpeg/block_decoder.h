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

// Decodes into block (natural order). Result: the zig-zag index of the
// last coefficient stored (0 when only the DC term is present), or
// kBadCode / kRunTooLong.
inline int decode_block(BitReader& br, const HuffmanTable& dc, const HuffmanTable& ac,
                        const uint8_t* quant, int32_t& predictor, int16_t* block) {
  std::memset(block, 0, kBlockSize * sizeof(int16_t));
  if (br.count < 32) br.fill();
  int s = br.decode(dc);
  if (s < 0) return kBadCode;
  if (s != 0) {
    predictor = static_cast<int32_t>(static_cast<uint32_t>(predictor) +
                                     static_cast<uint32_t>(br.receive_extend(s)));
  }
  block[0] = dequantise(predictor, quant[0]);
  int last = 0;
  for (int k = 1; k < kBlockSize;) {
    if (br.count < 32) br.fill();
    int32_t fast = ac.fast_ac[br.peek(kLookaheadBits)];
    if (fast != 0) {  // code and value in one lookup
      k += (fast >> 8) & 0x0F;
      br.consume(fast & 0xFF);
      if (k >= kBlockSize) return kRunTooLong;
      int at = kZigzag[k];
      block[at] = dequantise(fast >> 16, quant[at]);
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

}  // namespace rx::jpeg
