// Copying rectangles between buffers and pasting the active buffer to the
// headless screen, with clipping and exact colours.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "core/state.h"
#include "platform/pixel_formats.h"
#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;
using rx::support::EightBitDesktop;
using rx::support::HeadlessTest;
using rx::support::make_buffer;
using rx::support::SixteenBitDesktop;

int bytes_of(int32_t handle) { return rx::state().slots.bits[handle] / 8; }

uint8_t* pixel(int32_t handle, int32_t x, int32_t y) {
  const rx::SlotTable& t = rx::state().slots;
  const int b = bytes_of(handle);
  return t.pixels[handle] + static_cast<size_t>(t.height[handle] - 1 - y) * t.stored_width[handle] * b +
         static_cast<size_t>(x) * b;
}

// Every byte of a pixel gets a value made of its position and a seed.
uint8_t pattern(int32_t x, int32_t y, int byte, int seed) {
  return static_cast<uint8_t>(x * 7 + y * 13 + byte * 3 + seed);
}

void fill(int32_t handle, int seed) {
  const rx::SlotTable& t = rx::state().slots;
  for (int32_t y = 0; y < t.height[handle]; ++y)
    for (int32_t x = 0; x < t.stored_width[handle]; ++x)
      for (int k = 0; k < bytes_of(handle); ++k) pixel(handle, x, y)[k] = pattern(x, y, k, seed);
}

// The copy the library must make: source (sx, sy) lands at (dx, dy) for the
// parts of the rectangle that lie inside both buffers; all else unchanged.
void expect_copy(int32_t src, int32_t dst, int32_t min_x, int32_t max_x, int32_t min_y,
                 int32_t max_y, int64_t dest_x, int64_t dest_y, int src_seed, int dst_seed) {
  const rx::SlotTable& t = rx::state().slots;
  const int b = bytes_of(dst);
  for (int32_t y = 0; y < t.height[dst]; ++y)
    for (int32_t x = 0; x < t.stored_width[dst]; ++x) {
      const int64_t sx = int64_t{x} - dest_x + min_x, sy = int64_t{y} - dest_y + max_y;
      const bool copied = sx >= min_x && sx <= max_x && sy >= min_y && sy <= max_y && sx >= 0 &&
                          sy >= 0 && sx < t.stored_width[src] && sy < t.height[src];
      for (int k = 0; k < b; ++k) {
        const uint8_t want = copied ? pattern(static_cast<int32_t>(sx), static_cast<int32_t>(sy), k, src_seed)
                                    : pattern(x, y, k, dst_seed);
        ASSERT_EQ(pixel(dst, x, y)[k], want) << x << "," << y;
      }
    }
}

TEST_F(HeadlessTest, CopyPutsTheWheelInTheLowerRightCorner) {
  rx_set_buffer_depth(16);
  const int32_t wheel = rx_buffer_create(186, 153);
  const int32_t frame = rx_buffer_create(640, 480);
  fill(wheel, 1);
  fill(frame, 2);
  EXPECT_EQ(rx_buffer_copy(0, 185, 0, 152, 454, 479, wheel, frame), 0);
  expect_copy(wheel, frame, 0, 185, 0, 152, 454, 479, 1, 2);
  EXPECT_EQ(pixel(frame, 454, 327)[0], pattern(0, 0, 0, 1));
  EXPECT_EQ(pixel(frame, 639, 479)[1], pattern(185, 152, 1, 1));
}

