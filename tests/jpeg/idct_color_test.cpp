// The inverse DCT against a slow reference and the colour tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "jpeg/color.h"
#include "jpeg/color_forms.h"
#include "jpeg/idct.h"

namespace rx::jpeg {
namespace {

// Floating-point inverse DCT of T.81 A.3.3, rounded, clamped.
void slow_idct(const int16_t* in, int out[64]) {
  const double pi = std::acos(-1.0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      double sum = 0;
      for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
          double cu = u == 0 ? std::sqrt(0.5) : 1.0, cv = v == 0 ? std::sqrt(0.5) : 1.0;
          sum += cu * cv * in[v * 8 + u] * std::cos((2 * x + 1) * u * pi / 16) *
                 std::cos((2 * y + 1) * v * pi / 16);
        }
      int s = static_cast<int>(std::lround(sum / 4 + 128));
      out[y * 8 + x] = s < 0 ? 0 : s > 255 ? 255 : s;
    }
}

TEST(JpegIdct, CloseToTheRealTransform) {
  std::mt19937 rng(7);
  for (int n = 0; n < 300; ++n) {
    int16_t block[64] = {};
    int terms = 1 + n % 20;
    for (int i = 0; i < terms; ++i)
      block[rng() % 64] = static_cast<int16_t>(static_cast<int>(rng() % 801) - 400);
    uint8_t fast[64];
    int slow[64];
    idct_block_scalar(block, fast, 8);
    slow_idct(block, slow);
    for (int i = 0; i < 64; ++i) ASSERT_NEAR(fast[i], slow[i], 1) << "block " << n << " sample " << i;
  }
}

// A transform form under test.
struct NamedForm {
  const char* name;
  IdctForm form;
};

// Blocks filled with the extremes: every term -32768 or 32767 (or zero),
// so that every sum wraps as far as it can.
void extreme_block(std::mt19937& rng, int16_t block[64], bool top_left) {
  for (int k = 0; k < 64; ++k) {
    bool outside = top_left && (k / 8 >= 4 || k % 8 >= 4);
    uint32_t r = rng() % 3;
    block[k] = outside ? 0 : static_cast<int16_t>(r == 0 ? -32768 : r == 1 ? 32767 : 0);
  }
}

void expect_block_form_equals_scalar(const NamedForm& f) {
  {
    std::mt19937 rng(11);
    for (int n = 0; n < 20000; ++n) {
      int16_t block[64] = {};
      if (n % 7 == 6) {
        extreme_block(rng, block, false);
      } else {
        int range = n % 3 == 0 ? 65536 : n % 3 == 1 ? 2048 : 256;
        int terms = 1 + static_cast<int>(rng() % 64);
        for (int i = 0; i < terms; ++i)
          block[rng() % 64] = static_cast<int16_t>(static_cast<int>(rng() % range) - range / 2);
        if (n % 5 == 0)  // whole columns without AC terms take the shortcut
          for (int k = 8; k < 64; ++k)
            if (k % 8 < 4) block[k] = 0;
      }
      uint8_t a[8 * 11], b[8 * 11];
      std::memset(b, 0xA5, sizeof b);
      idct_block_scalar(block, a, 11);
      f.form(block, b, 11);
      for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c)
          ASSERT_EQ(a[r * 11 + c], b[r * 11 + c]) << f.name << " block " << n;
        for (int c = 8; c < 11; ++c) ASSERT_EQ(b[r * 11 + c], 0xA5) << f.name << " wrote past";
      }
    }
  }
}

TEST(JpegIdct, VectorBlockFormEqualsScalarForm) {
  expect_block_form_equals_scalar({"vector", idct_block});
  expect_block_form_equals_scalar({"chosen", idct_forms().block});
}

#ifdef RASTRIX_HAS_AVX2
TEST(JpegIdct, Avx2BlockFormEqualsScalarForm) {
  if (!avx2_usable()) GTEST_SKIP() << "this processor has no AVX2";
  expect_block_form_equals_scalar({"avx2", idct_block_avx2});
}
#endif

void expect_top_left_form_equals_scalar(const NamedForm& f) {
  {
    std::mt19937 rng(13);
    for (int n = 0; n < 20000; ++n) {
      int16_t block[64] = {};
      if (n % 7 == 6) {
        extreme_block(rng, block, true);
      } else {
        int range = n % 3 == 0 ? 65536 : n % 3 == 1 ? 2048 : 256;
        int terms = 1 + static_cast<int>(rng() % 16);
        for (int i = 0; i < terms; ++i) {
          int row = static_cast<int>(rng() % 4), col = static_cast<int>(rng() % 4);
          block[row * 8 + col] = static_cast<int16_t>(static_cast<int>(rng() % range) - range / 2);
        }
      }
      uint8_t a[8 * 9], b[8 * 9];
      idct_block_scalar(block, a, 9);
      f.form(block, b, 9);
      for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
          ASSERT_EQ(a[r * 9 + c], b[r * 9 + c]) << f.name << " block " << n;
    }
  }
}

