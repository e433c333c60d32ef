// Open water: the depth gradient, the bright underside of the surface, light
// shafts, caustics, far silhouettes and the camera's finish.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "noise.h"
#include "photo.h"
#include "scene_parts.h"

namespace assetgen {
namespace {

constexpr uint32_t kSurfaceSeed = 11;
constexpr uint32_t kShaftSeed = 12;
constexpr uint32_t kCausticSeed = 13;
constexpr uint32_t kGrainSeed = 14;
constexpr uint32_t kRidgeSeed = 15;
constexpr uint32_t kSandLineSeed = 16;
constexpr uint32_t kMoteSeed = 17;
constexpr int kMotes = 260;

const Rgb kSurfaceWater{82, 170, 198};
const Rgb kMidWater{30, 104, 150};
const Rgb kDeepWater{12, 52, 96};

}  // namespace

double sand_top(double x) { return 374 + 16 * (fbm(x / 110.0, 0.5, kSandLineSeed, 3) - 0.5); }

Rgb water_colour(double x, double y) {
  const double t = std::clamp(y / kPhotoHeight, 0.0, 1.0);
  Rgb c = t < 0.5 ? mix(kSurfaceWater, kMidWater, t / 0.5) : mix(kMidWater, kDeepWater, (t - 0.5) / 0.5);
  // The lamp sits left of centre: the water glows a little there.
  const double glow = 20 * std::exp(-std::pow((x - 230) / 260.0, 2)) * (1 - t);
  c.r += glow * 0.6;
  c.g += glow;
  c.b += glow * 0.8;
  return c;
}

double caustic(double x, double y, double squash) {
  // Bright threads where two drifting noise fields cross their mid level.
  const double a = fbm(x / 38.0, y * squash / 38.0, kCausticSeed, 3);
  const double b = fbm(x / 23.0 + 7.3, y * squash / 23.0 + 1.9, kCausticSeed + 7, 2);
  const double ta = std::exp(-std::pow((a - 0.5) / 0.035, 2));
  const double tb = std::exp(-std::pow((b - 0.5) / 0.05, 2));
  return std::clamp(0.7 * ta + 0.5 * tb, 0.0, 1.0);
}

void paint_water(Image& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      Rgb c = water_colour(x, y);
      // The underside of the surface: a bright, rippled band at the top.
      const double surface = std::exp(-y / 14.0) * (0.55 + 0.45 * fbm(x / 26.0, y / 5.0, kSurfaceSeed, 3));
      // Faint caustics drifting through the upper water.
      const double ripple = caustic(x, y, 0.6) * 0.35 * std::exp(-y / 160.0);
      const double lift = 55 * surface + 14 * ripple;
      c.r += lift * 0.8;
      c.g += lift;
      c.b += lift * 0.9;
      float* p = image.at(x, y);
      p[0] = static_cast<float>(c.r);
      p[1] = static_cast<float>(c.g);
      p[2] = static_cast<float>(c.b);
    }
  }
}

void paint_far_silhouettes(Image& image) {
  // A distant ridge of rock and a few far fronds, lost in the blue haze.
  Layer layer(image.width(), image.height());
  cairo_t* cr = layer.cr();
  cairo_move_to(cr, -10, 400);
  for (int x = -10; x <= 650; x += 4) {
    const double hump = 70 * std::exp(-std::pow((x - 300) / 120.0, 2)) +
                        38 * std::exp(-std::pow((x - 40) / 90.0, 2)) +
                        24 * std::exp(-std::pow((x - 560) / 70.0, 2));
    const double rough = 14 * fbm(x / 30.0, 3.1, kRidgeSeed, 3);
    cairo_line_to(cr, x, sand_top(x) - 6 - hump - rough);
  }
  cairo_line_to(cr, 650, 400);
  cairo_close_path(cr);
  const Rgb haze = water_colour(320, 330);
  set_source(cr, mix(haze, Rgb{20, 60, 80}, 0.35), 0.75);
  cairo_fill(cr);

  Rng rng(kRidgeSeed);
  for (int i = 0; i < 7; ++i) {
    const double x = rng.uniform(60, 430);
    const double height = rng.uniform(90, 190);
    const double lean = rng.uniform(-25, 25);
    cairo_move_to(cr, x - 4, sand_top(x) + 2);
    cairo_curve_to(cr, x - 2 + lean * 0.3, sand_top(x) - height * 0.5, x + lean, sand_top(x) - height * 0.8,
                   x + lean * 1.2, sand_top(x) - height);
    cairo_curve_to(cr, x + lean + 6, sand_top(x) - height * 0.7, x + 6 + lean * 0.3, sand_top(x) - height * 0.4,
                   x + 5, sand_top(x) + 2);
    cairo_close_path(cr);
    set_source(cr, mix(haze, Rgb{30, 90, 70}, 0.3), 0.6);
    cairo_fill(cr);
  }
  layer.blur(2.5);
  composite(image, layer);
}