TEST_F(HeadlessTest, CopyClipsToBothBuffersAtEveryDepth) {
  struct Rect {
    int32_t min_x, max_x, min_y, max_y, dx, dy;
  } rects[] = {
      {-5, 10, -3, 8, 2, 9},           // source leaves at the top left
      {20, 60, 10, 40, 30, 35},        // source leaves at the right and bottom
      {0, 15, 0, 15, -8, 4},           // destination leaves at the left and top
      {0, 15, 0, 15, 50, 60},          // destination leaves at the right and bottom
      {0, 15, 0, 15, 100, 100},        // wholly outside
      {10, 5, 0, 3, 0, 3},             // empty: max below min
      {INT_MIN, INT_MAX, INT_MIN, INT_MAX, 0, 0},
      {0, 3, 0, 3, INT_MAX, INT_MIN},
      {0, 3, 0, 3, INT_MIN, INT_MAX},
  };
  for (int bits : {8, 16, 24, 32}) {
    rx_set_buffer_depth(bits);
    const int32_t src = rx_buffer_create(37, 29), dst = rx_buffer_create(53, 41);
    for (const Rect& r : rects) {
      fill(src, 3);
      fill(dst, 4);
      EXPECT_EQ(rx_buffer_copy(r.min_x, r.max_x, r.min_y, r.max_y, r.dx, r.dy, src, dst), 0);
      expect_copy(src, dst, r.min_x, r.max_x, r.min_y, r.max_y, r.dx, r.dy, 3, 4);
      expect_copy(src, src, 0, -1, 0, -1, 0, 0, 3, 3);  // the source is untouched
    }
    rx_buffer_free(src);
    rx_buffer_free(dst);
  }
}

TEST_F(HeadlessTest, CopyWithinOneBufferMovesRowsIntact) {
  rx_set_buffer_depth(24);
  const int32_t b = rx_buffer_create(40, 20);
  fill(b, 5);
  std::vector<uint8_t> row(5 * 3);
  for (int i = 0; i < 15; ++i) row[i] = pattern(2 + i / 3, 6, i % 3, 5);
  EXPECT_EQ(rx_buffer_copy(2, 6, 6, 6, 4, 6, b, b), 0);  // overlapping, to the right
  EXPECT_EQ(std::memcmp(pixel(b, 4, 6), row.data(), row.size()), 0);
}

TEST_F(HeadlessTest, OverlappingCopiesWithinOneBufferMoveTheOriginalPixels) {
  rx_set_buffer_depth(16);
  const int32_t b = rx_buffer_create(16, 16), copy = rx_buffer_create(16, 16);
  for (int32_t shift : {-3, -1, 1, 3}) {
    fill(b, 6);
    fill(copy, 6);
    // Rows 4..11 moved by shift rows and two columns, from an untouched copy.
    EXPECT_EQ(rx_buffer_copy(0, 11, 4, 11, 2, 11 + shift, b, b), 0);
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        const bool moved = x >= 2 && x <= 13 && y >= 4 + shift && y <= 11 + shift;
        const uint8_t* want = moved ? pixel(copy, x - 2, y - shift) : pixel(copy, x, y);
        ASSERT_EQ(std::memcmp(pixel(b, x, y), want, 2), 0) << shift << ": " << x << "," << y;
      }
  }
}

TEST_F(HeadlessTest, WholeRowCopiesMoveTheOriginalRowsAtEveryDepth) {
  // Rectangles as wide as the buffer, between buffers of one width, of
  // another width, and within one buffer up and down.
  for (int bits : {8, 16, 24, 32}) {
    rx_set_buffer_depth(bits);
    const int32_t a = rx_buffer_create(20, 12), same = rx_buffer_create(20, 12),
                  wider = rx_buffer_create(24, 12), copy = rx_buffer_create(20, 12);
    for (int32_t dst : {same, wider}) {
      fill(a, 7);
      fill(dst, 8);
      EXPECT_EQ(rx_buffer_copy(0, 19, 2, 9, 0, 10, a, dst), 0);
      expect_copy(a, dst, 0, 19, 2, 9, 0, 10, 7, 8);
    }
    for (int32_t shift : {-2, 2}) {
      fill(a, 9);
      fill(copy, 9);
      EXPECT_EQ(rx_buffer_copy(0, 19, 3, 8, 0, 8 + shift, a, a), 0);
      for (int32_t y = 0; y < 12; ++y) {
        const bool moved = y >= 3 + shift && y <= 8 + shift;
        ASSERT_EQ(std::memcmp(pixel(a, 0, y), pixel(copy, 0, moved ? y - shift : y), 20 * bytes_of(a)), 0)
            << bits << " shift " << shift << " row " << y;
      }
    }
    for (int32_t h : {a, same, wider, copy}) rx_buffer_free(h);
  }
}

