// The fish tank's program-wide state: buffers, the wheel flic, the fish
// kinds with their sprites and the school.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rastrix.h"

namespace fishtank {

inline constexpr int32_t kScreenWidth = 640;
inline constexpr int32_t kScreenHeight = 480;
inline constexpr int32_t kWheelWidth = 186;
inline constexpr int32_t kWheelHeight = 153;
inline constexpr int32_t kWheelLeft = 454;  // lower-left corner of the wheel in the frame
inline constexpr int32_t kBufferBits = 16;
inline constexpr int32_t kKindCount = 6;
inline constexpr int32_t kMaxFrames = 4;
// Flags of every wheel play: whole file in memory, no frame delay.
inline constexpr int32_t kWheelPlayFlags = RX_SHOW_FROM_MEMORY | RX_FLIC_NO_DELAY;

inline constexpr char kWindowClass[] = "Rastrixfish";
inline constexpr char kWindowTitle[] = "Rastrix High Color Fish Tank";
inline constexpr char kPhotoFile[] = "AQUARIUM.JPG";
inline constexpr char kWheelFile[] = "WHEEL3.FLC";

// Facing and swimming direction share one coding.
enum Direction : int32_t { kTowardsRight = 0, kTowardsLeft = 1 };

struct FrameRect {
  int32_t min_x, max_x, min_y, max_y;  // inclusive, in the 640 x 480 picture
};

struct FishKind {
  const char* picture;
  int32_t facing;
  int32_t frame_count;
  int32_t frame_period;
  FrameRect frames[kMaxFrames];
  int32_t width[kMaxFrames]{};
  int32_t height[kMaxFrames]{};
  std::vector<uint8_t> block[kMaxFrames]{};  // 16-bit image blocks, kept for the whole run
};

struct Fish {
  int32_t kind;
  int32_t x, y;  // lower-left corner
  int32_t left_turn, right_turn;
  int32_t speed;
  int32_t top, bottom;  // band in which y bobs
  int32_t frame;
  int32_t direction;
  int32_t vertical_step;
  int32_t frame_direction;  // 0 counting up, 1 counting down
  int32_t frame_timer;
};

// Draws of the random source, 0 .. a large positive number.
using RandomDraw = int (*)();

struct Tank {
  RxDC window_dc = nullptr;
  RxPalette palette = nullptr;
  int32_t background = -1, frame = -1, wheel = -1;
  FlicContext wheel_flic{};
  std::vector<uint8_t> wheel_image;  // the whole flic file, the InputBuffer while running
  std::array<FishKind, kKindCount> kinds{};
  std::vector<Fish> school;  // in creation order
  uint32_t step_counter = 0;  // fish moves; wraps
  int32_t bubble_counter = 0;  // steps since the wheel started over
  std::string assets;          // folder of the pictures, empty: the working folder
  uint32_t seed = 0;
  bool seed_given = false;
  RandomDraw random = nullptr;  // null: the standard library's rand
  int32_t exit_status = 0;      // carried by the quit message
};

Tank& tank();
// Drops everything the last run loaded and restores the fish-kind table.
void reset_tank();

// A draw of the tank's random source (r in the rules).
int draw();
// assets folder + name.
std::string asset_path(const char* name);

}  // namespace fishtank