void paint_motes(Image& image) {
  // Specks drifting in the water catch the light: the mark of a real tank.
  Layer layer(image.width(), image.height());
  cairo_t* cr = layer.cr();
  Rng rng(kMoteSeed);
  for (int i = 0; i < kMotes; ++i) {
    const double x = rng.uniform(0, image.width());
    const double y = rng.uniform(20, 390);
    const double r = rng.uniform(0.4, 1.3);
    cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
    cairo_set_source_rgba(cr, 0.85, 0.95, 0.9, rng.uniform(0.15, 0.5));
    cairo_fill(cr);
  }
  layer.blur(0.6);
  composite(image, layer);
}

void paint_light_shafts(Image& image) {
  // Slanting shafts from the lamp, fading with depth; softer over the floor.
  constexpr double kSlant = 0.32;
  for (int y = 0; y < image.height(); ++y) {
    const double fade = std::exp(-y / 230.0);
    for (int x = 0; x < image.width(); ++x) {
      const double u = x - y * kSlant;
      double shaft = 0;
      shaft += 0.9 * std::exp(-std::pow((u - 170) / 26.0, 2));
      shaft += 0.6 * std::exp(-std::pow((u - 250) / 14.0, 2));
      shaft += 0.7 * std::exp(-std::pow((u - 330) / 34.0, 2));
      shaft += 0.45 * std::exp(-std::pow((u - 60) / 18.0, 2));
      shaft += 0.5 * std::exp(-std::pow((u - 470) / 22.0, 2));
      shaft *= 0.55 + 0.45 * value_noise(u / 18.0, y / 140.0, kShaftSeed);
      const double lift = 34 * shaft * fade;
      float* p = image.at(x, y);
      p[0] += static_cast<float>(lift * 0.75);
      p[1] += static_cast<float>(lift);
      p[2] += static_cast<float>(lift * 0.9);
    }
  }
}

void finish_photo(Image& image) {
  // The lens: slight softness, vignetting, sensor grain; highlights rolled off.
  gaussian_blur(image, 0.65);
  const double cx = image.width() / 2.0;
  const double cy = image.height() / 2.0;
  constexpr double kKnee = 190;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const double r2 = std::pow((x - cx) / cx, 2) + std::pow((y - cy) / cy, 2);
      const double vignette = 1 - 0.16 * r2;
      const double grain = 12 * (lattice(x, y, kGrainSeed) - 0.5) + 4 * (value_noise(x / 1.7, y / 1.7, kGrainSeed + 1) - 0.5);
      float* p = image.at(x, y);
      for (int c = 0; c < 3; ++c) {
        const double chroma = 4.0 * (lattice(x, y, kGrainSeed + 2 + static_cast<uint32_t>(c)) - 0.5);
        double v = p[c] * vignette + grain + chroma;
        if (v > kKnee) v = kKnee + (kBrightest - kKnee) * std::tanh((v - kKnee) / (kBrightest - kKnee));
        p[c] = static_cast<float>(std::clamp(v, 0.0, kBrightest));
      }
    }
  }
}

}  // namespace assetgen
