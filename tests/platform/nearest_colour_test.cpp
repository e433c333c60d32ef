// Palette screens show the nearest system colour of every RGB pixel: the
// remembered answers are always the full search's, on the screen as well.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "core/state.h"
#include "platform/nearest_colour.h"
#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;
using platform::PaletteEntry;
using rx::Rgb;
using rx::support::make_buffer;

// A palette with repeated entries and entries one step apart, so that
// ties and near ties are common.
std::vector<PaletteEntry> crowded_palette(uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<PaletteEntry> p(256);
  for (int i = 0; i < 256; ++i) {
    if (i % 7 == 3) {
      p[i] = p[i - 1 - static_cast<int>(random() % 3)];
    } else if (i % 5 == 1) {
      p[i] = p[i - 1];
      p[i].blue = static_cast<uint8_t>(p[i].blue ^ 1);
    } else {
      p[i] = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
              static_cast<uint8_t>(random()), 0};
    }
  }
  return p;
}

TEST(NearestSearch, TakesTheLowestIndexAmongEqualDistances) {
  const PaletteEntry p[4] = {{0, 0, 0, 0}, {10, 0, 0, 0}, {0, 10, 0, 0}, {10, 0, 0, 0}};
  EXPECT_EQ(platform::search_nearest(p, 4, {5, 5, 0}), 0);  // 50 from 0, 1 and 2
  EXPECT_EQ(platform::search_nearest(p, 4, {9, 0, 0}), 1);  // 3 repeats 1
  EXPECT_EQ(platform::search_nearest(p, 4, {0, 6, 0}), 2);
  EXPECT_EQ(platform::search_nearest(p, 2, {0, 200, 0}), 0);  // only the first two count
}

TEST(NearestColours, AnswerAsTheSearchForManyColours) {
  const std::vector<PaletteEntry> palette = crowded_palette(7);
  platform::NearestColours nearest;
  nearest.follow(palette.data(), 256);
  std::mt19937 random(11);
  for (int round = 0; round < 2; ++round) {  // the second round reads what the first kept
    for (uint32_t n = 0; n < 200000; ++n) {
      const uint32_t v = random();
      const Rgb c{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                  static_cast<uint8_t>(v)};
      ASSERT_EQ(nearest.of(c), platform::search_nearest(palette.data(), 256, c))
          << int{c.red} << "," << int{c.green} << "," << int{c.blue};
      // A colour of the same 5-6-5 value, asked right after, is not given
      // the first colour's answer.
      const Rgb d{static_cast<uint8_t>(c.red ^ 7), static_cast<uint8_t>(c.green ^ 3),
                  static_cast<uint8_t>(c.blue ^ 7)};
      ASSERT_EQ(nearest.of(d), platform::search_nearest(palette.data(), 256, d))
          << int{d.red} << "," << int{d.green} << "," << int{d.blue};
    }
  }
}

TEST(NearestColours, AnswerEveryFiveSixFivePixelAsTheSearch) {
  std::vector<uint16_t> pixels(65536);
  for (uint32_t v = 0; v < 65536; ++v) pixels[v] = static_cast<uint16_t>(v);
  std::vector<uint8_t> out(65536);
  platform::NearestColours nearest;
  for (uint32_t seed : {3u, 5u}) {  // a new palette is answered afresh
    const std::vector<PaletteEntry> palette = crowded_palette(seed);
    nearest.follow(palette.data(), 256);
    for (int round = 0; round < 2; ++round) {
      nearest.of_565_row(reinterpret_cast<const uint8_t*>(pixels.data()), 65536, out.data());
      for (uint32_t v = 0; v < 65536; ++v)
        ASSERT_EQ(out[v], platform::search_nearest(palette.data(), 256,
                                                   rx::unpack_565(static_cast<uint16_t>(v))))
            << "pixel " << v << ", palette " << seed << ", round " << round;
    }
  }
}

