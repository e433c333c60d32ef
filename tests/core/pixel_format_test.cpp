// The pixel vocabulary: 16-bit packing, the widening rule, the per-depth
// formats' bytes.
#include "core/pixel_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

TEST(PixelFormat, EverySixteenBitValueSurvivesUnpackAndPack) {
  for (uint32_t v = 0; v < 65536; ++v) {
    ASSERT_EQ(rx::pack_565(rx::unpack_565(static_cast<uint16_t>(v))), v) << v;
    if (v < 0x8000) {
      ASSERT_EQ(rx::pack_555(rx::unpack_555(static_cast<uint16_t>(v))), v) << v;
    }
  }
}

TEST(PixelFormat, WideningTruncatesAndSpansTheByte) {
  EXPECT_EQ(rx::widen5(0), 0);
  EXPECT_EQ(rx::widen5(31), 255);
  EXPECT_EQ(rx::widen6(63), 255);
  EXPECT_EQ(rx::widen5(16), 131);  // 131.6
  EXPECT_EQ(rx::widen6(32), 129);  // 129.5
  EXPECT_EQ(rx::widen6(1), 4);     // 4.05
}

TEST(PixelFormat, PackingKeepsEachComponentsTopBits) {
  // A component narrowed and widened again stays within one step of itself,
  // and lands on its own field only.
  for (int v = 0; v < 256; ++v) {
    const auto c = static_cast<uint8_t>(v);
    const rx::Rgb red = rx::unpack_565(rx::pack_565({c, 0, 0}));
    const rx::Rgb green = rx::unpack_565(rx::pack_565({0, c, 0}));
    const rx::Rgb blue = rx::unpack_555(rx::pack_555({0, 0, c}));
    const rx::Rgb green5 = rx::unpack_555(rx::pack_555({0, c, 0}));
    ASSERT_LT(std::abs(red.red - v), 8) << v;
    ASSERT_LT(std::abs(green.green - v), 4) << v;
    ASSERT_LT(std::abs(blue.blue - v), 8) << v;
    ASSERT_LT(std::abs(green5.green - v), 8) << v;
    ASSERT_EQ(red.green | red.blue | green.red | green.blue | blue.red | blue.green, 0) << v;
  }
  EXPECT_EQ(rx::pack_565({255, 0, 0}), rx::kRedMask565);
  EXPECT_EQ(rx::pack_565({0, 255, 0}), rx::kGreenMask565);
  EXPECT_EQ(rx::pack_565({0, 0, 255}), rx::kBlueMask5);
  EXPECT_EQ(rx::pack_555({255, 0, 0}), rx::kRedMask555);
  EXPECT_EQ(rx::pack_555({0, 255, 0}), rx::kGreenMask555);
}

TEST(PixelFormat, FormatsStoreTheirBytesFromThePaletteMap) {
  rx::PaletteMap map{};
  const uint8_t hrgb[4] = {0x44, 0x11, 0x22, 0x33};  // high byte, red, green, blue
  std::memcpy(map.hrgb[7], hrgb, 4);
  uint8_t out[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  rx::Pixel24::store(out, rx::Pixel24::mapped(rx::Pixel24::map(map), 7));
  EXPECT_EQ(out[0], 0x33);  // blue, green, red; the high byte left out
  EXPECT_EQ(out[1], 0x22);
  EXPECT_EQ(out[2], 0x11);
  EXPECT_EQ(out[3], 0xEE);
  EXPECT_EQ(rx::Pixel24::load(out), 0x112233u);
  rx::Pixel32::store(out, rx::Pixel32::mapped(rx::Pixel32::map(map), 7));
  EXPECT_EQ(rx::Pixel32::load(out), 0x44112233u);
  EXPECT_EQ(out[4], 0xEE);

  map.rgb565[3] = 0xBEEF;
  rx::Pixel16::store(out, rx::Pixel16::mapped(rx::Pixel16::map(map), 3));
  EXPECT_EQ(rx::Pixel16::load(out), 0xBEEF);
  EXPECT_EQ(out[2], 0x11);  // left as the 32-bit store wrote it

  static_assert(rx::Pixel8::kBytes == rx::kBytesPerPixel[0] &&
                rx::Pixel16::kBytes == rx::kBytesPerPixel[1] &&
                rx::Pixel24::kBytes == rx::kBytesPerPixel[2] &&
                rx::Pixel32::kBytes == rx::kBytesPerPixel[3]);
  for (int d = 0; d < rx::kDepthCount; ++d) EXPECT_EQ(rx::depth_index_of(rx::kDepthBits[d]), d);
}

}  // namespace