TEST_F(HeadlessTest, CopyRefusesMixedDepthsAndIgnoresFreeSlots) {
  rx_set_buffer_depth(16);
  const int32_t a = rx_buffer_create(8, 8);
  rx_set_buffer_depth(32);
  const int32_t b = rx_buffer_create(8, 8);
  fill(a, 1);
  fill(b, 2);
  EXPECT_EQ(rx_buffer_copy(0, 7, 0, 7, 0, 7, a, b), RX_ERR_ARGUMENT);
  EXPECT_EQ(rx_buffer_copy(0, 7, 0, 7, 0, 7, b, a), RX_ERR_ARGUMENT);
  EXPECT_EQ(rx_buffer_copy(0, 7, 0, 7, 0, 7, a, 5), 0);
  EXPECT_EQ(rx_buffer_copy(0, 7, 0, 7, 0, 7, 5, b), 0);
  EXPECT_EQ(rx_buffer_copy(0, 7, 0, 7, 0, 7, -1, b), 0);  // slot 31, free
  expect_copy(a, a, 0, -1, 0, -1, 0, 0, 1, 1);
  expect_copy(b, b, 0, -1, 0, -1, 0, 0, 2, 2);
  // Handles are taken modulo 32: 33 is buffer 1.
  rx_set_buffer_depth(32);
  const int32_t c = rx_buffer_create(8, 8);
  fill(c, 3);
  EXPECT_EQ(rx_buffer_copy(0, 3, 0, 3, 0, 3, 33, c + 32), 0);
  expect_copy(b, c, 0, 3, 0, 3, 0, 3, 2, 3);
}

// --- Paste -------------------------------------------------------------------

void screen_rgb(int32_t x, int32_t y, uint8_t rgb[3]) { ASSERT_EQ(rx_screen_pixel(x, y, rgb), 0); }

TEST_F(HeadlessTest, PasteShowsExactColoursOnATrueColourScreen) {
  RxPalette p = rx_make_palette();
  for (int bits : {8, 16, 24, 32}) {
    rx_headless_screen(640, 480, 32);
    const int32_t h = make_buffer(bits, 64, 32);
    fill(h, bits);
    EXPECT_EQ(rx_buffer_paste(0, 63, 0, 31, 100, 231), 0);
    for (int32_t y = 0; y < 32; ++y)
      for (int32_t x = 0; x < 64; ++x) {
        const uint8_t* px = pixel(h, x, y);
        uint8_t want[3];
        if (bits == 8) {
          const rx::RgbQuad& q = rx::state().color_table[px[0]];
          want[0] = q.red, want[1] = q.green, want[2] = q.blue;
        } else if (bits == 16) {
          rx::Rgb c = rx::unpack_565(static_cast<uint16_t>(px[0] | px[1] << 8));
          want[0] = c.red, want[1] = c.green, want[2] = c.blue;
        } else {
          want[0] = px[2], want[1] = px[1], want[2] = px[0];
        }
        uint8_t got[3];
        screen_rgb(100 + x, 200 + y, got);
        ASSERT_EQ(std::memcmp(got, want, 3), 0) << bits << ": " << x << "," << y;
      }
    rx_buffer_release();
    rx_buffer_free(h);
  }
  rx_delete_palette(p);
}

TEST_F(SixteenBitDesktop, SixteenBitPixelsReachASixteenBitScreenUnchanged) {
  const int32_t h = make_buffer(16, 640, 480);
  fill(h, 9);
  EXPECT_EQ(rx_buffer_paste(0, 639, 0, 479, 0, 479), 0);
  platform::ScreenView v = platform::screen_view();
  for (int32_t y = 0; y < 480; ++y)
    ASSERT_EQ(std::memcmp(v.pixels + static_cast<size_t>(y) * v.bytes_per_row, pixel(h, 0, y), 1280), 0)
        << y;
}