TEST(NearestColours, FollowAChangeOfOneEntryOrOfTheCount) {
  std::vector<PaletteEntry> palette = crowded_palette(9);
  platform::NearestColours nearest;
  nearest.follow(palette.data(), 256);
  const Rgb c{palette[200].red, palette[200].green, palette[200].blue};
  const uint8_t before = nearest.of(c);
  EXPECT_EQ(before, platform::search_nearest(palette.data(), 256, c));
  palette[40] = {c.red, c.green, c.blue, 0};  // now an earlier exact match
  nearest.follow(palette.data(), 256);
  EXPECT_EQ(nearest.of(c), 40);
  nearest.follow(palette.data(), 16);
  EXPECT_EQ(nearest.of(c), platform::search_nearest(palette.data(), 16, c));
  EXPECT_LT(nearest.of(c), 16);
}

// The screen's own indices, after pasting every 5-6-5 value and a photo's
// worth of 24-bit colours, are those of the search over the system palette
// in force, before and after the palette changes.
class NearestOnScreen : public rx::support::EightBitDesktop {
 protected:
  void expect_searched_indices(const char* what) {
    const platform::ScreenView v = platform::screen_view();
    const PaletteEntry* system = platform::system_palette();
    const int32_t entries = v.bits == 4 ? 16 : 256;
    rx_buffer_select(sixteen_);
    rx_buffer_paste(0, 255, 0, 255, 0, 255);
    for (int32_t y = 0; y < 256; ++y)
      for (int32_t x = 0; x < 256; ++x) {
        const uint16_t pixel = static_cast<uint16_t>(y * 256 + x);
        ASSERT_EQ(v.pixels[y * v.bytes_per_row + x],
                  platform::search_nearest(system, entries, rx::unpack_565(pixel)))
            << what << ": 5-6-5 pixel " << pixel;
      }
    rx_buffer_select(twenty_four_);
    rx_buffer_paste(0, 255, 0, 255, 300, 255);
    const rx::LibraryState& s = rx::state();
    for (int32_t y = 0; y < 256; ++y)
      for (int32_t x = 0; x < 256; ++x) {
        const uint8_t* p = s.active_pixels + (255 - y) * s.active_bytes_per_row + 3 * x;
        const Rgb c{p[2], p[1], p[0]};
        ASSERT_EQ(v.pixels[y * v.bytes_per_row + 300 + x],
                  platform::search_nearest(system, entries, c))
            << what << ": 24-bit pixel " << x << "," << y;
      }
  }

  void SetUp() override {
    EightBitDesktop::SetUp();
    palette_ = rx_make_palette();
    rx_realize_palette(palette_);
    sixteen_ = make_buffer(16, 256, 256);
    uint8_t* p = rx::state().active_pixels;
    for (int32_t y = 0; y < 256; ++y)  // top row y holds the values y * 256 + x
      for (int32_t x = 0; x < 256; ++x) {
        const uint16_t v = static_cast<uint16_t>(y * 256 + x);
        std::memcpy(p + (255 - y) * 512 + 2 * x, &v, 2);
      }
    twenty_four_ = make_buffer(24, 256, 256);
    std::mt19937 random(13);
    p = rx::state().active_pixels;
    for (int32_t i = 0; i < 256 * 256 * 3; ++i) p[i] = static_cast<uint8_t>(random());
  }
  void TearDown() override {
    rx::support::reset_library();
    rx_delete_palette(palette_);
  }

  RxPalette palette_ = nullptr;
  int32_t sixteen_ = -1, twenty_four_ = -1;
};

TEST_F(NearestOnScreen, IndicesAreTheSearchsAlsoAfterThePaletteChanges) {
  expect_searched_indices("realized palette");
  // New colours in the palette's free entries reach the system palette.
  std::vector<uint8_t> rgb(3 * 200);
  std::mt19937 random(17);
  for (uint8_t& c : rgb) c = static_cast<uint8_t>(random());
  rx_set_palette_entries(20, 200, rgb.data());
  ASSERT_EQ(platform::system_palette()[20].red, rgb[0]);
  expect_searched_indices("entries set");
  rx_headless_screen(640, 480, 4);  // sixteen colours only
  rx_set_dc(reinterpret_cast<RxDC>(platform::window_dc()));
  expect_searched_indices("4-bit screen");
}

}  // namespace
