#include "jpeg/huffman.h"

#include <cstring>

namespace rx::jpeg {
namespace {

inline constexpr int kDcMaxSymbol = 15;  // a DC difference has at most 15 bits
inline constexpr int32_t kSearchEnd = 0xFFFFF;
inline constexpr int kEndOfBlock = 0x00;  // the AC symbol

}  // namespace

bool build_huffman_table(HuffmanTable& table, const uint8_t counts[kMaxCodeLength],
                         const uint8_t* symbols, bool dc) {
  int total = 0;
  for (int l = 0; l < kMaxCodeLength; ++l) total += counts[l];
  if (total > kMaxSymbols) return false;
  if (dc) {
    for (int i = 0; i < total; ++i)
      if (symbols[i] > kDcMaxSymbol) return false;
  }
  HuffmanTable built{};
  std::memcpy(built.symbols, symbols, static_cast<size_t>(total));
  // Canonical codes (T.81 C.2), lengths ascending. Codes that do not fit
  // their length, or an all-ones code, mean the lengths are over-subscribed.
  int32_t code = 0;
  int k = 0;
  for (int l = 1; l <= kMaxCodeLength; ++l) {
    int n = counts[l - 1];
    if (n == 0) {
      built.maxcode[l] = -1;
    } else {
      built.valptr[l] = k;
      built.mincode[l] = code;
      if (code + n >= (1 << l)) return false;
      for (int i = 0; i < n; ++i, ++code, ++k) {
        if (l <= kLookaheadBits) {
          int shift = kLookaheadBits - l;
          uint16_t entry = static_cast<uint16_t>(l << 8 | symbols[k]);
          for (int j = 0; j < (1 << shift); ++j) built.fast[(code << shift) | j] = entry;
        }
      }
      built.maxcode[l] = code - 1;
    }
    code <<= 1;
  }
  built.maxcode[kMaxCodeLength + 1] = kSearchEnd;
  for (int i = 0; i < (1 << kLookaheadBits); ++i) {
    uint16_t e = built.fast[i];
    int length = e >> 8, rs = e & 0xFF, size = rs & 0x0F;
    if (e == 0 || length + size > kLookaheadBits) continue;
    int run = dc ? 0 : rs >> 4;
    int32_t v = 0;
    if (size != 0) {
      v = (i >> (kLookaheadBits - length - size)) & ((1 << size) - 1);
      if (v < (1 << (size - 1))) v -= (1 << size) - 1;  // EXTEND
    } else if (!dc) {
      if (rs != kEndOfBlock) continue;  // ZRL and the rest take the long way
      run = kEndOfBlockRun;
    }
    built.fast_coefficient[i] =
        static_cast<int32_t>(static_cast<uint32_t>(v) << 16) | run << 8 | (length + size);
  }
  built.defined = true;
  table = built;
  return true;
}

}  // namespace rx::jpeg
