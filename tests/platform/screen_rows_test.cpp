// The row converter every window shows the screen through: known pixels at
// every screen depth come out as the colours the screen holds.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;

struct Colour {
  uint8_t red, green, blue;
};
// Colours every depth holds exactly, the static ones of palette screens
// included; red and blue apart, so that a swap shows.
constexpr Colour kProbes[] = {{255, 0, 0},   {0, 0, 255},     {0, 255, 0},
                              {255, 255, 0}, {255, 255, 255}, {0, 0, 0}};
constexpr int32_t kCount = 6;
constexpr uint32_t kUntouched = 0x12345678;

uint32_t argb(Colour c) {
  return 0xFF000000u | uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
}

// The probes pasted from a 32-bit buffer to row 0 of a fresh screen.
void paste_probes(int32_t screen_bits, int32_t width) {
  rx::support::reset_library();
  ASSERT_NE(rx_headless_screen(width, 4, screen_bits), nullptr);
  rx_set_dc(reinterpret_cast<RxDC>(platform::window_dc()));
  rx_init();
  const int32_t h = rx::support::make_buffer(32, 8, 1);
  ASSERT_GE(h, 0);
  uint8_t* p = rx::state().active_pixels;
  for (int32_t i = 0; i < kCount; ++i) {
    p[4 * i] = kProbes[i].blue;
    p[4 * i + 1] = kProbes[i].green;
    p[4 * i + 2] = kProbes[i].red;
  }
  rx_buffer_paste(0, kCount - 1, 0, 0, 0, 0);
}

TEST(ScreenRows, EveryDepthConvertsKnownPixels) {
  for (int32_t bits : {4, 8, 15, 16, 24, 32}) {
    paste_probes(bits, 16);
    const platform::ScreenView v = platform::screen_view();
    ASSERT_EQ(v.bits, bits);
    std::vector<uint32_t> row(kCount + 1, kUntouched);
    platform::screen_row_argb(v, 0, 0, kCount, row.data());
    for (int32_t i = 0; i < kCount; ++i) {
      EXPECT_EQ(row[i], argb(kProbes[i])) << bits << " bits, pixel " << i;
      uint8_t rgb[3];
      ASSERT_TRUE(platform::screen_rgb(i, 0, rgb));
      EXPECT_EQ(argb({rgb[0], rgb[1], rgb[2]}), row[i]) << bits << " bits, pixel " << i;
    }
    EXPECT_EQ(row[kCount], kUntouched) << bits << " bits";
    // A run from the middle of the row starts at its own pixel.
    uint32_t one = kUntouched;
    platform::screen_row_argb(v, 0, 1, 1, &one);
    EXPECT_EQ(one, argb(kProbes[1])) << bits << " bits";
  }
  rx::support::reset_library();
}

// The probes as the screen stores them, little-endian: the row converter
// above reads these, so a red-blue swap made in both storing and reading
// shows here.
struct Stored {
  int32_t bits, bytes;
  uint32_t pixels[kCount];
};
constexpr Stored kStored[] = {
    {32, 4, {0x00FF0000, 0x000000FF, 0x0000FF00, 0x00FFFF00, 0x00FFFFFF, 0}},
    {24, 3, {0xFF0000, 0x0000FF, 0x00FF00, 0xFFFF00, 0xFFFFFF, 0}},
    {16, 2, {0xF800, 0x001F, 0x07E0, 0xFFE0, 0xFFFF, 0}},
    {15, 2, {0x7C00, 0x001F, 0x03E0, 0x7FE0, 0x7FFF, 0}},
    {8, 1, {249, 252, 250, 251, 255, 0}},  // the static colours at the top
    {4, 1, {9, 12, 10, 11, 15, 0}},
};

TEST(ScreenRows, KnownPixelsAreStoredInEachDepthsLayout) {
  for (const Stored& want : kStored) {
    paste_probes(want.bits, 16);
    const platform::ScreenView v = platform::screen_view();
    ASSERT_EQ(v.bits, want.bits);
    for (int32_t i = 0; i < kCount; ++i) {
      uint32_t got = 0;
      std::memcpy(&got, v.pixels + static_cast<size_t>(i) * want.bytes, want.bytes);
      EXPECT_EQ(got, want.pixels[i]) << want.bits << " bits, pixel " << i;
    }
  }
  rx::support::reset_library();
}

// A whole wide row at every depth fills exactly its width: the address
// sanitizer sees any read past the screen's row or write past the output.
TEST(ScreenRows, WholeRowsStayInsideTheirMemory) {
  for (int32_t bits : {4, 8, 15, 16, 24, 32}) {
    ASSERT_NE(rx_headless_screen(1280, 3, bits), nullptr);
    const platform::ScreenView v = platform::screen_view();
    std::vector<uint32_t> row(static_cast<size_t>(v.width), kUntouched);
    platform::screen_row_argb(v, v.height - 1, 0, v.width, row.data());
    EXPECT_EQ(row.back(), 0xFF000000u) << bits << " bits";
  }
}

TEST(ScreenRows, RunsOutsideTheScreenWriteNothing) {
  ASSERT_NE(rx_headless_screen(8, 2, 32), nullptr);
  const platform::ScreenView v = platform::screen_view();
  uint32_t out[10];
  for (uint32_t& o : out) o = kUntouched;
  platform::screen_row_argb(v, 2, 0, 1, out);
  platform::screen_row_argb(v, -1, 0, 1, out);
  platform::screen_row_argb(v, 0, 4, 5, out);
  platform::screen_row_argb(v, 0, -1, 2, out);
  for (uint32_t o : out) EXPECT_EQ(o, kUntouched);
}

}  // namespace
