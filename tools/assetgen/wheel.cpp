#include "wheel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "noise.h"
#include "photo.h"
#include "quantize.h"

namespace assetgen {
namespace {

constexpr double kPi = std::numbers::pi;
// Axle position in the corner, and the wheel's radii.
constexpr double kAxleX = 108;
constexpr double kAxleY = 74;
constexpr double kHubRadius = 7;
constexpr double kInnerRing = 25;
constexpr double kOuterRing = 47;
constexpr double kPaddleTip = 55;
// The far rim is seen a little up and to the right of the near one.
constexpr double kDepthX = 13;
constexpr double kDepthY = -8;
constexpr double kGround = 138;
constexpr double kDropGravity = 0.35;
constexpr int kDropsPerLoop = 5;
constexpr double kBorderWeight = 24;
constexpr uint32_t kWheelGrainSeed = 51;

const Rgb kWood{150, 104, 60};
const Rgb kDarkWood{84, 56, 34};
const Rgb kPost{110, 80, 50};

// Wood under water takes on some of the water's colour.
Rgb submerged(const Rgb& c) { return mix(c, Rgb{30, 90, 120}, 0.22); }

struct Point {
  double x, y;
};

Point polar(double radius, double angle, double dx = 0, double dy = 0) {
  return {kAxleX + dx + radius * std::cos(angle), kAxleY + dy + radius * std::sin(angle)};
}

void ring(cairo_t* cr, double radius, double width, double dx, double dy, const Rgb& colour) {
  cairo_new_path(cr);
  cairo_arc(cr, kAxleX + dx, kAxleY + dy, radius, 0, 2 * kPi);
  cairo_set_line_width(cr, width);
  set_source(cr, colour);
  cairo_stroke(cr);
}

void beam(cairo_t* cr, Point a, Point b, double width, const Rgb& light, const Rgb& dark) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len = std::hypot(dx, dy);
  const double nx = -dy / len * width / 2, ny = dx / len * width / 2;
  cairo_new_path(cr);
  cairo_move_to(cr, a.x + nx, a.y + ny);
  cairo_line_to(cr, b.x + nx, b.y + ny);
  cairo_line_to(cr, b.x - nx, b.y - ny);
  cairo_line_to(cr, a.x - nx, a.y - ny);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(a.x + nx, a.y + ny, a.x - nx, a.y - ny);
  add_stop(p, 0, light);
  add_stop(p, 1, dark);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void post(cairo_t* cr, double dx, double dy, double shade) {
  // An A-frame leg pair from the axle into the gravel.
  const Point top{kAxleX + dx, kAxleY + dy};
  beam(cr, top, {kAxleX - 26 + dx, kGround + dy * 0.3}, 7, submerged(scale(kPost, 1.2 * shade)),
       submerged(scale(kPost, 0.6 * shade)));
  beam(cr, top, {kAxleX + 28 + dx, kGround + dy * 0.3}, 7, submerged(scale(kPost, 1.1 * shade)),
       submerged(scale(kPost, 0.55 * shade)));
}

void paddle(cairo_t* cr, double angle) {
  // A board between the two rims, lit by how much it faces up-left.
  const Point a = polar(kInnerRing - 2, angle), b = polar(kPaddleTip, angle);
  const Point c = polar(kPaddleTip, angle, kDepthX, kDepthY), d = polar(kInnerRing - 2, angle, kDepthX, kDepthY);
  const double facing = 0.5 + 0.5 * std::cos(angle + kPi * 0.25);
  const Rgb face = submerged(scale(kWood, 0.6 + 0.55 * facing));
  cairo_new_path(cr);
  cairo_move_to(cr, a.x, a.y);
  cairo_line_to(cr, b.x, b.y);
  cairo_line_to(cr, c.x, c.y);
  cairo_line_to(cr, d.x, d.y);
  cairo_close_path(cr);
  set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 0.8);
  set_source(cr, submerged(kDarkWood), 0.9);
  cairo_stroke(cr);
  // Grain along the board.
  for (int i = 1; i < 3; ++i) {
    const double t = i / 3.0;
    const Point u = polar(kInnerRing + 2, angle, kDepthX * t, kDepthY * t);
    const Point v = polar(kPaddleTip - 2, angle, kDepthX * t, kDepthY * t);
    cairo_move_to(cr, u.x, u.y);
    cairo_line_to(cr, v.x, v.y);
  }
  cairo_set_line_width(cr, 0.5);
  set_source(cr, submerged(kDarkWood), 0.5);
  cairo_stroke(cr);
  // The board's outer edge.
  beam(cr, b, c, 2.2, submerged(scale(kWood, 1.2)), submerged(kDarkWood));
}

// Drops shed by the rising paddles, falling to the gravel. A drop released
// at loop time r is at age (f - r) mod F in frame f, so the loop closes.
void drops(cairo_t* cr, int frame) {
  for (int k = 0; k < kDropsPerLoop; ++k) {
    const int release = k * kWheelFrames / kDropsPerLoop;
    const double angle = kPi * (0.95 + 0.12 * k);
    const Point start = polar(kPaddleTip - 1, angle);
    for (int age = (frame - release + kWheelFrames) % kWheelFrames; age < 3 * kWheelFrames; age += kWheelFrames) {
      const double y = start.y + 0.5 + 0.5 * kDropGravity * age * age;
      if (y > kGround + 4) break;
      const double x = start.x - 0.25 * age;
      const double stretch = std::min(4.0, 1.2 + 0.12 * age);
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_move_to(cr, 0, -2 * stretch);
      cairo_curve_to(cr, 1.8, 0, 2.2, 1.8, 0, 2.4);
      cairo_curve_to(cr, -2.2, 1.8, -1.8, 0, 0, -2 * stretch);
      cairo_set_source_rgba(cr, 0.8, 0.94, 1.0, 0.8);
      cairo_fill(cr);
      cairo_arc(cr, -0.6, 0.6, 0.7, 0, 2 * kPi);
      cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
      cairo_fill(cr);
      cairo_restore(cr);
    }
  }
}

void draw_wheel(cairo_t* cr, int frame) {
  const double turn = 2 * kPi / kWheelPaddles * frame / kWheelFrames;
  // Shadow on the gravel under the wheel.
  cairo_save(cr);
  cairo_translate(cr, kAxleX + 6, kGround - 2);
  cairo_scale(cr, 46, 8);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_pattern_t* shadow = cairo_pattern_create_radial(kAxleX + 6, kGround - 2, 0, kAxleX + 6, kGround - 2, 46);
  cairo_pattern_add_color_stop_rgba(shadow, 0, 0.02, 0.04, 0.06, 0.5);
  cairo_pattern_add_color_stop_rgba(shadow, 1, 0.02, 0.04, 0.06, 0);
  cairo_set_source(cr, shadow);
  cairo_fill(cr);
  cairo_pattern_destroy(shadow);
  post(cr, kDepthX * 1.6, kDepthY * 1.6, 0.75);
  ring(cr, kOuterRing, 4, kDepthX, kDepthY, submerged(scale(kDarkWood, 0.9)));
  ring(cr, kInnerRing, 3.5, kDepthX, kDepthY, submerged(scale(kDarkWood, 0.9)));
  for (int i = 0; i < kWheelPaddles; ++i) paddle(cr, turn + 2 * kPi * i / kWheelPaddles);
  for (int i = 0; i < kWheelPaddles; ++i) {
    const double a = turn + 2 * kPi * (i + 0.5) / kWheelPaddles;
    beam(cr, polar(kHubRadius - 2, a), polar(kOuterRing, a), 3.2, submerged(scale(kWood, 1.1)),
         submerged(kDarkWood));
  }
  ring(cr, kOuterRing, 5.5, 0, 0, submerged(kWood));
  ring(cr, kOuterRing + 1.6, 1.2, 0, 0, submerged(scale(kWood, 1.3)));
  ring(cr, kInnerRing, 4, 0, 0, submerged(scale(kWood, 0.95)));
  // Nails where the spokes meet the rim.
  for (int i = 0; i < kWheelPaddles; ++i) {
    const Point n = polar(kOuterRing, turn + 2 * kPi * (i + 0.5) / kWheelPaddles);
    cairo_arc(cr, n.x, n.y, 0.9, 0, 2 * kPi);
    set_source(cr, Rgb{50, 50, 56});
    cairo_fill(cr);
  }
  post(cr, 0, 0, 1.0);
  cairo_arc(cr, kAxleX, kAxleY, kHubRadius, 0, 2 * kPi);
  cairo_pattern_t* hub = cairo_pattern_create_radial(kAxleX - 2, kAxleY - 2, 1, kAxleX, kAxleY, kHubRadius);
  add_stop(hub, 0, submerged(scale(kWood, 1.3)));
  add_stop(hub, 1, submerged(kDarkWood));
  cairo_set_source(cr, hub);
  cairo_fill(cr);
  cairo_pattern_destroy(hub);
  cairo_arc(cr, kAxleX, kAxleY, 2.2, 0, 2 * kPi);
  set_source(cr, Rgb{60, 64, 70});
  cairo_fill(cr);
  drops(cr, frame);
}

}  // namespace

