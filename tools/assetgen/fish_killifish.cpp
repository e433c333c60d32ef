// Lyretail killifish: slender, orange-red back, blue flanks sprinkled with
// red dots, a lyre-shaped tail with long tips.
#include <numbers>

#include "fish_draw.h"

namespace assetgen {
namespace {

const Rgb kRust{196, 82, 36};
const Rgb kBlue{70, 136, 214};
const Rgb kPale{150, 186, 226};
const Rgb kRed{206, 34, 30};
const Rgb kOrange{244, 120, 40};

void body_path(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_move_to(cr, 100, -1);
  cairo_curve_to(cr, 99, -6, 92, -9, 80, -9);
  cairo_curve_to(cr, 60, -10, 40, -8, 26, -4);
  cairo_line_to(cr, 26, 4);
  cairo_curve_to(cr, 40, 8, 60, 10, 80, 9);
  cairo_curve_to(cr, 92, 8, 99, 4, 100, -1);
  cairo_close_path(cr);
}

void lyre_fin(cairo_t* cr, double top, double bottom, uint64_t seed, double x0, double x1) {
  fill_vertical(cr, top, bottom, {{0, kOrange}, {0.5, kRust}, {1, kOrange}}, 0.92);
  scatter_dots(cr, seed, 10, x0, x1, top, bottom, 0.5, 0.9, kRed, 0.8);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_set_line_width(cr, 2.0);
  set_source(cr, Rgb{120, 190, 240}, 0.8);
  cairo_stroke(cr);
  cairo_restore(cr);
  cairo_new_path(cr);
}

}  // namespace

void draw_killifish(cairo_t* cr, const Pose& pose, double width, double height) {
  fit_design(cr, width, height, -1, 102, -17, 17, 2);
  const double raise = pose.spread ? 1.12 : 1.0;

  cairo_save(cr);
  cairo_translate(cr, 0, -8);
  cairo_scale(cr, 1, raise);
  cairo_translate(cr, 0, 8);
  cairo_move_to(cr, 54, -9);
  cairo_curve_to(cr, 48, -15, 38, -16, 30, -14);
  cairo_curve_to(cr, 29, -10, 28, -7, 28, -5);
  cairo_close_path(cr);
  lyre_fin(cr, -16, -4, 501, 28, 54);
  cairo_restore(cr);

  cairo_move_to(cr, 58, 9);
  cairo_curve_to(cr, 50, 16, 38, 17, 30, 14);
  cairo_curve_to(cr, 29, 10, 28, 7, 28, 5);
  cairo_close_path(cr);
  lyre_fin(cr, 4, 17, 502, 28, 58);

  // Lyre tail: blue centre with red dots, orange margins, pale long tips.
  cairo_save(cr);
  swing_tail(cr, pose, 26, 0);
  cairo_move_to(cr, 28, -4);
  cairo_curve_to(cr, 18, -7, 8, -11, 0, -16);
  cairo_curve_to(cr, 6, -10, 9, -5, 11, -2);
  cairo_curve_to(cr, 10, -1, 10, 1, 11, 2);
  cairo_curve_to(cr, 9, 5, 6, 10, 0, 16);
  cairo_curve_to(cr, 8, 11, 18, 7, 28, 4);
  cairo_close_path(cr);
  fill_vertical(cr, -16, 16,
                {{0, {240, 236, 220}}, {0.12, kOrange}, {0.3, kRust}, {0.4, kBlue}, {0.6, kBlue}, {0.7, kRust},
                 {0.88, kOrange}, {1, {240, 236, 220}}},
                0.92);
  scatter_dots(cr, 503, 16, 8, 26, -5, 5, 0.5, 0.9, kRed, 0.85);
  fin_rays(cr, 30, 0, std::numbers::pi - 0.55, std::numbers::pi + 0.55, 12, 32, Rgb{120, 40, 20}, 0.35, 0.4);
  cairo_new_path(cr);
  cairo_restore(cr);

  body_path(cr);
  fill_vertical(cr, -10, 9, {{0, kRust}, {0.3, {170, 110, 110}}, {0.5, kBlue}, {0.8, kBlue}, {1, kPale}});
  scale_rows(cr, 30, 86, -9, 8, 2.6, 0.08);
  // Orange head, red dots over the flank.
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_pattern_t* head = cairo_pattern_create_linear(100, 0, 72, 0);
  add_stop(head, 0, kOrange, 0.85);
  add_stop(head, 1, kOrange, 0);
  cairo_set_source(cr, head);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(head);
  cairo_restore(cr);
  scatter_dots(cr, 504, 46, 30, 82, -6, 7, 0.55, 0.95, kRed, 0.9);
  body_path(cr);
  shade_body(cr, -10, 9, 0.2);
  cairo_new_path(cr);

  cairo_save(cr);
  cairo_translate(cr, 82, 3);
  cairo_rotate(cr, 0.35 * pose.fin + (pose.spread ? -0.35 : 0));
  cairo_move_to(cr, 0, -2);
  cairo_curve_to(cr, -5, -3, -10, -1, -12, 2);
  cairo_curve_to(cr, -8, 4, -4, 3, 0, 2);
  cairo_close_path(cr);
  set_source(cr, Rgb{250, 170, 110}, 0.8);
  cairo_fill(cr);
  cairo_restore(cr);

  draw_eye(cr, 91, -2.5, 2.8, Rgb{70, 120, 170});
  cairo_move_to(cr, 100, -1.5);
  cairo_line_to(cr, 97, -1);
  cairo_set_line_width(cr, 0.7);
  set_source(cr, Rgb{90, 30, 20}, 0.8);
  cairo_stroke(cr);
}

}  // namespace assetgen
