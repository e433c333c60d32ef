// The decoder's library-wide tables: quantisation, Huffman, components.
// They persist from one segment, scan and picture to the next, so a file
// without DHT or DQT segments uses the tables of an earlier picture.
#pragma once

#include <cstdint>

namespace rx::jpeg {

inline constexpr int kBlockSize = 64;
inline constexpr int kQuantTables = 4;
inline constexpr int kHuffmanTables = 4;  // 2 * class + id: DC 0, DC 1, AC 0, AC 1
inline constexpr int kMaxComponents = 3;
inline constexpr int kMaxSampling = 4;  // largest sampling factor
inline constexpr int kMaxCodeLength = 16;
inline constexpr int kMaxSymbols = 256;
inline constexpr int kLookaheadBits = 9;  // codes up to this length decode in one lookup
// The run an end of block carries in the lookahead: past any coefficient.
inline constexpr int kEndOfBlockRun = kBlockSize;

struct QuantTable {
  uint8_t entries[kBlockSize];  // natural order
  bool defined;
};

struct HuffmanTable {
  uint8_t symbols[kMaxSymbols];  // HUFFVAL
  int32_t mincode[kMaxCodeLength + 1];  // indexed by length 1..16
  int32_t valptr[kMaxCodeLength + 1];
  int32_t maxcode[kMaxCodeLength + 2];  // [17] ends any search
  // Lookahead on the next kLookaheadBits bits: length << 8 | symbol, or 0
  // when the code is longer.
  uint16_t fast[1 << kLookaheadBits];
  // Symbols whose code and extra bits together fit the lookahead, with
  // their coefficient: value << 16 | run << 8 | bits used, or 0. DC
  // symbols of every size; AC symbols with extra bits, and the end of
  // block with run kEndOfBlockRun (no other AC symbol of size 0).
  int32_t fast_coefficient[1 << kLookaheadBits];
  bool defined;
};

struct Component {
  uint8_t h, v;        // sampling factors
  uint8_t quant;       // quantisation table selector
  uint8_t dc, ac;      // Huffman table indices (ac is 2 + Ta)
  int32_t predictor;   // DC predictor
};

struct Tables {
  QuantTable quant[kQuantTables];
  HuffmanTable huffman[kHuffmanTables];
  Component component[kMaxComponents];
};

Tables& tables();

// Natural-order position of the k-th coefficient in zig-zag sequence
// (ITU-T T.81 Figure A.6).
extern const uint8_t kZigzag[kBlockSize];

}  // namespace rx::jpeg