TEST(JpegIdct, VectorTopLeftFormEqualsScalarForm) {
  expect_top_left_form_equals_scalar({"vector", idct_top_left});
  expect_top_left_form_equals_scalar({"chosen", idct_forms().top_left});
}

#ifdef RASTRIX_HAS_AVX2
TEST(JpegIdct, Avx2TopLeftFormEqualsScalarForm) {
  if (!avx2_usable()) GTEST_SKIP() << "this processor has no AVX2";
  expect_top_left_form_equals_scalar({"avx2", idct_top_left_avx2});
}
#endif

// Each instruction level up to the processor's uses its own transforms.
TEST(JpegIdct, EachLevelChoosesItsForms) {
  std::vector<std::pair<CpuLevel, IdctForms>> levels{
      {CpuLevel::kPortable, {idct_block_scalar, idct_block_scalar}},
      {CpuLevel::kSse2, {idct_block, idct_top_left}}};
#ifdef RASTRIX_HAS_AVX2
  levels.push_back({CpuLevel::kAvx2, {idct_block_avx2, idct_top_left_avx2}});
  levels.push_back({CpuLevel::kAvx512, {idct_block_avx2, idct_top_left_avx2}});
#endif
  const CpuLevel before = cpu_level();
  for (auto [level, forms] : levels) {
    if (level > cpu_best()) continue;
    set_cpu_level(level);
    EXPECT_EQ(idct_forms().block, forms.block) << cpu_level_name(static_cast<int32_t>(level));
    EXPECT_EQ(idct_forms().top_left, forms.top_left) << cpu_level_name(static_cast<int32_t>(level));
  }
  set_cpu_level(before);
}

TEST(JpegIdct, DcOnlyShortcutMatchesTheFullTransformForEveryValue) {
  for (int dc = -32768; dc <= 32767; ++dc) {
    int16_t block[64] = {static_cast<int16_t>(dc)};
    uint8_t full[8 * 10], quick[8 * 10];
    idct_block_scalar(block, full, 10);
    idct_dc_only(static_cast<int16_t>(dc), quick, 10);
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 8; ++c) ASSERT_EQ(full[r * 10 + c], quick[r * 10 + c]) << dc;
  }
  uint8_t out[64];
  idct_dc_only(-1024, out, 8);
  EXPECT_EQ(out[0], 0);
  idct_dc_only(1016, out, 8);
  EXPECT_EQ(out[63], 255);
  idct_dc_only(-4, out, 8);  // 128 + floor(0 / 8)
  EXPECT_EQ(out[5], 128);
  idct_dc_only(-5, out, 8);
  EXPECT_EQ(out[5], 127);
}

TEST(JpegColor, TablesTruncateTowardZero) {
  const ColorTables& t = kColorTables;
  EXPECT_EQ(t.cr_to_red[0], -178);
  EXPECT_EQ(t.cr_to_red[255], 178);
  EXPECT_EQ(t.cr_to_red[127], 0);
  EXPECT_EQ(t.cr_to_red[128], 0);
  EXPECT_EQ(t.cb_to_green[0], -43);
  EXPECT_EQ(t.cb_to_green[255], 44);
  EXPECT_EQ(t.cr_to_green[0], -90);
  EXPECT_EQ(t.cr_to_green[255], 91);
  EXPECT_EQ(t.cb_to_blue[0], -226);
  EXPECT_EQ(t.cb_to_blue[255], 225);
}

TEST(JpegColor, LinesClampAndPackEachDepth) {
  // Y 255 with the largest Cr pushes red past 255; Y 0 with the smallest
  // pushes it below 0.
  uint8_t y[2] = {255, 0}, cb[2] = {128, 128}, cr[2] = {255, 0};
  uint8_t out[8];
  color_line(2, 1)(y, cb, cr, 0, 2, out);
  EXPECT_EQ(out[2], 255);  // red of pixel 0
  EXPECT_EQ(out[1], 255 - 91 > 0 ? 255 - 91 : 0);
  EXPECT_EQ(out[5], 0);  // red of pixel 1
  uint16_t p565[2];
  uint8_t grey[2] = {0xFF, 0x84};
  gray_line(1)(grey, 2, reinterpret_cast<uint8_t*>(p565));
  EXPECT_EQ(p565[0], 0xFFFF);
  EXPECT_EQ(p565[1], pack_565({0x84, 0x84, 0x84}));
  uint8_t quad[8] = {9, 9, 9, 0xAB, 9, 9, 9, 0xCD};
  gray_line(3)(grey, 2, quad);
  EXPECT_EQ(quad[3], 0xAB);
  EXPECT_EQ(quad[7], 0xCD);
  EXPECT_EQ(quad[4], 0x84);
  // Replication 2: both pixels of a pair share their chroma sample.
  uint8_t y4[4] = {100, 100, 100, 100}, cb2[2] = {128, 128}, cr2[2] = {200, 50};
  uint8_t wide[12];
  color_line(2, 2)(y4, cb2, cr2, 0, 4, wide);
  EXPECT_EQ(wide[2], wide[5]);
  EXPECT_EQ(wide[8], wide[11]);
  EXPECT_NE(wide[2], wide[8]);
}

}  // namespace
}  // namespace rx::jpeg