WheelAnimation render_wheel(const Image& background) {
  const int w = background.width();
  const int h = background.height();
  std::vector<std::vector<uint8_t>> rgb_frames;
  for (int f = 0; f < kWheelFrames; ++f) {
    Layer layer(w, h);
    draw_wheel(layer.cr(), f);
    // Slightly soft, like everything else the camera saw.
    layer.blur(0.35);
    Image frame = background;
    composite(frame, layer);
    layer.flush();
    double px[4];
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        layer.pixel(x, y, px);
        if (px[3] <= 0) continue;
        const double grain = 6 * (lattice(x, y, kWheelGrainSeed) - 0.5) * px[3];
        float* p = frame.at(x, y);
        for (int c = 0; c < 3; ++c) p[c] = static_cast<float>(std::clamp(p[c] + grain, 0.0, kBrightest));
      }
    }
    rgb_frames.push_back(frame.to_bytes());
  }

  // One palette from every frame. The unchanging background counts once
  // per frame; the rows and columns that meet the photograph count more, so
  // the seam stays invisible.
  std::vector<WeightedColour> colours;
  for (const auto& frame : rgb_frames) add_histogram(colours, histogram(frame), 1.0);
  std::vector<uint8_t> border;
  const std::vector<uint8_t>& first = rgb_frames.front();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (x < 3 || y < 3) border.insert(border.end(), &first[3 * (y * w + x)], &first[3 * (y * w + x) + 3]);
    }
  }
  add_histogram(colours, histogram(border), kBorderWeight * kWheelFrames);
  const std::vector<Rgb8> palette = choose_palette(colours, 256);

  WheelAnimation out;
  out.palette.assign(3 * 256, 0);
  for (size_t k = 0; k < palette.size(); ++k) std::copy(palette[k].begin(), palette[k].end(), &out.palette[3 * k]);
  for (const auto& frame : rgb_frames) out.frames.push_back(map_to_palette(frame, palette));
  return out;
}

}  // namespace assetgen
