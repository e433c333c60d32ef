// Row draws: the vector rows and the scalar rows against a pixel-at-a-time
// reference, over every short width, plain and mirrored, with pixels that
// are clear, opaque, or zero in all but one byte.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "blocks/row_draws.h"

namespace {

constexpr int kBlockBytes[4] = {1, 2, 3, 3};
constexpr int kBufferBytes[4] = {1, 2, 3, 4};
constexpr int kGuard = 32;  // bytes around the buffer row that no draw may touch

// count stored pixels: about 40% clear, the rest either fully random or
// with a single non-zero byte, which a byte-wise zero test would miss.
std::vector<uint8_t> random_pixels(std::mt19937& rng, int bb, int32_t count) {
  std::vector<uint8_t> px(static_cast<size_t>(count) * bb, 0);
  for (int32_t i = 0; i < count; ++i) {
    uint8_t* p = &px[static_cast<size_t>(i) * bb];
    const unsigned kind = rng() % 10;
    if (kind < 4) continue;
    if (kind < 7) {
      p[rng() % bb] = static_cast<uint8_t>(1 + rng() % 255);
    } else {
      for (int k = 0; k < bb; ++k) p[k] = static_cast<uint8_t>(rng());
      p[0] |= 1;
    }
  }
  return px;
}

// Shown pixel n takes stored pixel n (plain) or count - 1 - n (mirrored)
// unless all its bytes are zero; a 32-bit pixel gets a fourth byte 0.
void reference_row(uint8_t* row, const std::vector<uint8_t>& px, int d, int32_t count, bool mirrored) {
  const int bb = kBlockBytes[d], pb = kBufferBytes[d];
  for (int32_t n = 0; n < count; ++n) {
    const uint8_t* p = &px[static_cast<size_t>(mirrored ? count - 1 - n : n) * bb];
    bool zero = true;
    for (int k = 0; k < bb; ++k) zero = zero && p[k] == 0;
    if (zero) continue;
    std::memcpy(row + static_cast<size_t>(n) * pb, p, bb);
    if (pb == 4) row[static_cast<size_t>(n) * pb + 3] = 0;
  }
}

void check_table(const rx::RowDraws* table, const char* name) {
  std::mt19937 rng(7);
  for (int d = 1; d < 4; ++d)
    for (bool mirrored : {false, true})
      for (int32_t count = 1; count <= 70; ++count)
        for (int trial = 0; trial < 20; ++trial) {
          const int bb = kBlockBytes[d], pb = kBufferBytes[d];
          // Exactly the pixels drawn, so a read past either end is caught
          // by the address sanitizer.
          const std::vector<uint8_t> px = random_pixels(rng, bb, count);
          std::vector<uint8_t> buffer(static_cast<size_t>(count) * pb + 2 * kGuard);
          for (uint8_t& b : buffer) b = static_cast<uint8_t>(rng());
          std::vector<uint8_t> want = buffer;
          reference_row(want.data() + kGuard, px, d, count, mirrored);
          const rx::RowDraw draw = mirrored ? table[d].mirrored : table[d].plain;
          const uint8_t* from = mirrored ? px.data() + static_cast<size_t>(count - 1) * bb : px.data();
          draw(buffer.data() + kGuard, from, count);
          ASSERT_EQ(buffer, want) << name << " depth index " << d << (mirrored ? " mirrored" : " plain")
                                  << " count " << count << " trial " << trial;
        }
}

TEST(RowDraws, ScalarRowsMatchTheReference) { check_table(rx::kScalarRowDraws, "scalar"); }

#if defined(__SSE2__)
TEST(RowDraws, Sse2RowsMatchTheReference) { check_table(rx::kSse2RowDraws, "sse2"); }
#endif

#ifdef RASTRIX_HAS_AVX2
TEST(RowDraws, Avx2RowsMatchTheReference) {
  if (!rx::avx2_usable()) GTEST_SKIP() << "this processor has no AVX2";
  check_table(rx::kAvx2RowDraws, "avx2");
}
#endif

#ifdef RASTRIX_HAS_AVX512
TEST(RowDraws, Avx512RowsMatchTheReference) {
  if (!rx::avx512_usable()) GTEST_SKIP() << "this processor has no AVX-512";
  check_table(rx::kAvx512RowDraws, "avx512");
}
#endif

// Each instruction level up to the processor's draws with its own table.
TEST(RowDraws, EachLevelChoosesItsTable) {
  std::vector<std::pair<rx::CpuLevel, const rx::RowDraws*>> levels{
      {rx::CpuLevel::kPortable, rx::kScalarRowDraws}};
#if defined(__SSE2__)
  levels.push_back({rx::CpuLevel::kSse2, rx::kSse2RowDraws});
#endif
#ifdef RASTRIX_HAS_AVX2
  levels.push_back({rx::CpuLevel::kAvx2, rx::kAvx2RowDraws});
  levels.push_back({rx::CpuLevel::kAvx512, rx::kAvx512RowDraws});
#endif
  const rx::CpuLevel before = rx::cpu_level();
  for (auto [level, table] : levels) {
    if (level > rx::cpu_best()) continue;
    rx::set_cpu_level(level);
    EXPECT_EQ(rx::row_draws(), table) << rx::cpu_level_name(static_cast<int32_t>(level));
  }
  rx::set_cpu_level(before);
}

TEST(RowDraws, TheChosenTableMatchesTheReferenceAndSkipsEightBits) {
  check_table(rx::row_draws(), "chosen");
  EXPECT_EQ(rx::row_draws()[0].plain, nullptr);
  EXPECT_EQ(rx::row_draws()[0].mirrored, nullptr);
}

}  // namespace