namespace rx::jpeg {
namespace {

// Every line writer, at every start and length, against the per-pixel
// formula: vector and scalar paths must agree to the bit.
TEST(JpegColor, LineWritersMatchThePixelFormula) {
  std::mt19937 rng(3);
  uint8_t y0[80], y1[80], cb[80], cr[80];
  for (int i = 0; i < 80; ++i)
    y0[i] = static_cast<uint8_t>(rng()), y1[i] = static_cast<uint8_t>(rng()),
    cb[i] = static_cast<uint8_t>(rng()), cr[i] = static_cast<uint8_t>(rng());
  const ColorTables& t = kColorTables;
  auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  for (int depth = 1; depth <= 3; ++depth) {
    int bytes = depth == 1 ? 2 : depth == 2 ? 3 : 4;
    for (int rep = 1; rep <= kMaxReplication; ++rep)
      for (int first = 0; first < 5; ++first)
        for (int count : {1, 7, 15, 16, 17, 33, 70}) {
          uint8_t out0[80 * 4] = {}, out1[80 * 4] = {};
          color_pair(depth, rep)(y0, y1, cb, cr, first, count, out0, out1);
          for (int line = 0; line < 2; ++line) {
            const uint8_t* l = line ? y1 : y0;
            const uint8_t* o = line ? out1 : out0;
            for (int i = 0; i < count; ++i) {
              int x = first + i, c = x / rep;
              const uint8_t r = clamp(l[x] + t.cr_to_red[cr[c]]);
              const uint8_t g = clamp(l[x] - t.cb_to_green[cb[c]] - t.cr_to_green[cr[c]]);
              const uint8_t b = clamp(l[x] + t.cb_to_blue[cb[c]]);
              const uint8_t* p = o + i * bytes;
              if (depth == 1) {
                ASSERT_EQ(Pixel16::load(p), pack_565({r, g, b}))
                    << rep << " " << first << " " << count << " " << i;
              } else {
                ASSERT_EQ(p[0], b);
                ASSERT_EQ(p[1], g);
                ASSERT_EQ(p[2], r);
              }
            }
          }
          uint8_t single[80 * 4] = {};
          color_line(depth, rep)(y0, cb, cr, first, count, single);
          ASSERT_EQ(std::memcmp(single, out0, static_cast<size_t>(count * bytes)), 0);
        }
  }
}

}  // namespace
}  // namespace rx::jpeg