TEST_F(EightBitDesktop, EightBitBuffersReachTheScreenThroughTheRealizedPalette) {
  RxPalette p = rx_make_palette();
  rx_realize_palette(p);
  const int32_t h = make_buffer(8, 16, 16);
  ASSERT_EQ(rx::state().color_usage, 1);
  std::vector<uint8_t> colours(3 * 236);
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = static_cast<uint8_t>(i * 5 + 1);
  rx_set_palette_entries(10, 236, colours.data());
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) pixel(h, x, y)[0] = static_cast<uint8_t>(y * 16 + x);
  rx_buffer_paste(0, 15, 0, 15, 0, 15);
  platform::ScreenView v = platform::screen_view();
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) {
      const int index = y * 16 + x;
      ASSERT_EQ(v.pixels[y * v.bytes_per_row + x], index);
      uint8_t got[3];
      screen_rgb(x, y, got);
      const rx::LogPaletteEntry& e = rx::state().log_palette.entries[index];
      ASSERT_EQ(got[0], e.red) << index;
      ASSERT_EQ(got[1], e.green) << index;
      ASSERT_EQ(got[2], e.blue) << index;
    }
  rx_buffer_release();
  rx_buffer_free(h);
  rx_shutdown();
  rx_init();
  rx_delete_palette(p);
}

TEST_F(EightBitDesktop, DeepBuffersReachAnEightBitScreenAsRealizedColours) {
  RxPalette p = rx_make_palette();
  rx_realize_palette(p);
  const int32_t h = make_buffer(16, 8, 1);
  ASSERT_EQ(rx::state().color_usage, 0);
  // Colours a 5-6-5 pixel shows exactly, each in the realized palette.
  const int entries[] = {0, 249, 250, 252, 255, 30 + 4, 30 + 16, 30 + 20};
  for (int32_t x = 0; x < 8; ++x) {
    const rx::LogPaletteEntry& e = rx::state().log_palette.entries[entries[x]];
    const uint16_t v = static_cast<uint16_t>(rx_pack_rgb(e.red, e.green, e.blue));
    std::memcpy(pixel(h, x, 0), &v, 2);
  }
  rx_buffer_paste(0, 7, 0, 0, 3, 5);
  for (int32_t x = 0; x < 8; ++x) {
    const rx::LogPaletteEntry& e = rx::state().log_palette.entries[entries[x]];
    uint8_t got[3];
    screen_rgb(3 + x, 5, got);
    EXPECT_EQ(got[0], e.red) << x;
    EXPECT_EQ(got[1], e.green) << x;
    EXPECT_EQ(got[2], e.blue) << x;
  }
  rx_buffer_release();
  rx_buffer_free(h);
  rx_shutdown();
  rx_init();
  rx_delete_palette(p);
}

// An 8-bit buffer made on a true-colour desktop, shown after the desktop
// drops to 8 bits and again after it is restored: its colour table takes
// the form the desktop reads, indices then colours.
TEST_F(HeadlessTest, EightBitBuffersKeepTheirColoursWhenTheDesktopDropsToEightBits) {
  platform::set_virtual_clock(true, 0, 1u << 20);  // the settle waits pass at once
  RxPalette p = rx_make_palette();
  rx_realize_palette(p);
  const int32_t h = make_buffer(8, 16, 1);
  ASSERT_EQ(rx::state().color_usage, 0);
  rx_buffer_release();
  ASSERT_EQ(rx_set_display_mode(640, 480, 8, 1), 0);
  ASSERT_EQ(platform::screen_view().bits, 8);
  rx_realize_palette(p);
  ASSERT_EQ(rx_buffer_select(h), 0);
  ASSERT_EQ(rx::state().color_usage, 1);
  const uint8_t* table = rx::state().slots.header[h] + 40;
  for (int i = 0; i < 256; ++i) ASSERT_EQ(platform::load_u16(table + 2 * i), i) << i;
  // Probes among the palette's own entries and the static colours.
  const uint8_t probes[16] = {10, 11, 37, 64, 100, 101, 128, 150, 199, 200, 222, 245, 0, 7, 249, 255};
  for (int32_t x = 0; x < 16; ++x) pixel(h, x, 0)[0] = probes[x];
  auto expect_probes = [&](const char* what) {
    rx_buffer_paste(0, 15, 0, 0, 0, 0);
    for (int32_t x = 0; x < 16; ++x) {
      const rx::LogPaletteEntry& e = rx::state().log_palette.entries[probes[x]];
      const bool is_static = probes[x] < 10 || probes[x] >= 246;
      const platform::PaletteEntry want =
          is_static ? platform::system_palette()[probes[x]]
                    : platform::PaletteEntry{e.red, e.green, e.blue, 0};
      uint8_t got[3];
      ASSERT_TRUE(platform::screen_rgb(x, 0, got));
      EXPECT_EQ(got[0], want.red) << what << ", index " << int{probes[x]};
      EXPECT_EQ(got[1], want.green) << what << ", index " << int{probes[x]};
      EXPECT_EQ(got[2], want.blue) << what << ", index " << int{probes[x]};
    }
  };
  expect_probes("8-bit desktop");
  rx_buffer_release();
  ASSERT_EQ(rx_set_display_mode(0, 0, 0, 0), 0);
  ASSERT_EQ(platform::screen_view().bits, 32);
  ASSERT_EQ(rx_buffer_select(h), 0);
  ASSERT_EQ(rx::state().color_usage, 0);
  expect_probes("restored 32-bit desktop");
  rx_buffer_release();
  rx_buffer_free(h);
  rx_shutdown();
  rx_init();
  rx_delete_palette(p);
}

