// Recordings: a looping GIF with one image per frame shown, close to the
// screen's colours, and a PNG of the last frame exactly.
#include <gif_lib.h>
#include <png.h>

#include <cstdlib>
#include <cstring>

#include "core/state.h"

#include "recording.h"
#include "tank_fixture.h"

namespace fishtank::testing {
namespace {

using RecordingTest = TankTest;

// Paints the screen through a 32-bit buffer: a gradient shifted by frame.
void show_frame(int frame) {
  if (!rx::has_active_buffer()) {
    rx_set_buffer_depth(32);
    rx_buffer_select(rx_buffer_create(640, 480));
  }
  for (int y = 0; y < 480; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(rx::active_row(y));
    for (int x = 0; x < 640; ++x)
      row[x] = (x < 100 + 10 * frame) ? 0x00C04020u : static_cast<uint32_t>((x / 3) << 16 | (y / 2) << 8 | 0x80);
  }
  rx_buffer_paste(0, 639, 0, 479, 0, 479);
}

TEST_F(RecordingTest, GifLoopsWithEveryFrameCloseToTheScreen) {
  rx_set_dc(reinterpret_cast<RxDC>(rx::platform::window_dc()));
  rx_init();
  fs::create_directories(dir_);
  std::string path = (dir_ / "tank.gif").string(), error;
  Recorder rec;
  ASSERT_TRUE(rec.open(path, &error)) << error;
  for (int f = 0; f < 3; ++f) {
    show_frame(f);
    rec.add_frame();
  }
  ASSERT_TRUE(rec.finish(&error)) << error;

  int err = 0;
  GifFileType* g = DGifOpenFileName(path.c_str(), &err);
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(DGifSlurp(g), GIF_OK);
  EXPECT_EQ(g->SWidth, 640);
  EXPECT_EQ(g->SHeight, 480);
  ASSERT_EQ(g->ImageCount, 3);
  bool loops = false;
  for (int i = 0; i < g->SavedImages[0].ExtensionBlockCount; ++i)
    loops |= g->SavedImages[0].ExtensionBlocks[i].ByteCount == 11 &&
             std::memcmp(g->SavedImages[0].ExtensionBlocks[i].Bytes, "NETSCAPE2.0", 11) == 0;
  EXPECT_TRUE(loops);
  // Frame 0 whole; later frames only the changed columns.
  EXPECT_EQ(g->SavedImages[0].ImageDesc.Width, 640);
  EXPECT_EQ(g->SavedImages[1].ImageDesc.Left, 100);
  EXPECT_EQ(g->SavedImages[1].ImageDesc.Width, 10);
  const ColorMapObject* map = g->SColorMap;
  auto colour_at = [&](int x, int y) {
    return map->Colors[g->SavedImages[0].RasterBits[y * 640 + x]];
  };
  GifColorType c = colour_at(50, 50);  // 0xC04020 exactly as a palette entry
  EXPECT_NEAR(c.Red, 0xC0, 4);
  EXPECT_NEAR(c.Green, 0x40, 4);
  EXPECT_NEAR(c.Blue, 0x20, 4);
  c = colour_at(600, 400);
  EXPECT_NEAR(c.Red, 200, 12);
  EXPECT_NEAR(c.Green, 200, 12);
  DGifCloseFile(g, &err);
}

TEST_F(RecordingTest, PngHoldsTheLastFrame) {
  rx_set_dc(reinterpret_cast<RxDC>(rx::platform::window_dc()));
  rx_init();
  fs::create_directories(dir_);
  std::string path = (dir_ / "last.png").string(), error;
  Recorder rec;
  ASSERT_TRUE(rec.open(path, &error));
  EXPECT_FALSE(Recorder().finish(&error));  // nothing shown, nothing written
  show_frame(0);
  rec.add_frame();
  show_frame(5);
  rec.add_frame();
  ASSERT_TRUE(rec.finish(&error)) << error;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  ASSERT_EQ(image.width, 640u);
  uint8_t screen[3];
  for (int x : {0, 120, 149, 150, 639}) {
    rx_screen_pixel(x, 300, screen);
    EXPECT_EQ(rgb[(300 * 640 + x) * 3], screen[0]) << x;
    EXPECT_EQ(rgb[(300 * 640 + x) * 3 + 2], screen[2]) << x;
  }
  EXPECT_EQ(rgb[(300 * 640 + 120) * 3], 0xC0);  // the fifth frame's band
}

}  // namespace
}  // namespace fishtank::testing

namespace fishtank::testing {
namespace {

// The delays of every image of a GIF, in hundredths.
std::vector<int> gif_delays(const std::string& path) {
  std::vector<int> delays;
  int err = 0;
  GifFileType* g = DGifOpenFileName(path.c_str(), &err);
  if (g == nullptr || DGifSlurp(g) != GIF_OK) return delays;
  for (int i = 0; i < g->ImageCount; ++i) {
    GraphicsControlBlock gcb{};
    DGifSavedExtensionToGCB(g, i, &gcb);
    delays.push_back(gcb.DelayTime);
  }
  DGifCloseFile(g, &err);
  return delays;
}

using RecordingRateTest = TankTest;

TEST_F(RecordingRateTest, DelaysKeepTheRateOfTheWindow) {
  rx_set_dc(window_dc());
  rx_init();
  fs::create_directories(dir_);
  for (int32_t rate : {50, 60, 0}) {
    std::string path = (dir_ / ("r" + std::to_string(rate) + ".gif")).string(), error;
    Recorder rec;
    ASSERT_TRUE(rec.open(path, &error, rate)) << error;
    for (int f = 0; f < 6; ++f) {
      show_frame(f);
      rec.add_frame();
    }
    ASSERT_TRUE(rec.finish(&error)) << error;
    std::vector<int> delays = gif_delays(path);
    // 50 a second (also the rate of an unpaced run's recording): 2 each;
    // 60 a second: 2, 1, 2, ... summing to a tenth every six frames.
    std::vector<int> expected = rate == 60 ? std::vector<int>{2, 1, 2, 2, 1, 2}
                                           : std::vector<int>(6, 2);
    EXPECT_EQ(delays, expected) << rate;
  }
}

TEST_F(RecordingRateTest, OpenChecksTheFileAndLeavesNoneBehind) {
  Recorder rec;
  std::string error;
  EXPECT_FALSE(rec.open("/nonexistent/x.gif", &error));
  EXPECT_NE(error.find("cannot write /nonexistent/x.gif"), std::string::npos) << error;
  fs::create_directories(dir_);
  std::string fresh = (dir_ / "new.png").string();
  EXPECT_TRUE(Recorder().open(fresh, &error)) << error;
  EXPECT_FALSE(fs::exists(fresh));  // checked, not made
  std::string old = (dir_ / "old.gif").string();
  write_file(old, {1, 2, 3});
  EXPECT_TRUE(Recorder().open(old, &error)) << error;
  EXPECT_EQ(fs::file_size(old), 3u);  // untouched until the recording is written
}

}  // namespace
}  // namespace fishtank::testing
