// The floor of the tank: sand, gravel, rocks and the air pipe.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "noise.h"
#include "photo.h"
#include "scene_parts.h"

namespace assetgen {
namespace {

constexpr uint32_t kSandSeed = 21;
constexpr uint32_t kPebbleSeed = 22;
constexpr uint32_t kRockSeed = 23;
constexpr int kPebbleCount = 2600;

const Rgb kSandFront{178, 160, 126};
const Rgb kSandBack{96, 112, 116};

// 0 at the far edge of the floor, 1 at the front glass.
double floor_depth(double x, double y) {
  const double top = sand_top(x);
  return std::clamp((y - top) / (kPhotoHeight - top), 0.0, 1.0);
}

// Far things take the colour of the water between them and the glass.
Rgb hazed(const Rgb& c, double x, double y, double depth) {
  return mix(c, water_colour(x, y - 30), 0.5 * (1 - depth) * (1 - depth) + 0.06);
}

struct Pebble {
  double x, y, rx, ry, angle;
  Rgb colour;
};

const Rgb kGravelColours[] = {
    {128, 124, 116}, {118, 92, 64}, {170, 142, 96}, {70, 68, 66},
    {196, 188, 170}, {142, 86, 56}, {96, 100, 92},  {158, 150, 134},
};

std::vector<Pebble> make_pebbles() {
  Rng rng(kPebbleSeed);
  std::vector<Pebble> pebbles;
  pebbles.reserve(kPebbleCount);
  for (int i = 0; i < kPebbleCount; ++i) {
    const double x = rng.uniform(-8, kPhotoWidth + 8);
    // More pebbles are seen per row at the back, where they are smaller.
    const double top = sand_top(x);
    const double d = std::pow(rng.uniform(0, 1), 0.8);
    const double y = top + 2 + d * (kPhotoHeight + 6 - top);
    const double size = (1.2 + std::pow(rng.uniform(0, 1), 2.0) * 8.0) * (0.3 + 1.1 * d);
    Pebble p{x, y, size, size * rng.uniform(0.5, 0.72), rng.uniform(-0.5, 0.5), {}};
    const Rgb base = kGravelColours[rng.below(std::size(kGravelColours))];
    p.colour = hazed(scale(base, rng.uniform(0.8, 1.15)), x, y, d);
    pebbles.push_back(p);
  }
  std::stable_sort(pebbles.begin(), pebbles.end(), [](const Pebble& a, const Pebble& b) { return a.y < b.y; });
  return pebbles;
}

void draw_pebble(cairo_t* cr, const Pebble& p) {
  cairo_save(cr);
  cairo_translate(cr, p.x, p.y);
  cairo_rotate(cr, p.angle);
  // Contact shadow, then the stone lit from above.
  cairo_save(cr);
  cairo_translate(cr, p.rx * 0.2, p.ry * 0.45);
  cairo_scale(cr, p.rx * 1.1, p.ry * 0.9);
  cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_set_source_rgba(cr, 0.02, 0.05, 0.08, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);

  cairo_save(cr);
  cairo_scale(cr, p.rx, p.ry);
  cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_pattern_t* shade = cairo_pattern_create_radial(-0.35, -0.45, 0.05, 0, 0, 1.05);
  add_stop(shade, 0, scale(p.colour, 1.35));
  add_stop(shade, 0.55, p.colour);
  add_stop(shade, 1, scale(p.colour, 0.55));
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
  cairo_restore(cr);
  cairo_restore(cr);
}

struct Rock {
  double cx, base, width, height;
  Rgb light, dark;
  uint32_t seed;
};

// Two large stones left of centre, one at the back, one low in front; none in
// the wheel's corner.
const Rock kRocks[] = {
    {372, 388, 96, 46, {120, 128, 126}, {40, 52, 60}, 1},
    {205, 410, 176, 92, {150, 140, 122}, {40, 44, 48}, 2},
    {332, 472, 92, 40, {140, 126, 104}, {46, 42, 40}, 3},
};

void rock_path(cairo_t* cr, const Rock& r) {
  constexpr int kSteps = 72;
  for (int i = 0; i <= kSteps; ++i) {
    const double t = static_cast<double>(i) / kSteps;
    const double a = std::numbers::pi * t;
    const double bump = 0.7 + 0.6 * fbm(t * 4.0, r.seed * 3.7, kRockSeed, 4);
    const double x = r.cx - std::cos(a) * r.width / 2 * (0.9 + 0.2 * bump);
    const double y = r.base - std::pow(std::sin(a), 0.7) * r.height * bump;
    if (i == 0) cairo_move_to(cr, x, y);
    else cairo_line_to(cr, x, y);
  }
  // The buried edge: a gentle curve through the sand.
  cairo_curve_to(cr, r.cx + r.width * 0.3, r.base + 6, r.cx - r.width * 0.3, r.base + 6,
                 r.cx - r.width / 2 * 1.05, r.base);
  cairo_close_path(cr);
}

void paint_rock(Image& image, const Rock& r) {
  Layer shadow(image.width(), image.height());
  cairo_t* sc = shadow.cr();
  cairo_save(sc);
  cairo_translate(sc, r.cx + 6, r.base);
  cairo_scale(sc, r.width * 0.62, 9);
  cairo_arc(sc, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_restore(sc);
  cairo_set_source_rgba(sc, 0.02, 0.04, 0.07, 0.55);
  cairo_fill(sc);
  shadow.blur(4);
  composite(image, shadow);

  Layer layer(image.width(), image.height());
  cairo_t* cr = layer.cr();
  rock_path(cr, r);
  cairo_pattern_t* grad = cairo_pattern_create_linear(r.cx - r.width * 0.3, r.base - r.height, r.cx + r.width * 0.2, r.base);
  const double depth = floor_depth(r.cx, r.base);
  add_stop(grad, 0, hazed(r.light, r.cx, r.base - r.height, depth));
  add_stop(grad, 1, hazed(r.dark, r.cx, r.base, depth));
  cairo_set_source(cr, grad);
  cairo_fill(cr);
  cairo_pattern_destroy(grad);
  layer.flush();

  // Stone texture: mottling, darker cracks and caustic light on the top.
  double px[4];
  for (int y = 0; y < layer.height(); ++y) {
    for (int x = 0; x < layer.width(); ++x) {
      layer.pixel(x, y, px);
      if (px[3] <= 0) continue;
      const double mottle = 0.7 + 0.45 * fbm(x / 7.0, y / 5.0, kRockSeed + r.seed, 5) +
                            0.12 * (lattice(x, y, kRockSeed + r.seed) - 0.5);
      const double crack = fbm(x / 30.0, y / 20.0, kRockSeed + 50 + r.seed, 3);
      const double dark = 1 - 0.22 * std::exp(-std::pow((crack - 0.5) / 0.012, 2));
      const double top = std::clamp(1 - (y - (r.base - r.height)) / r.height, 0.0, 1.0);
      const double light = 0.16 * caustic(x, y, 1.3) * top;
      for (int c = 0; c < 3; ++c) px[c] = px[c] * mottle * dark + light * px[3] * (c == 0 ? 0.8 : 1.0);
      layer.set_pixel(x, y, px);
    }
  }
  composite(image, layer);
}


void paint_pebble_band(Image& image, const std::vector<Pebble>& pebbles, size_t& next, double below_y,
                       bool sharp) {
  Layer layer(image.width(), image.height());
  for (; next < pebbles.size() && pebbles[next].y < below_y; ++next) draw_pebble(layer.cr(), pebbles[next]);
  // The far gravel is slightly out of focus; the near grains are sharp.
  if (!sharp) layer.blur(0.7);
  composite(image, layer);
}

}  // namespace

void paint_sand(Image& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const double top = sand_top(x);
      if (y < top - 1) continue;
      const double d = floor_depth(x, y);
      Rgb c = mix(kSandBack, kSandFront, std::pow(d, 0.8));
      // Ripples in the sand, fine grain that sharpens towards the glass, caustics.
      const double ripple = fbm(x / 40.0, y / (6.0 + 10 * d), kSandSeed, 4);
      const double grain = (lattice(x, y, kSandSeed + 1) - 0.5) * (8 + 26 * d);
      const double light = 46 * caustic(x, y * 2.2, 1.0) * (0.35 + 0.65 * d);
      const double k = 0.8 + 0.4 * ripple;
      c = {c.r * k + grain + light * 0.85, c.g * k + grain + light, c.b * k + grain * 0.9 + light * 0.8};
      // A soft edge where the floor fades into the far water.
      const double edge = std::clamp(y - top + 1, 0.0, 1.0);
      float* p = image.at(x, y);
      p[0] = static_cast<float>(p[0] + (c.r - p[0]) * edge);
      p[1] = static_cast<float>(p[1] + (c.g - p[1]) * edge);
      p[2] = static_cast<float>(p[2] + (c.b - p[2]) * edge);
    }
  }
}

