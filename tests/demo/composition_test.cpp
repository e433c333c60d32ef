// A headless run against frames composed here, independently, from the
// same pictures and seed: photograph, wheel, bubble and fish, pixel for
// pixel as the screen shows them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "core/pixel_format.h"
#include "core/state.h"
#include "shell.h"
#include "step.h"
#include "tank_fixture.h"

namespace fishtank::testing {
namespace {

namespace platform = rx::platform;

struct Picture {
  int w = 0, h = 0;
  std::vector<uint16_t> px;  // top row first
  uint16_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

// The rectangle of the active 16-bit buffer, top row first.
Picture read_active(int x0, int y0, int w, int h) {
  Picture p{w, h, std::vector<uint16_t>(static_cast<size_t>(w) * h)};
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<const uint16_t*>(rx::active_row(y0 + y));
    std::copy(row + x0, row + x0 + w, p.px.begin() + static_cast<ptrdiff_t>(y) * w);
  }
  return p;
}

struct Swimmer {
  int kind, x, y, left, right, speed, top, bottom, frame, dir, vstep, fdir, timer;
};

int r(int n) { return std::rand() % n; }

void pick_band(Swimmer& f) {
  f.top = r(341) + 60;
  f.bottom = r(480 - f.top) + f.top;
}

class CompositionTest : public TankTest {
 protected:
  static constexpr uint32_t kSeed = 4242;
  static constexpr int kSteps = 400;

  void load_references() {
    std::string dir = tank().assets;
    rx_set_dc(reinterpret_cast<RxDC>(platform::window_dc()));
    rx_init();
    rx_set_buffer_depth(16);
    int big = rx_buffer_create(640, 480), small = rx_buffer_create(186, 153);
    ASSERT_GE(big, 0);
    ASSERT_GE(small, 0);
    std::string photo = dir + "/" + kPhotoFile;
    JpegInfo info{};
    ASSERT_EQ(rx_jpeg_header(photo.c_str(), &info), 0);
    std::vector<uint8_t> memory(static_cast<size_t>(rx_jpeg_buffer_size(&info)));
    rx_set_decode_buffer(memory.data(), static_cast<int32_t>(memory.size()));
    rx_buffer_select(big);
    ASSERT_EQ(rx_show_jpeg(photo.c_str(), 0), 0);
    rx_set_decode_buffer(nullptr, 0);
    background_ = read_active(0, 0, 640, 480);
    for (int k = 0; k < kKindCount; ++k) {
      const FishKind& kind = tank().kinds[k];
      ASSERT_EQ(rx_show_pcx((dir + "/" + kind.picture).c_str(), 0), 0);
      for (int f = 0; f < kind.frame_count; ++f) {
        const FrameRect& fr = kind.frames[f];
        sprites_[k][f] = read_active(fr.min_x, fr.min_y, fr.max_x - fr.min_x + 1, fr.max_y - fr.min_y + 1);
      }
    }
    // The wheel from the file, with the demo's calls: one picture per step.
    FlicContext flic{};
    ASSERT_EQ(rx_flic_open((dir + "/" + kWheelFile).c_str(), &flic), 0);
    rx_buffer_select(small);
    ASSERT_GT(rx_flic_play(&flic, 1, RX_FLIC_NO_DELAY), 0);
    for (int s = 0; s < kSteps; ++s) {
      bool restart = rx_flic_play(&flic, 1, RX_FLIC_NO_DELAY) == 0;
      if (restart) {
        rx_flic_skip(&flic, -1);
        rx_flic_skip(&flic, 1);
        rx_flic_play(&flic, 1, RX_FLIC_NO_DELAY);
      }
      wheel_restart_.push_back(restart);
      wheel_.push_back(read_active(0, 0, 186, 153));
    }
    rx_flic_close(&flic);
    rx_buffer_release();
    rx_buffer_free(big);
    rx_buffer_free(small);
  }

