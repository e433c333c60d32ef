// Plants: ribbon-leaved grass at the back and, taller and sharper, on the
// left; a few broad fern leaves at the front. Each leaf is frozen mid-sway.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "noise.h"
#include "photo.h"
#include "scene_parts.h"

namespace assetgen {
namespace {

constexpr uint32_t kBackPlantSeed = 31;
constexpr uint32_t kFrontPlantSeed = 32;
constexpr uint32_t kFernSeed = 33;
constexpr uint32_t kStemPlantSeed = 34;

struct Blade {
  double x, base, height, lean, sway, phase, width, twist;
  Rgb colour;
};

struct Point {
  double x, y;
};

Point blade_centre(const Blade& b, double t) {
  const double bend = b.lean * std::pow(t, 1.6) * b.height;
  const double wave = b.sway * std::sin(b.phase + t * 2.4 * std::numbers::pi) * t;
  return {b.x + bend + wave, b.base - b.height * t * (1 - 0.12 * t * t)};
}

void draw_blade(cairo_t* cr, const Blade& b) {
  constexpr int kSteps = 48;
  std::vector<Point> left, right;
  for (int i = 0; i <= kSteps; ++i) {
    const double t = static_cast<double>(i) / kSteps;
    const Point c = blade_centre(b, t);
    const Point n1 = blade_centre(b, std::min(1.0, t + 0.01));
    const Point n0 = blade_centre(b, std::max(0.0, t - 0.01));
    double dx = n1.x - n0.x, dy = n1.y - n0.y;
    const double len = std::hypot(dx, dy);
    dx /= len;
    dy /= len;
    // Ribbon leaves turn as they rise: the seen width breathes.
    const double turn = 0.35 + 0.65 * std::fabs(std::cos(b.twist + t * 3.0));
    const double half = 0.5 * b.width * std::sqrt(std::max(0.0, 1 - std::pow(t, 6))) * turn;
    left.push_back({c.x - dy * half, c.y + dx * half});
    right.push_back({c.x + dy * half, c.y - dx * half});
  }
  cairo_move_to(cr, left[0].x, left[0].y);
  for (const Point& p : left) cairo_line_to(cr, p.x, p.y);
  for (auto it = right.rbegin(); it != right.rend(); ++it) cairo_line_to(cr, it->x, it->y);
  cairo_close_path(cr);
  const Point tip = blade_centre(b, 1);
  cairo_pattern_t* grad = cairo_pattern_create_linear(b.x, b.base, tip.x, tip.y);
  add_stop(grad, 0, scale(b.colour, 0.4));
  add_stop(grad, 0.35, b.colour);
  add_stop(grad, 1, scale(b.colour, 1.25));
  cairo_set_source(cr, grad);
  cairo_fill(cr);
  cairo_pattern_destroy(grad);
  // Light catching one edge of the leaf.
  cairo_move_to(cr, left[2].x, left[2].y);
  for (size_t i = 2; i + 3 < left.size(); ++i) cairo_line_to(cr, left[i].x, left[i].y);
  set_source(cr, scale(b.colour, 1.6), 0.35);
  cairo_set_line_width(cr, 0.9);
  cairo_stroke(cr);
}

const Rgb kGreens[] = {{52, 128, 60}, {72, 150, 66}, {40, 112, 72}, {92, 160, 80}, {60, 120, 48}};

void draw_fern_leaf(cairo_t* cr, double x, double y, double length, double angle, double width, const Rgb& c) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, length * 0.3, -width, length * 0.7, -width * 0.9, length, 0);
  cairo_curve_to(cr, length * 0.7, width * 0.8, length * 0.3, width, 0, 0);
  cairo_close_path(cr);
  cairo_pattern_t* grad = cairo_pattern_create_linear(0, -width, 0, width);
  add_stop(grad, 0, scale(c, 1.2));
  add_stop(grad, 1, scale(c, 0.55));
  cairo_set_source(cr, grad);
  cairo_fill(cr);
  cairo_pattern_destroy(grad);
  cairo_move_to(cr, 2, 0);
  cairo_curve_to(cr, length * 0.4, -width * 0.1, length * 0.7, -width * 0.1, length * 0.95, 0);
  set_source(cr, scale(c, 1.7), 0.6);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// A stem plant with pairs of small leaves, reddish under the lamp.
void draw_stem(cairo_t* cr, Rng& rng, double x, double base, double height, const Rgb& colour) {
  const double lean = rng.uniform(-14, 14);
  const double sway = rng.uniform(-6, 6);
  auto at = [&](double t) {
    return Point{x + lean * t * t + sway * std::sin(t * std::numbers::pi), base - height * t};
  };
  cairo_move_to(cr, x, base);
  for (int i = 1; i <= 24; ++i) {
    const Point p = at(i / 24.0);
    cairo_line_to(cr, p.x, p.y);
  }
  cairo_set_line_width(cr, 1.6);
  set_source(cr, scale(colour, 0.7));
  cairo_stroke(cr);
  for (double t = 0.08; t < 1.0; t += 0.11) {
    const Point p = at(t);
    const double size = 8 * (1.1 - t * 0.6);
    for (int side = -1; side <= 1; side += 2) {
      cairo_save(cr);
      cairo_translate(cr, p.x, p.y);
      cairo_rotate(cr, side * (0.5 + 0.3 * t) - std::numbers::pi / 2 + std::numbers::pi / 2 * side);
      cairo_scale(cr, size, size * 0.38);
      cairo_arc(cr, 0.9, 0, 1, 0, 2 * std::numbers::pi);
      cairo_restore(cr);
      set_source(cr, scale(colour, rng.uniform(0.8, 1.2)));
      cairo_fill(cr);
    }
  }
}

}  // namespace

