// One block's Huffman decoding against a plain encoder: DC and AC symbols
// with codes both short enough for the lookahead and longer, values of
// every size, runs, ZRL, the end of block, the predictor, the clearing
// between blocks, and runs that carry past the last coefficient.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "jpeg/block_decoder.h"
#include "jpeg/huffman.h"

namespace rx::jpeg {
namespace {

// A table made from (code length, symbol) pairs in ascending length, and
// the canonical codes the decoder must assign.
struct TestTable {
  HuffmanTable table;
  uint32_t code[256];
  int length[256];
};

TestTable make_table(const std::vector<std::pair<int, int>>& lengths, bool dc) {
  TestTable t{};
  uint8_t counts[kMaxCodeLength] = {};
  std::vector<uint8_t> symbols;
  for (auto [l, s] : lengths) ++counts[l - 1], symbols.push_back(static_cast<uint8_t>(s));
  EXPECT_TRUE(build_huffman_table(t.table, counts, symbols.data(), dc));
  uint32_t code = 0;
  int l = 1;
  for (auto [length, s] : lengths) {
    while (l < length) code <<= 1, ++l;
    t.code[s] = code++, t.length[s] = length;
  }
  return t;
}

// DC sizes 0..11: some codes of 2..4 bits, the rest up to 12 bits.
TestTable dc_table() {
  return make_table({{2, 0}, {2, 3}, {3, 1}, {3, 2}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8},
                     {9, 9}, {10, 10}, {12, 11}},
                    true);
}

// AC: the end of block and common small symbols short, ZRL and the rest
// of the (run, size) symbols used below longer, up to 16 bits.
TestTable ac_table() {
  std::vector<std::pair<int, int>> lengths{{2, 0x00}, {2, 0x01}, {3, 0x02}, {4, 0x11},
                                           {4, 0x03}, {5, 0x21}, {6, 0xF1}, {7, 0x04}};
  int l = 9;
  int n = 0;
  for (int run = 0; run < 16; ++run)
    for (int size = 1; size <= 10; ++size) {
      int rs = run << 4 | size;
      bool taken = false;
      for (auto [len, s] : lengths) taken |= s == rs;
      if (taken) continue;
      lengths.push_back({l, rs});
      if (++n % 24 == 0 && l < 16) ++l;
    }
  lengths.push_back({16, 0xF0});
  return make_table(lengths, false);
}

// Entropy-coded bytes with stuffing, ended by EOI after one-bit padding.
struct BitWriter {
  std::vector<uint8_t> bytes;
  uint32_t acc = 0;
  int held = 0;
  void put(uint32_t bits, int n) {
    for (int i = n - 1; i >= 0; --i) {
      acc = acc << 1 | ((bits >> i) & 1);
      if (++held == 8) {
        bytes.push_back(static_cast<uint8_t>(acc));
        if (acc == 0xFF) bytes.push_back(0);
        acc = 0, held = 0;
      }
    }
  }
  void symbol(const TestTable& t, int s) { put(t.code[s], t.length[s]); }
  // size bits of value, as the encoder's EXTEND inverse.
  void value(int32_t v, int size) {
    if (size == 0) return;
    put(static_cast<uint32_t>(v < 0 ? v + (1 << size) - 1 : v), size);
  }
  std::vector<uint8_t> finish() {
    while (held != 0) put(1, 1);
    bytes.push_back(0xFF), bytes.push_back(0xD9);
    return bytes;
  }
};

int size_of(int32_t v) {
  int s = 0;
  for (int32_t a = v < 0 ? -v : v; a != 0; a >>= 1) ++s;
  return s;
}

int32_t random_value(std::mt19937& rng, int max_size) {
  int size = 1 + static_cast<int>(rng() % max_size);
  int32_t v = (1 << (size - 1)) + static_cast<int32_t>(rng() % (1u << (size - 1)));
  return rng() % 2 ? v : -v;
}

TEST(JpegBlockDecoder, DecodesRandomBlocksAsEncoded) {
  TestTable dc = dc_table(), ac = ac_table();
  std::mt19937 rng(31);
  uint8_t quant[kBlockSize];
  for (uint8_t& q : quant) q = static_cast<uint8_t>(1 + rng() % 20);
  constexpr int kBlocks = 3000;
  std::vector<std::vector<int16_t>> expected;
  std::vector<int> expected_last;
  BitWriter w;
  int32_t predictor = 0;
  for (int b = 0; b < kBlocks; ++b) {
    std::vector<int16_t> block(kBlockSize, 0);
    int32_t diff = rng() % 5 == 0 ? 0 : random_value(rng, 11);
    w.symbol(dc, size_of(diff));
    w.value(diff, size_of(diff));
    predictor += diff;
    block[0] = dequantise(predictor, quant[0]);
    int k = 1, last = 0;
    int terms = static_cast<int>(rng() % (b % 4 == 0 ? 40 : 8));
    for (int i = 0; i < terms && k < kBlockSize; ++i) {
      int run = static_cast<int>(rng() % (rng() % 4 == 0 ? 15 : 3));
      if (rng() % 16 == 0 && k + 16 < kBlockSize - 1) {  // ZRL, then a term
        w.symbol(ac, 0xF0);
        k += 16;
      }
      if (k + run >= kBlockSize) break;
      int32_t v = random_value(rng, rng() % 3 == 0 ? 10 : 3);
      int size = size_of(v);
      int rs = run << 4 | size;
      if (ac.length[rs] == 0) continue;  // not in the table
      w.symbol(ac, rs);
      w.value(v, size);
      k += run;
      block[kZigzag[k]] = dequantise(v, quant[kZigzag[k]]);
      last = k++;
    }
    if (k < kBlockSize) w.symbol(ac, 0x00);
    expected.push_back(block);
    expected_last.push_back(last);
  }
  std::vector<uint8_t> stream = w.finish();
  InputSource src = InputSource::over_memory(stream.data(), static_cast<int32_t>(stream.size()));
  BitReader br;
  br.start(&src);
  int32_t decoded_predictor = 0;
  alignas(16) int16_t block[kBlockSize] = {};
  for (int b = 0; b < kBlocks; ++b) {
    int last = decode_block(br, dc.table, ac.table, quant, decoded_predictor, block);
    ASSERT_EQ(last, expected_last[b]) << "block " << b;
    for (int i = 0; i < kBlockSize; ++i) ASSERT_EQ(block[i], expected[b][i]) << b << " " << i;
    clear_block(block, last);
    for (int i = 0; i < kBlockSize; ++i) ASSERT_EQ(block[i], 0) << "left after block " << b;
  }
  EXPECT_FALSE(br.overran());
  EXPECT_EQ(decoded_predictor, predictor);
}

// A run past coefficient 63 is refused, whether its code is short enough
// for the lookahead (0xF1) or not (0xE1), and an end of block that
// follows never counts as one.
TEST(JpegBlockDecoder, RunsPastTheLastCoefficientAreRefused) {
  TestTable dc = dc_table(), ac = ac_table();
  uint8_t quant[kBlockSize];
  for (uint8_t& q : quant) q = 1;
  for (int rs : {0xF1, 0xE1}) {
    ASSERT_NE(ac.length[rs], 0);
    BitWriter w;
    w.symbol(dc, 0);
    for (int i = 0; i < 5; ++i) w.symbol(ac, rs), w.value(1, 1);  // past coefficient 63
    w.symbol(ac, 0x00);
    std::vector<uint8_t> stream = w.finish();
    InputSource src = InputSource::over_memory(stream.data(), static_cast<int32_t>(stream.size()));
    BitReader br;
    br.start(&src);
    int32_t predictor = 0;
    alignas(16) int16_t block[kBlockSize] = {};
    EXPECT_EQ(decode_block(br, dc.table, ac.table, quant, predictor, block), kRunTooLong) << rs;
  }
}

}  // namespace
}  // namespace rx::jpeg
