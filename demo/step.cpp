// The animation step: photograph, wheel, bubble, fish, one paste.
#include "step.h"

#include <algorithm>
#include <cstdint>

#include "school.h"
#include "tank.h"

namespace fishtank {

const uint8_t kBubbleMask[kBubbleSide * kBubbleSide] = {
    0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0,  //
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0,  //
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0,  //
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0,  //
    0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0,  //
    0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0,  //
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  //
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  //
    0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0,  //
    0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0,  //
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0,  //
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0,  //
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0,  //
    0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0,  //
};

namespace {

constexpr int32_t kBubbleStart = 33;  // the bubble rises 11 rows a step from row 352
constexpr int32_t kBubbleRise = 11;
constexpr int32_t kBubbleLeft = 457;  // 457..459, wobbling
constexpr int32_t kBubbleWobble = 3;

void next_wheel_frame() {
  Tank& t = tank();
  rx_buffer_select(t.wheel);
  if (rx_flic_play(&t.wheel_flic, 1, kWheelPlayFlags) == 0) {
    // Start over with the second frame: the closing ring frame turned the
    // picture back into the first one.
    rx_flic_skip(&t.wheel_flic, -1);
    rx_flic_skip(&t.wheel_flic, 1);
    rx_flic_play(&t.wheel_flic, 1, kWheelPlayFlags);
    t.bubble_counter = 0;
  }
}

void draw_bubble() {
  Tank& t = tank();
  // Without a restart the count would run on for ever: hold it at the top.
  if (t.bubble_counter < INT32_MAX) ++t.bubble_counter;
  int32_t y = bubble_row(t.bubble_counter);
  int32_t x = kBubbleLeft + draw() % kBubbleWobble;  // drawn every step
  draw_bubble_at(x, y);
}

void draw_fish(const Fish& f, const FishKind& kind) {
  rx_move_to(f.x, f.y);
  if (f.frame < 0 || f.frame >= kMaxFrames) return;
  const std::vector<uint8_t>& block = kind.block[f.frame];
  if (block.empty()) return;  // the sea horse's empty fourth frame
  int32_t w = kind.width[f.frame], h = kind.height[f.frame];
  if (kind.facing == f.direction)
    rx_draw_block(block.data(), w, h);
  else
    rx_draw_block_mirrored(block.data(), w, h);
}

}  // namespace

int32_t bubble_row(int32_t bubble_counter) {
  // Far past the top the bubble is simply not drawn; keep the product in range.
  int32_t steps = std::min(bubble_counter, kBubbleStart + kScreenHeight);
  return (kBubbleStart - steps) * kBubbleRise;
}

int32_t bubble_height(int32_t row) { return std::min(row, kBubbleSide); }

void draw_bubble_at(int32_t x, int32_t y) {
  rx_move_to(x, y);
  int32_t h = bubble_height(y);
  if (h <= 0) return;
  uint16_t block[kBubbleSide * kBubbleSide];
  if (rx_capture_block(block, kBubbleSide, h) != RX_OK) return;
  for (int32_t i = 0; i < kBubbleSide * h; ++i) {
    if (kBubbleMask[i] == 0) continue;
    int32_t red = 0, green = 0, blue = 0;
    rx_unpack_rgb(block[i], &red, &green, &blue);
    block[i] = static_cast<uint16_t>(rx_pack_rgb(brighten(red), brighten(green), brighten(blue)));
  }
  rx_draw_block(block, kBubbleSide, h);
}

void animation_step() {
  Tank& t = tank();
  const int32_t last_x = kScreenWidth - 1, last_y = kScreenHeight - 1;
  rx_buffer_copy(0, last_x, 0, last_y, 0, last_y, t.background, t.frame);
  next_wheel_frame();
  rx_buffer_copy(0, kWheelWidth - 1, 0, kWheelHeight - 1, kWheelLeft, last_y, t.wheel, t.frame);
  rx_buffer_select(t.frame);
  draw_bubble();
  for (Fish& f : t.school) {
    const FishKind& kind = t.kinds[static_cast<size_t>(f.kind) % kKindCount];
    draw_fish(f, kind);
    swim(f);
    bob(f);
    change_of_mind(f, t.step_counter);
    animate(f, kind);
  }
  rx_buffer_paste(0, last_x, 0, last_y, 0, last_y);
}

}  // namespace fishtank