TEST_F(HeadlessTest, PasteClipsToTheBufferAndTheScreen) {
  const int32_t h = make_buffer(32, 40, 30);
  fill(h, 7);
  struct Case {
    int32_t min_x, max_x, min_y, max_y, dx, dy;
  } cases[] = {
      {0, 39, 0, 29, -10, 5},      // off the left and top of the screen
      {0, 39, 0, 29, 620, 479},    // off the right
      {0, 39, 0, 29, 0, 490},      // off the bottom
      {-20, 100, -20, 100, 0, 0},  // rectangle larger than the buffer
      {0, 39, 0, 29, INT_MAX, INT_MAX},
      {0, 39, 0, 29, INT_MIN, INT_MIN},
      {INT_MIN, INT_MAX, INT_MIN, INT_MAX, INT_MIN, INT_MAX},
      {5, 2, 0, 29, 0, 29},        // empty
  };
  for (const Case& c : cases) {
    rx_headless_screen(640, 480, 32);
    EXPECT_EQ(rx_buffer_paste(c.min_x, c.max_x, c.min_y, c.max_y, c.dx, c.dy), 0);
    platform::ScreenView v = platform::screen_view();
    for (int32_t y = 0; y < 480; ++y)
      for (int32_t x = 0; x < 640; ++x) {
        const int64_t sx = int64_t{x} - c.dx + c.min_x, sy = int64_t{y} - c.dy + c.max_y;
        const bool shown = sx >= c.min_x && sx <= c.max_x && sy >= c.min_y && sy <= c.max_y &&
                           sx >= 0 && sy >= 0 && sx < 40 && sy < 30;
        const uint8_t* got = v.pixels + static_cast<size_t>(y) * v.bytes_per_row + 4 * x;
        if (!shown) {
          ASSERT_EQ(got[0] | got[1] | got[2], 0) << x << "," << y;
        } else {
          const uint8_t* want = pixel(h, static_cast<int32_t>(sx), static_cast<int32_t>(sy));
          ASSERT_EQ(std::memcmp(got, want, 3), 0) << x << "," << y;
        }
      }
  }
}

TEST_F(HeadlessTest, PasteWithoutAnActiveBufferTransfersNothing) {
  const int32_t h = make_buffer(32, 8, 8);
  fill(h, 1);
  rx_buffer_release();
  platform::set_call_log(true);
  platform::clear_call_log();
  EXPECT_EQ(rx_buffer_paste(0, 7, 0, 7, 0, 7), 0);
  EXPECT_TRUE(platform::call_log().empty());
}

TEST_F(HeadlessTest, PasteHandsTheWholeBufferToThePlatform) {
  make_buffer(16, 640, 480);
  platform::set_call_log(true);
  platform::clear_call_log();
  rx_buffer_paste(0, 639, 0, 479, 0, 479);
  ASSERT_EQ(platform::call_log().size(), 1u);
  EXPECT_EQ(platform::call_log()[0].rfind("transfer 640x480 to 0,0", 0), 0u);
}

}  // namespace
