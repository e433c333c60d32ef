// The school: random fish, swimming far past the window's edges, bobbing
// within their band of rows and swinging through their sprite frames.
#include "school.h"

#include <cstdlib>

namespace fishtank {

namespace {

constexpr int32_t kMinFish = 6;
constexpr int32_t kFishSpread = 7;  // 6..12 fish
constexpr int32_t kTurnSpread = 501;
constexpr int32_t kLeftTurnBase = -700;   // -700..-200
constexpr int32_t kRightTurnBase = 700;   // 700..1200
constexpr int32_t kSpeeds = 4;            // 1..4
constexpr int32_t kTopSpread = 341;
constexpr int32_t kTopBase = 60;          // 60..400

int32_t r_mod(int32_t n) { return draw() % n; }

void pick_band(Fish& f) {
  f.top = r_mod(kTopSpread) + kTopBase;
  f.bottom = r_mod(kScreenHeight - f.top) + f.top;
}

}  // namespace

int draw() {
  RandomDraw random = tank().random;
  return random != nullptr ? random() : std::rand();
}

Fish make_fish() {
  Fish f{};
  f.direction = r_mod(2);
  f.vertical_step = r_mod(3) - 1;
  f.frame_direction = r_mod(2);
  f.kind = r_mod(kKindCount);
  f.left_turn = r_mod(kTurnSpread) + kLeftTurnBase;
  f.right_turn = r_mod(kTurnSpread) + kRightTurnBase;
  f.x = f.direction == kTowardsRight ? f.left_turn : f.right_turn;
  f.speed = r_mod(kSpeeds) + 1;
  pick_band(f);
  f.y = r_mod(f.bottom - f.top + 1) + f.top;
  f.frame = r_mod(2) + 1;
  f.frame_timer = r_mod(3);
  return f;
}

void build_school() {
  Tank& t = tank();
  std::srand(t.seed_given ? t.seed : rx_clock());
  int32_t n = r_mod(kFishSpread) + kMinFish;
  t.school.clear();
  t.school.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) t.school.push_back(make_fish());
}

void swim(Fish& f) {
  if (f.direction == kTowardsRight) {
    f.x += f.speed;
    if (f.x > f.right_turn) f.direction = kTowardsLeft;
  } else {
    f.x -= f.speed;
    if (f.x < f.left_turn) f.direction = kTowardsRight;
  }
}

void bob(Fish& f) {
  f.y += f.vertical_step;
  if (f.y >= f.bottom)
    f.vertical_step = -1;
  else if (f.y <= f.top)
    f.vertical_step = 1;
}

void change_of_mind(Fish& f, uint32_t& step_counter) {
  ++step_counter;  // unsigned: wraps without overflow
  // The counter reads as a two's-complement 32-bit number.
  int64_t count = static_cast<int32_t>(step_counter);
  if (f.y == 0 || count % f.y != 0) return;
  f.vertical_step = r_mod(7) - 1;
  if (f.vertical_step > 1) f.vertical_step = 0;
  f.speed = r_mod(kSpeeds) + 1;
  pick_band(f);
}

void animate(Fish& f, const FishKind& kind) {
  if (++f.frame_timer < kind.frame_period) return;
  if (f.frame_direction == 0) {
    ++f.frame;
    if (f.frame >= kind.frame_count - 1) f.frame_direction = 1;
  } else {
    --f.frame;
    if (f.frame <= 1) f.frame_direction = 0;
  }
  f.frame_timer = 0;
}

}  // namespace fishtank
