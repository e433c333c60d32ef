// Regal blue tang: royal blue oval, the black "palette" marking, yellow tail.
#include <numbers>

#include "fish_draw.h"

namespace assetgen {
namespace {

const Rgb kBlue{24, 74, 214};
const Rgb kDeepBlue{16, 40, 140};
const Rgb kPaleBlue{70, 130, 236};
const Rgb kYellow{250, 208, 36};
const Rgb kInk{14, 16, 26};

void body_path(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_move_to(cr, 100, 3);
  cairo_curve_to(cr, 98, -13, 85, -25, 62, -26);
  cairo_curve_to(cr, 44, -26, 30, -15, 22, -6);
  cairo_line_to(cr, 22, 6);
  cairo_curve_to(cr, 30, 15, 44, 25, 62, 25);
  cairo_curve_to(cr, 84, 24, 97, 15, 100, 3);
  cairo_close_path(cr);
}

void edged_fin(cairo_t* cr, double top, double bottom) {
  fill_vertical(cr, top, bottom, {{0, kBlue}}, 0.95);
  cairo_set_line_width(cr, 1.6);
  set_source(cr, kInk, 0.9);
  cairo_stroke_preserve(cr);
}

}  // namespace

void draw_blue_tang(cairo_t* cr, const Pose& pose, double width, double height) {
  fit_design(cr, width, height, -1, 102, -33, 32, 2);
  const double raise = pose.spread ? 1.1 : 1.0;

  // Dorsal and anal fins, blue with a black edge.
  cairo_save(cr);
  cairo_translate(cr, 0, -20);
  cairo_scale(cr, 1, raise);
  cairo_translate(cr, 0, 20);
  cairo_move_to(cr, 88, -20);
  cairo_curve_to(cr, 78, -30, 54, -32, 38, -28);
  cairo_curve_to(cr, 30, -25, 25, -16, 24, -8);
  cairo_line_to(cr, 50, -20);
  cairo_close_path(cr);
  edged_fin(cr, -32, -18);
  fin_rays(cr, 60, 0, -2.7, -1.1, 18, 34, kDeepBlue, 0.5, 0.5);
  cairo_new_path(cr);
  cairo_restore(cr);

  cairo_move_to(cr, 72, 22);
  cairo_curve_to(cr, 62, 31, 44, 31, 34, 25);
  cairo_curve_to(cr, 28, 20, 25, 14, 24, 8);
  cairo_close_path(cr);
  edged_fin(cr, 18, 31);
  fin_rays(cr, 56, 0, 1.6, 2.7, 14, 32, kDeepBlue, 0.5, 0.5);
  cairo_new_path(cr);

  // The yellow tail with dark upper and lower rims.
  cairo_save(cr);
  swing_tail(cr, pose, 22, 0);
  cairo_move_to(cr, 24, -6);
  cairo_curve_to(cr, 16, -12, 8, -20, 1, -24);
  cairo_curve_to(cr, 5, -8, 5, 8, 1, 24);
  cairo_curve_to(cr, 8, 20, 16, 12, 24, 6);
  cairo_close_path(cr);
  fill_vertical(cr, -24, 24, {{0, {220, 170, 20}}, {0.5, kYellow}, {1, {220, 170, 20}}});
  fin_rays(cr, 26, 0, std::numbers::pi - 0.8, std::numbers::pi + 0.8, 15, 30, Rgb{180, 130, 10}, 0.5, 0.5);
  cairo_new_path(cr);
  cairo_move_to(cr, 22, -6);
  cairo_curve_to(cr, 16, -12, 8, -20, 1, -24);
  cairo_move_to(cr, 22, 6);
  cairo_curve_to(cr, 16, 12, 8, 20, 1, 24);
  cairo_set_line_width(cr, 2.0);
  set_source(cr, kInk, 0.9);
  cairo_stroke(cr);
  cairo_restore(cr);

  // Body and its markings.
  body_path(cr);
  fill_vertical(cr, -26, 25, {{0, kDeepBlue}, {0.3, kBlue}, {0.75, kBlue}, {1, kPaleBlue}});
  scale_rows(cr, 30, 90, -24, 24, 3.6, 0.06);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_new_path(cr);
  // The palette: a black sweep from the eye to the tail with a loop below
  // it that holds an oval of blue.
  cairo_move_to(cr, 92, -10);
  cairo_curve_to(cr, 82, -22, 56, -23, 40, -15);
  cairo_curve_to(cr, 32, -11, 27, -6, 20, -4);
  cairo_line_to(cr, 20, 4);
  cairo_curve_to(cr, 30, 5, 40, 10, 54, 8);
  cairo_curve_to(cr, 66, 6, 72, -2, 74, -9);
  cairo_curve_to(cr, 78, -11, 84, -6, 92, -10);
  cairo_close_path(cr);
  set_source(cr, kInk);
  cairo_fill(cr);
  cairo_save(cr);
  cairo_translate(cr, 52, -5);
  cairo_rotate(cr, -0.12);
  cairo_scale(cr, 13, 5.5);
  cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_restore(cr);
  set_source(cr, kBlue);
  cairo_fill(cr);
  // The yellow wedge on the tail stalk.
  cairo_move_to(cr, 36, 0);
  cairo_curve_to(cr, 30, -3, 25, -4, 20, -4.5);
  cairo_line_to(cr, 20, 4.5);
  cairo_curve_to(cr, 25, 4, 30, 3, 36, 0);
  set_source(cr, kYellow);
  cairo_fill(cr);
  cairo_restore(cr);
  body_path(cr);
  shade_body(cr, -26, 25, 0.2);
  cairo_new_path(cr);

  // Pectoral fin with a yellow tip.
  cairo_save(cr);
  cairo_translate(cr, 76, 4);
  cairo_rotate(cr, 0.35 * pose.fin + (pose.spread ? -0.4 : 0));
  cairo_move_to(cr, 0, -3);
  cairo_curve_to(cr, -8, -6, -16, -4, -20, 1);
  cairo_curve_to(cr, -15, 5, -7, 5, 0, 3);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, -20, 0);
  add_stop(p, 0, kBlue, 0.9);
  add_stop(p, 0.6, kPaleBlue, 0.9);
  add_stop(p, 1, kYellow, 0.95);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);

  draw_eye(cr, 88, -6, 4.2, Rgb{40, 40, 60});
  cairo_move_to(cr, 100, 3);
  cairo_line_to(cr, 97, 4.2);
  cairo_set_line_width(cr, 0.9);
  set_source(cr, kInk, 0.8);
  cairo_stroke(cr);
}

}  // namespace assetgen
