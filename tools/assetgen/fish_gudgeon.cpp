// Gudgeon: long, round-bodied bottom fish; olive-sand with a row of dark
// blotches, a paler belly, spotted fins and barbels at the mouth.
#include <numbers>

#include "fish_draw.h"
#include "noise.h"

namespace assetgen {
namespace {

const Rgb kOlive{96, 92, 58};
const Rgb kSand{168, 152, 108};
const Rgb kBelly{222, 212, 182};
const Rgb kFin{196, 184, 146};
const Rgb kBlotch{62, 58, 40};

void body_path(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_move_to(cr, 100, 3);
  cairo_curve_to(cr, 99, -5, 93, -10, 80, -12);
  cairo_curve_to(cr, 60, -14, 40, -10, 26, -4.5);
  cairo_line_to(cr, 26, 4.5);
  cairo_curve_to(cr, 40, 9, 60, 13, 80, 12);
  cairo_curve_to(cr, 92, 11, 99, 8, 100, 3);
  cairo_close_path(cr);
}

void spotted_fin(cairo_t* cr, uint64_t seed, double x0, double x1, double y0, double y1) {
  fill_vertical(cr, y0, y1, {{0, kFin}}, 0.85);
  scatter_dots(cr, seed, 14, x0, x1, y0, y1, 0.6, 1.0, kBlotch, 0.7);
  cairo_new_path(cr);
}

}  // namespace

void draw_gudgeon(cairo_t* cr, const Pose& pose, double width, double height) {
  fit_design(cr, width, height, -1, 102, -23, 22, 2);
  const double raise = pose.spread ? 1.15 : 1.0;

  cairo_save(cr);
  cairo_translate(cr, 0, -12);
  cairo_scale(cr, 1, raise);
  cairo_translate(cr, 0, 12);
  cairo_move_to(cr, 72, -12);
  cairo_curve_to(cr, 70, -18, 67, -22, 63, -23);
  cairo_curve_to(cr, 59, -21, 55, -16, 52, -11);
  cairo_close_path(cr);
  spotted_fin(cr, 401, 50, 72, -23, -10);
  cairo_restore(cr);

  cairo_move_to(cr, 45, 9);
  cairo_curve_to(cr, 43, 14, 40, 17, 36, 17);
  cairo_curve_to(cr, 34, 13, 33, 10, 32, 7);
  cairo_close_path(cr);
  spotted_fin(cr, 402, 30, 46, 6, 18);

  cairo_save(cr);
  cairo_translate(cr, 58, 12);
  cairo_rotate(cr, 0.15 * pose.fin);
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, -3, 4, -7, 7, -11, 7);
  cairo_curve_to(cr, -9, 3, -6, 1, -4, -1);
  cairo_close_path(cr);
  set_source(cr, kFin, 0.85);
  cairo_fill(cr);
  cairo_restore(cr);

  // Forked tail with rows of spots.
  cairo_save(cr);
  swing_tail(cr, pose, 26, 0);
  cairo_move_to(cr, 28, -4.5);
  cairo_curve_to(cr, 18, -8, 8, -14, 1, -17);
  cairo_curve_to(cr, 6, -8, 9, -2, 11, 0);
  cairo_curve_to(cr, 9, 2, 6, 8, 1, 17);
  cairo_curve_to(cr, 8, 14, 18, 8, 28, 4.5);
  cairo_close_path(cr);
  fill_vertical(cr, -17, 17, {{0, kFin}}, 0.85);
  fin_rays(cr, 30, 0, std::numbers::pi - 0.6, std::numbers::pi + 0.6, 12, 32, Rgb{120, 110, 80}, 0.4, 0.4);
  scatter_dots(cr, 403, 22, 2, 26, -16, 16, 0.6, 1.1, kBlotch, 0.75);
  cairo_new_path(cr);
  cairo_restore(cr);

  // Body: olive back, sandy flank, pale belly, blotches along the side.
  body_path(cr);
  fill_vertical(cr, -13, 12, {{0, kOlive}, {0.45, kSand}, {0.7, kSand}, {1, kBelly}});
  scale_rows(cr, 30, 86, -12, 11, 3.0, 0.08);
  scatter_dots(cr, 404, 60, 30, 90, -13, -3, 0.4, 0.9, kBlotch, 0.6);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_new_path(cr);
  Rng rng(405);
  for (int i = 0; i < 8; ++i) {
    const double x = 32 + i * 7.2 + rng.uniform(-1.2, 1.2);
    cairo_save(cr);
    cairo_translate(cr, x, rng.uniform(-1.5, 0.8));
    cairo_rotate(cr, rng.uniform(-0.5, 0.5));
    const double ry = rng.uniform(1.5, 2.8);  // one draw per line: the order fixes the picture
    const double rx = rng.uniform(2.0, 3.4);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
  }
  set_source(cr, kBlotch, 0.65);
  cairo_fill(cr);
  cairo_restore(cr);
  body_path(cr);
  shade_body(cr, -13, 12, 0.22);
  cairo_new_path(cr);

  // Broad pectoral fin, low behind the head.
  cairo_save(cr);
  cairo_translate(cr, 80, 7);
  cairo_rotate(cr, 0.3 * pose.fin + (pose.spread ? -0.3 : 0));
  cairo_move_to(cr, 0, -2);
  cairo_curve_to(cr, -6, -3, -12, 1, -14, 6);
  cairo_curve_to(cr, -9, 7, -4, 5, 0, 3);
  cairo_close_path(cr);
  set_source(cr, kFin, 0.85);
  cairo_fill_preserve(cr);
  fin_rays(cr, 0, 0, std::numbers::pi - 0.1, std::numbers::pi - 0.7, 6, 16, Rgb{120, 110, 80}, 0.45, 0.4);
  cairo_new_path(cr);
  cairo_restore(cr);

  // Barbels hanging from the corners of the mouth.
  cairo_move_to(cr, 96, 6);
  cairo_curve_to(cr, 95, 9, 93, 12, 91, 14);
  cairo_move_to(cr, 97.5, 5.5);
  cairo_curve_to(cr, 98, 9, 97, 12, 95.5, 14.5);
  cairo_set_line_width(cr, 0.9);
  set_source(cr, Rgb{150, 130, 96});
  cairo_stroke(cr);
  cairo_move_to(cr, 100, 4);
  cairo_line_to(cr, 96, 5.5);
  cairo_set_line_width(cr, 0.8);
  set_source(cr, Rgb{50, 44, 30}, 0.8);
  cairo_stroke(cr);

  draw_eye(cr, 88, -4.5, 3.2, Rgb{176, 146, 70});
}

}  // namespace assetgen