void paint_gravel_and_rocks(Image& image) {
  const std::vector<Pebble> pebbles = make_pebbles();
  size_t next = 0;
  // Painter's order by where things touch the floor.
  for (const Rock& rock : kRocks) {
    paint_pebble_band(image, pebbles, next, rock.base - 3, rock.base < 420);
    paint_rock(image, rock);
  }
  paint_pebble_band(image, pebbles, next, 1e9, true);
}

void paint_air_pipe(Image& image) {
  // A rigid green airline rising out of the gravel; its mouth feeds the bubble.
  Layer layer(image.width(), image.height());
  cairo_t* cr = layer.cr();
  constexpr double kRadius = 4.5;
  const double bottom = sand_top(kAirPipeX) + 40;
  cairo_rectangle(cr, kAirPipeX - kRadius, kAirPipeTop, 2 * kRadius, bottom - kAirPipeTop);
  cairo_pattern_t* tube = cairo_pattern_create_linear(kAirPipeX - kRadius, 0, kAirPipeX + kRadius, 0);
  add_stop(tube, 0, Rgb{22, 58, 44});
  add_stop(tube, 0.3, Rgb{92, 150, 118});
  add_stop(tube, 0.45, Rgb{150, 196, 170});
  add_stop(tube, 1, Rgb{18, 46, 40});
  cairo_set_source(cr, tube);
  cairo_fill(cr);
  cairo_pattern_destroy(tube);
  // The open mouth seen slightly from above, and a collar.
  cairo_save(cr);
  cairo_translate(cr, kAirPipeX, kAirPipeTop);
  cairo_scale(cr, kRadius + 0.8, 1.8);
  cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_restore(cr);
  set_source(cr, Rgb{70, 120, 100});
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 0.8);
  set_source(cr, Rgb{24, 50, 44});
  cairo_stroke(cr);
  cairo_rectangle(cr, kAirPipeX - kRadius - 1, kAirPipeTop + 8, 2 * kRadius + 2, 3);
  set_source(cr, Rgb{40, 78, 64});
  cairo_fill(cr);
  // Gravel heaped around its foot.
  Rng rng(kPebbleSeed + 5);
  for (int i = 0; i < 14; ++i) {
    const double x = kAirPipeX + rng.uniform(-12, 12);
    const double y = bottom - rng.uniform(-2, 6);
    const double size = rng.uniform(2, 4);
    const Rgb base = kGravelColours[rng.below(std::size(kGravelColours))];
    draw_pebble(cr, {x, y, size, size * 0.6, 0, hazed(base, x, y, floor_depth(x, y))});
  }
  composite(image, layer);
}

}  // namespace assetgen