  // Frames 1..kSteps composed from the references; calls check(step, frame).
  template <class Check>
  void compose(Check check) {
    std::srand(kSeed);
    std::vector<Swimmer> school(static_cast<size_t>(r(7) + 6));
    for (Swimmer& f : school) {
      f.dir = r(2);
      f.vstep = r(3) - 1;
      f.fdir = r(2);
      f.kind = r(6);
      f.left = r(501) - 700;
      f.right = r(501) + 700;
      f.x = f.dir == 0 ? f.left : f.right;
      f.speed = r(4) + 1;
      pick_band(f);
      f.y = r(f.bottom - f.top + 1) + f.top;
      f.frame = r(2) + 1;
      f.timer = r(3);
    }
    uint32_t moves = 0;
    int bubble = 0;
    Picture frame;
    for (int s = 0; s < kSteps; ++s) {
      frame = background_;
      const Picture& wheel = wheel_[static_cast<size_t>(s)];
      for (int y = 0; y < 153; ++y)
        for (int x = 0; x < 186; ++x) frame.px[static_cast<size_t>(327 + y) * 640 + 454 + x] = wheel.at(x, y);
      if (wheel_restart_[static_cast<size_t>(s)]) bubble = 0;
      ++bubble;
      int by = (33 - bubble) * 11, bx = 457 + r(3), bh = std::min(by, 14);
      for (int row = 0; row < bh; ++row)
        for (int c = 0; c < 14; ++c) {
          if (!kBubbleMask[row * 14 + c]) continue;
          uint16_t& v = frame.px[static_cast<size_t>(by - row) * 640 + bx + c];
          rx::Rgb rgb = rx::unpack_565(v);
          auto lift = [](uint8_t ch) { return static_cast<uint8_t>(std::min(ch + 30, 255)); };
          v = rx::pack_565({lift(rgb.red), lift(rgb.green), lift(rgb.blue)});
        }
      for (Swimmer& f : school) {
        const FishKind& kind = tank().kinds[f.kind];
        const Picture& sprite = sprites_[f.kind][f.frame];
        bool plain = kind.facing == f.dir;
        for (int y = 0; y < sprite.h; ++y)
          for (int x = 0; x < sprite.w; ++x) {
            uint16_t v = sprite.at(x, y);
            int dx = plain ? f.x + x : f.x + sprite.w - 1 - x, dy = f.y - (sprite.h - 1) + y;
            if (v != 0 && dx >= 0 && dx < 640 && dy >= 0 && dy < 480) {
              frame.px[static_cast<size_t>(dy) * 640 + dx] = v;
              ++fish_pixels_drawn_;
            }
          }
        if (f.dir == 0) {
          f.x += f.speed;
          if (f.x > f.right) f.dir = 1;
        } else {
          f.x -= f.speed;
          if (f.x < f.left) f.dir = 0;
        }
        f.y += f.vstep;
        if (f.y >= f.bottom)
          f.vstep = -1;
        else if (f.y <= f.top)
          f.vstep = 1;
        ++moves;
        if (static_cast<int32_t>(moves) % f.y == 0) {
          f.vstep = r(7) - 1;
          if (f.vstep > 1) f.vstep = 0;
          f.speed = r(4) + 1;
          pick_band(f);
        }
        if (++f.timer >= kind.frame_period) {
          if (f.fdir == 0) {
            if (++f.frame >= kind.frame_count - 1) f.fdir = 1;
          } else if (--f.frame <= 1) {
            f.fdir = 0;
          }
          f.timer = 0;
        }
      }
      check(s + 1, frame);
    }
  }

  Picture background_;
  Picture sprites_[kKindCount][kMaxFrames];
  std::vector<Picture> wheel_;
  std::vector<bool> wheel_restart_;
  int64_t fish_pixels_drawn_ = 0;
};

bool sampled(int step) { return step <= 12 || step % 25 == 0; }

TEST_F(CompositionTest, HeadlessFramesMatchFramesComposedIndependently) {
  use_test_pictures(5);
  tank().seed = kSeed;
  tank().seed_given = true;
  std::map<int, std::vector<uint8_t>> shown;
  int step = 0;
  LoopLimits limits;
  limits.frames = kSteps;
  limits.after_step = [&] {
    if (!sampled(++step)) return;
    std::vector<uint8_t>& rgb = shown[step];
    rgb.resize(640 * 480 * 3);
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) rx_screen_pixel(x, y, &rgb[(static_cast<size_t>(y) * 640 + x) * 3]);
  };
  ASSERT_EQ(run_fish_tank(limits).exit_status, 0);
  ASSERT_EQ(step, kSteps);
  load_references();
  if (HasFatalFailure()) return;

  compose([&](int s, const Picture& frame) {
    if (!sampled(s)) return;
    const std::vector<uint8_t>& rgb = shown[s];
    int wrong = 0, first = -1;
    for (size_t i = 0; i < frame.px.size(); ++i) {
      rx::Rgb c = rx::unpack_565(frame.px[i]);
      if (c.red != rgb[3 * i] || c.green != rgb[3 * i + 1] || c.blue != rgb[3 * i + 2]) {
        if (first < 0) first = static_cast<int>(i);
        ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << "step " << s << ", first at (" << first % 640 << ", " << first / 640 << ")";
  });
  EXPECT_GT(fish_pixels_drawn_, 10000);  // the fish did come into view
}

}  // namespace
}  // namespace fishtank::testing