namespace rx::jpeg {
namespace {

// A vector writer set under test.
struct NamedWriters {
  const char* name;
  const Writers& set;
};

// The vector writers against the portable ones over many starts, widths
// and random samples (extremes included, so every clamp is reached): the
// same bytes, the fourth byte of 32-bit pixels kept, nothing written past
// the pixels asked for.
void expect_writers_equal_scalar(const NamedWriters& set) {
  const Writers& scalar = kScalarWriters;
  {
    const Writers& w = set.set;
    std::mt19937 rng(19);
    constexpr int kMax = 300, kGuard = 64;
    std::vector<uint8_t> y0(kMax + 16), y1(kMax + 16), cb(kMax + 16), cr(kMax + 16);
    auto sample = [&rng]() {
      uint32_t r = rng();
      return static_cast<uint8_t>(r % 8 == 0 ? 0 : r % 8 == 1 ? 255 : r >> 8);
    };
    for (int round = 0; round < 40; ++round) {
      for (size_t i = 0; i < y0.size(); ++i)
        y0[i] = sample(), y1[i] = sample(), cb[i] = sample(), cr[i] = sample();
      for (int depth = 1; depth <= 3; ++depth) {
        int bytes = depth == 1 ? 2 : depth == 2 ? 3 : 4;
        size_t size = static_cast<size_t>(kMax * 4 + kGuard);
        for (int count = 0; count <= kMax - 8; count += 1 + count / 16) {
          int first = static_cast<int>(rng() % 8);
          std::vector<uint8_t> fill(size);
          for (uint8_t& b : fill) b = static_cast<uint8_t>(rng());
          for (int rep = 1; rep <= kMaxReplication; ++rep) {
            std::vector<uint8_t> a0 = fill, a1 = fill, b0 = fill, b1 = fill;
            w.pair[depth][rep - 1](y0.data(), y1.data(), cb.data(), cr.data(), first, count,
                                   a0.data(), a1.data());
            scalar.pair[depth][rep - 1](y0.data(), y1.data(), cb.data(), cr.data(), first, count,
                                        b0.data(), b1.data());
            ASSERT_EQ(a0, b0) << set.name << " " << depth << " " << rep << " " << first << " "
                              << count;
            ASSERT_EQ(a1, b1) << set.name << " " << depth << " " << rep << " " << first << " "
                              << count;
            ASSERT_TRUE(
                std::equal(a0.begin() + count * bytes, a0.end(), fill.begin() + count * bytes));
            if (depth == 3) {
              for (int i = 0; i < count; ++i) ASSERT_EQ(a0[4 * i + 3], fill[4 * i + 3]);
            }
            a0 = fill, b0 = fill;
            w.line[depth][rep - 1](y0.data(), cb.data(), cr.data(), first, count, a0.data());
            scalar.line[depth][rep - 1](y0.data(), cb.data(), cr.data(), first, count, b0.data());
            ASSERT_EQ(a0, b0) << set.name << " " << depth << " " << rep << " " << first << " "
                              << count;
          }
          std::vector<uint8_t> a = fill, b = fill;
          w.gray[depth](y0.data() + first, count, a.data());
          scalar.gray[depth](y0.data() + first, count, b.data());
          ASSERT_EQ(a, b) << set.name << " " << depth << " gray " << count;
          ASSERT_TRUE(std::equal(a.begin() + count * bytes, a.end(), fill.begin() + count * bytes));
        }
      }
    }
  }
}

// Every pair of chroma samples at luma 0, 128 and 255, so that each
// table entry shows unclamped in some pixel: the vector writers compute
// the entries instead of looking them up.
void expect_every_chroma_pair_agrees(const NamedWriters& set) {
  constexpr int kSide = 256;
  std::vector<uint8_t> cb(kSide * kSide), cr(kSide * kSide);
  for (int i = 0; i < kSide * kSide; ++i)
    cb[i] = static_cast<uint8_t>(i / kSide), cr[i] = static_cast<uint8_t>(i % kSide);
  {
    for (int luma : {0, 128, 255}) {
      std::vector<uint8_t> y(kSide * kSide, static_cast<uint8_t>(luma));
      for (int rep = 1; rep <= 2; ++rep) {
        int count = kSide * kSide / rep;
        std::vector<uint8_t> fast(static_cast<size_t>(count) * 3), scalar(fast.size());
        set.set.line[2][rep - 1](y.data(), cb.data(), cr.data(), 0, count, fast.data());
        color_line_scalar(2, rep)(y.data(), cb.data(), cr.data(), 0, count, scalar.data());
        ASSERT_EQ(fast, scalar) << set.name << " " << luma << " " << rep;
      }
    }
  }
}

TEST(JpegColor, VectorWritersEqualScalarWriters) {
  expect_writers_equal_scalar({"16-byte", kVectorWriters});
  expect_every_chroma_pair_agrees({"16-byte", kVectorWriters});
}

#ifdef RASTRIX_HAS_AVX2
TEST(JpegColor, Avx2WritersEqualScalarWriters) {
  if (!avx2_usable()) GTEST_SKIP() << "this processor has no AVX2";
  expect_writers_equal_scalar({"32-byte", kAvx2Writers});
  expect_every_chroma_pair_agrees({"32-byte", kAvx2Writers});
}
#endif

// Each instruction level up to the processor's uses its own writer set.
TEST(JpegColor, EachLevelChoosesItsWriters) {
  std::vector<std::pair<CpuLevel, const Writers*>> levels{{CpuLevel::kPortable, &kScalarWriters},
                                                          {CpuLevel::kSse2, &kVectorWriters}};
#ifdef RASTRIX_HAS_AVX2
  levels.push_back({CpuLevel::kAvx2, &kAvx2Writers});
  levels.push_back({CpuLevel::kAvx512, &kAvx2Writers});
#endif
  const CpuLevel before = cpu_level();
  for (auto [level, set] : levels) {
    if (level > cpu_best()) continue;
    set_cpu_level(level);
    const char* name = cpu_level_name(static_cast<int32_t>(level));
    for (int depth = 1; depth <= 3; ++depth) {
      EXPECT_EQ(color_line(depth, 1), set->line[depth][0]) << name;
      EXPECT_EQ(color_pair(depth, 2), set->pair[depth][1]) << name;
      EXPECT_EQ(gray_line(depth), set->gray[depth]) << name;
    }
  }
  set_cpu_level(before);
  EXPECT_EQ(color_line(0, 1), nullptr);
  EXPECT_EQ(color_pair(2, kMaxReplication + 1), nullptr);
}

}  // namespace
}  // namespace rx::jpeg