void paint_back_plants(Image& image) {
  Layer layer(image.width(), image.height());
  Rng rng(kBackPlantSeed);
  for (int i = 0; i < 30; ++i) {
    const double x = i < 18 ? rng.uniform(100, 250) : rng.uniform(380, 430);
    Blade b{x, sand_top(x) + 3, rng.uniform(60, 200), rng.uniform(-0.12, 0.18), rng.uniform(3, 10),
            rng.uniform(0, 6.28), rng.uniform(4, 7), rng.uniform(0, 6.28), {}};
    const Rgb green = kGreens[rng.below(std::size(kGreens))];
    b.colour = mix(green, water_colour(x, sand_top(x) - b.height / 2), 0.5);
    draw_blade(layer.cr(), b);
  }
  Rng stems(kStemPlantSeed);
  for (int i = 0; i < 7; ++i) {
    const double x = stems.uniform(270, 345);
    const Rgb red = mix(Rgb{170, 66, 52}, water_colour(x, 300), 0.42);
    draw_stem(layer.cr(), stems, x, sand_top(x) + 3, stems.uniform(70, 130), red);
  }
  layer.blur(1.1);
  composite(image, layer);
}

void paint_front_plants(Image& image) {
  Layer layer(image.width(), image.height());
  cairo_t* cr = layer.cr();
  Rng rng(kFrontPlantSeed);
  for (int i = 0; i < 18; ++i) {
    const double x = rng.uniform(-6, 118);
    Blade b{x, rng.uniform(405, 478), rng.uniform(250, 420), rng.uniform(0.02, 0.28), rng.uniform(6, 24),
            rng.uniform(0, 6.28), rng.uniform(6, 10), rng.uniform(0, 6.28), {}};
    const double shade = rng.uniform(0.85, 1.15);  // one draw per line: the order fixes the picture
    b.colour = scale(kGreens[rng.below(std::size(kGreens))], shade);
    draw_blade(cr, b);
  }
  Rng fern(kFernSeed);
  for (int i = 0; i < 9; ++i) {
    const double x = fern.uniform(10, 80);
    const double y = fern.uniform(455, 478);
    const double angle = -std::numbers::pi / 2 + fern.uniform(-1.1, 1.1);
    // One draw per line: the order of draws fixes the picture.
    const double shade = fern.uniform(0.85, 1.2);
    const double width = fern.uniform(8, 13);
    const double length = fern.uniform(55, 95);
    draw_fern_leaf(cr, x, y, length, angle, width, scale(Rgb{34, 86, 42}, shade));
  }
  composite(image, layer);
}

}  // namespace assetgen
