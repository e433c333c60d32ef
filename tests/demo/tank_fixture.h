// A fresh library, headless screen, window and tank for each demo test, and
// a folder of small pictures for the tank to load.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "writers/flic_writer.h"
#include "support/headless_fixture.h"
#include "writers/pcx_writer.h"
#include "tank.h"
#include "window.h"

namespace fishtank::testing {

namespace fs = std::filesystem;

inline void write_file(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The colour of palette index i in the test pictures: never black but for 0.
inline std::vector<uint8_t> test_palette(int salt) {
  std::vector<uint8_t> p(768);
  for (int i = 1; i < 256; ++i) {
    p[3 * i] = static_cast<uint8_t>(40 + (i * 37 + salt * 11) % 216);
    p[3 * i + 1] = static_cast<uint8_t>(40 + (i * 91 + salt * 7) % 216);
    p[3 * i + 2] = static_cast<uint8_t>(40 + (i * 53 + salt * 3) % 216);
  }
  return p;
}

// A sprite frame: an oval of varied colours with a hole, black around it,
// asymmetric left to right so that mirroring shows.
inline void paint_frame(std::vector<uint8_t>& pixels, const FrameRect& r, int kind, int frame) {
  double cx = (r.min_x + r.max_x) / 2.0, cy = (r.min_y + r.max_y) / 2.0;
  double rx = (r.max_x - r.min_x) / 2.0, ry = (r.max_y - r.min_y) / 2.0;
  for (int y = r.min_y; y <= r.max_y; ++y)
    for (int x = r.min_x; x <= r.max_x; ++x) {
      double dx = (x - cx) / rx, dy = (y - cy) / ry;
      if (dx * dx + dy * dy > 1.0 || (x + y) % 17 == 0) continue;
      pixels[static_cast<size_t>(y) * 640 + x] =
          static_cast<uint8_t>(1 + (x - r.min_x + 3 * kind + 5 * frame + (y / 4) * 7) % 255);
    }
}

// Six fish pictures, a small wheel flic and a corpus JPEG as the photograph.
// Returns false when the shared corpus is not to be found.
inline bool make_tank_pictures(const fs::path& dir, int wheel_frames = 5) {
  fs::create_directories(dir);
  const char* shared = std::getenv("RASTRIX_SHARED_DIR");
  if (shared == nullptr) return false;
  fs::path photo = fs::path(shared) / "corpus/peers/jpeg/ljt_testorig.jpg";
  std::error_code ec;
  fs::copy_file(photo, dir / kPhotoFile, fs::copy_options::overwrite_existing, ec);
  if (ec) return false;
  const Tank& t = tank();
  for (int k = 0; k < kKindCount; ++k) {
    rx::support::PcxPicture pic;
    pic.width = 640;
    pic.height = 480;
    pic.pixels.assign(640 * 480, 0);
    for (int f = 0; f < t.kinds[k].frame_count; ++f) paint_frame(pic.pixels, t.kinds[k].frames[f], k, f);
    pic.palette = test_palette(k);
    write_file(dir / t.kinds[k].picture, rx::support::encode_pcx(pic));
  }
  std::vector<std::vector<uint8_t>> frames;
  for (int f = 0; f < wheel_frames; ++f) {
    std::vector<uint8_t> frame(kWheelWidth * kWheelHeight);
    for (int y = 0; y < kWheelHeight; ++y)
      for (int x = 0; x < kWheelWidth; ++x)
        frame[static_cast<size_t>(y) * kWheelWidth + x] =
            static_cast<uint8_t>(1 + ((x + 9 * f) / 6 + (y + 4 * f) / 9) % 200);
    frames.push_back(frame);
  }
  write_file(dir / kWheelFile, rx::support::encode_flc(frames, kWheelWidth, kWheelHeight, test_palette(9), 40));
  return true;
}

class TankTest : public ::testing::Test {
 protected:
  virtual int32_t desktop_bits() const { return 32; }

  void SetUp() override {
    rx::support::reset_library();
    reset_window();
    set_message_box_printing(false);
    set_call_journal(rx::platform::note_call);  // one log of the shell's and the library's calls
    RxDC dc = rx_headless_screen(640, 480, desktop_bits());
    ASSERT_NE(dc, nullptr);
    set_window_dc(dc);
    rx::platform::set_call_log(true);
    rx::platform::set_virtual_clock(true, 0, 1);  // settle waits pass at once
    reset_tank();
    tank().assets.clear();
    dir_ = fs::temp_directory_path() /
           ("fishtank_test_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  void TearDown() override {
    rx::platform::set_virtual_clock(false);
    rx::support::reset_library();
    reset_window();
    reset_tank();
    tank().assets.clear();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Builds the test pictures and points the tank at them.
  void use_test_pictures(int wheel_frames = 5) {
    ASSERT_TRUE(make_tank_pictures(dir_, wheel_frames)) << "RASTRIX_SHARED_DIR not set";
    tank().assets = dir_.string();
  }

  // The call log without the times.
  static std::vector<std::string> calls() {
    std::vector<std::string> out;
    for (const std::string& c : rx::platform::call_log()) out.push_back(c.substr(0, c.rfind(" @")));
    return out;
  }

  fs::path dir_;
};

}  // namespace fishtank::testing
