#include "tank_frame.h"

#include "rastrix.h"
#include "scene.h"
#include "step.h"
#include "window.h"

namespace rx::bench {

using fishtank::Fish;
using fishtank::tank;

namespace {

constexpr int kFish = 12;

void reset_library() {
  rx_buffer_release();
  for (int32_t h = 0; h < 32; ++h) rx_buffer_free(h);
  rx_shutdown();
  rx_set_decode_buffer(nullptr, 0);
}

}  // namespace

std::vector<Fish> bench_school() {
  std::vector<Fish> school;
  for (int i = 0; i < kFish; ++i) {
    Fish f{};
    f.kind = i % fishtank::kKindCount;
    f.x = 20 + 40 * i;
    f.y = 150 + 25 * i;
    f.left_turn = -700;
    f.right_turn = 1200;
    f.speed = 1;
    f.top = 60;
    f.bottom = 479;
    f.frame = 1;
    f.direction = i % 2;
    school.push_back(f);
  }
  return school;
}

bool set_up_tank(const std::string& assets, std::string* why, int desktop_bits) {
  reset_library();
  fishtank::reset_window();
  fishtank::reset_tank();
  fishtank::Tank& t = tank();
  t.window_dc = rx_headless_screen(kTankWidth, kTankHeight, desktop_bits);
  rx_set_dc(t.window_dc);
  rx_init();
  rx_set_buffer_depth(16);
  t.wheel = rx_buffer_create(fishtank::kWheelWidth, fishtank::kWheelHeight);
  t.frame = rx_buffer_create(kTankWidth, kTankHeight);
  t.background = rx_buffer_create(kTankWidth, kTankHeight);
  t.assets = assets;
  t.seed_given = true;
  *why = fishtank::load_scene();
  t.school = bench_school();
  return why->empty();
}

void tear_down_tank() {
  reset_library();
  fishtank::reset_tank();
}

void compose_frame(const std::vector<Fish>& school) {
  fishtank::Tank& t = tank();
  const int32_t last_x = kTankWidth - 1, last_y = kTankHeight - 1;
  rx_buffer_copy(0, last_x, 0, last_y, 0, last_y, t.background, t.frame);
  rx_buffer_copy(0, fishtank::kWheelWidth - 1, 0, fishtank::kWheelHeight - 1, fishtank::kWheelLeft,
                 last_y, t.wheel, t.frame);
  rx_buffer_select(t.frame);
  fishtank::draw_bubble_at(458, 352);
  for (const Fish& f : school) {
    const fishtank::FishKind& k = t.kinds[f.kind];
    rx_move_to(f.x, f.y);
    if (k.facing == f.direction)
      rx_draw_block(k.block[f.frame].data(), k.width[f.frame], k.height[f.frame]);
    else
      rx_draw_block_mirrored(k.block[f.frame].data(), k.width[f.frame], k.height[f.frame]);
  }
  rx_buffer_paste(0, last_x, 0, last_y, 0, last_y);
}

}  // namespace rx::bench
