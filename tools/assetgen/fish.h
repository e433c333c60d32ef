// The six fish kinds of the demo: where each frame lies in its 640 x 480
// picture, which way the fish looks, and the routine that draws it.
#pragma once

#include <cairo.h>

#include <array>

namespace assetgen {

inline constexpr int kFacingRight = 0;  // looks towards larger x
inline constexpr int kFacingLeft = 1;
inline constexpr int kMaxFrames = 4;

// Inclusive bounds in the picture.
struct FrameRect {
  int min_x, max_x, min_y, max_y;
  int width() const { return max_x - min_x + 1; }
  int height() const { return max_y - min_y + 1; }
};

// One frame's pose. tail: -1, 0, +1 swing of the tail (one side, middle,
// other side); fin: pectoral beat -1..+1; spread: fins opened wide.
struct Pose {
  double tail = 0;
  double fin = 0;
  bool spread = false;
  int frame = 0;
};

// Draws one frame looking right, inside a canvas of width x height pixels
// on a transparent surface.
using DrawFish = void (*)(cairo_t* cr, const Pose& pose, double width, double height);

struct FishKind {
  const char* file;
  int facing;
  int frame_count;
  std::array<FrameRect, kMaxFrames> frames;
  DrawFish draw;
};

void draw_blue_damsel(cairo_t* cr, const Pose& pose, double width, double height);
void draw_blue_tang(cairo_t* cr, const Pose& pose, double width, double height);
void draw_butterflyfish(cairo_t* cr, const Pose& pose, double width, double height);
void draw_gudgeon(cairo_t* cr, const Pose& pose, double width, double height);
void draw_killifish(cairo_t* cr, const Pose& pose, double width, double height);
void draw_seahorse(cairo_t* cr, const Pose& pose, double width, double height);

inline const std::array<FishKind, 6> kFishKinds = {{
    {"BLUEDAMS.PCX", kFacingLeft, 4,
     {{{79, 232, 218, 281}, {270, 423, 219, 281}, {457, 610, 219, 281}, {73, 226, 334, 396}}}, draw_blue_damsel},
    {"BLUETANG.PCX", kFacingRight, 4,
     {{{492, 635, 200, 275}, {325, 468, 200, 275}, {165, 308, 200, 275}, {1, 144, 199, 274}}}, draw_blue_tang},
    {"BUTTRFLY.PCX", kFacingRight, 4,
     {{{244, 397, 191, 286}, {41, 194, 191, 286}, {41, 194, 337, 433}, {244, 397, 338, 433}}}, draw_butterflyfish},
    {"GUDGEON.PCX", kFacingRight, 4,
     {{{23, 203, 198, 280}, {231, 411, 195, 280}, {438, 618, 195, 280}, {23, 203, 340, 425}}}, draw_gudgeon},
    {"KILLIFSH.PCX", kFacingRight, 4,
     {{{133, 285, 153, 205}, {350, 502, 153, 205}, {136, 288, 273, 324}, {350, 502, 272, 324}}}, draw_killifish},
    {"SEAHORSE.PCX", kFacingLeft, 3,
     {{{388, 435, 205, 293}, {295, 342, 205, 293}, {199, 246, 205, 293}, {0, 0, 0, 0}}}, draw_seahorse},
}};

// The pose of each frame: 1, 2, 3 swing the tail from one side through the
// middle to the other, 0 is a fourth pose with the fins spread.
Pose pose_of_frame(int frame);

}  // namespace assetgen
