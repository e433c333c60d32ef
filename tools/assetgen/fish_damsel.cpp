// Blue damselfish: small oval body, electric blue with a darker back.
#include <numbers>

#include "fish_draw.h"

namespace assetgen {
namespace {

const Rgb kBack{18, 46, 150};
const Rgb kFlank{28, 118, 250};
const Rgb kBelly{90, 176, 255};
const Rgb kFin{26, 96, 222};

void body_path(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_move_to(cr, 100, 1);
  cairo_curve_to(cr, 98, -10, 84, -19, 66, -19);
  cairo_curve_to(cr, 46, -19, 34, -11, 25, -6);
  cairo_line_to(cr, 25, 6);
  cairo_curve_to(cr, 34, 11, 48, 17, 66, 16);
  cairo_curve_to(cr, 84, 15, 97, 9, 100, 1);
  cairo_close_path(cr);
}

}  // namespace

void draw_blue_damsel(cairo_t* cr, const Pose& pose, double width, double height) {
  fit_design(cr, width, height, -1, 102, -25, 24, 2);
  const double raise = pose.spread ? 1.12 : 1.0;

  // Dorsal fin: spiny in front, a rounded soft lobe at the back.
  cairo_save(cr);
  cairo_translate(cr, 0, -14);
  cairo_scale(cr, 1, raise);
  cairo_translate(cr, 0, 14);
  cairo_move_to(cr, 84, -13);
  cairo_curve_to(cr, 78, -20, 60, -21, 46, -21);
  cairo_curve_to(cr, 36, -22, 30, -17, 27, -7);
  cairo_line_to(cr, 50, -14);
  cairo_close_path(cr);
  fill_vertical(cr, -22, -12, {{0, kBack}}, 0.92);
  fin_rays(cr, 60, -4, -2.6, -1.2, 14, 26, Rgb{12, 30, 100}, 0.5, 0.5);
  cairo_new_path(cr);
  cairo_restore(cr);

  // Anal fin.
  cairo_move_to(cr, 56, 13);
  cairo_curve_to(cr, 50, 20, 38, 22, 31, 16);
  cairo_curve_to(cr, 29, 12, 28, 9, 27, 7);
  cairo_close_path(cr);
  fill_vertical(cr, 6, 22, {{0, kFin}}, 0.9);
  fin_rays(cr, 50, 2, 1.7, 2.6, 10, 24, Rgb{12, 30, 100}, 0.45, 0.5);
  cairo_new_path(cr);

  // Forked tail.
  cairo_save(cr);
  swing_tail(cr, pose, 26, 0);
  cairo_move_to(cr, 28, -6);
  cairo_curve_to(cr, 18, -9, 8, -16, 1, -20);
  cairo_curve_to(cr, 5, -10, 8, -4, 10, 0);
  cairo_curve_to(cr, 8, 4, 5, 10, 1, 20);
  cairo_curve_to(cr, 8, 16, 18, 9, 28, 6);
  cairo_close_path(cr);
  fill_vertical(cr, -20, 20, {{0, {30, 110, 240}}, {0.5, {24, 90, 210}}, {1, {30, 110, 240}}}, 0.88);
  fin_rays(cr, 30, 0, std::numbers::pi - 0.75, std::numbers::pi + 0.75, 13, 32, Rgb{12, 34, 110}, 0.45, 0.5);
  cairo_new_path(cr);
  cairo_restore(cr);

  // Body.
  body_path(cr);
  fill_vertical(cr, -19, 16, {{0, kBack}, {0.35, kFlank}, {0.6, kFlank}, {1, kBelly}});
  scale_rows(cr, 34, 84, -15, 14, 4.2, 0.09);
  // An iridescent streak along the flank.
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, 92, 4);
  cairo_curve_to(cr, 84, 2, 76, -2, 62, -4);
  cairo_set_line_width(cr, 1.0);
  set_source(cr, Rgb{150, 220, 255}, 0.35);
  cairo_stroke(cr);
  cairo_restore(cr);
  body_path(cr);
  shade_body(cr, -19, 16, 0.3);
  cairo_new_path(cr);

  // Pelvic and pectoral fins, beating with the pose.
  cairo_save(cr);
  cairo_translate(cr, 72, 11);
  cairo_rotate(cr, 0.25 + 0.2 * pose.fin);
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, -3, 5, -8, 9, -12, 11);
  cairo_curve_to(cr, -9, 6, -6, 3, -4, -1);
  cairo_close_path(cr);
  set_source(cr, Rgb{40, 130, 250}, 0.9);
  cairo_fill(cr);
  cairo_restore(cr);

  cairo_save(cr);
  cairo_translate(cr, 74, 2);
  cairo_rotate(cr, 0.35 * pose.fin + (pose.spread ? -0.35 : 0));
  cairo_move_to(cr, 0, -3);
  cairo_curve_to(cr, -6, -5, -14, -3, -17, 1);
  cairo_curve_to(cr, -13, 4, -6, 4, 0, 3);
  cairo_close_path(cr);
  set_source(cr, Rgb{80, 160, 250}, 0.75);
  cairo_fill_preserve(cr);
  fin_rays(cr, 0, 0, std::numbers::pi - 0.3, std::numbers::pi + 0.3, 6, 18, Rgb{20, 60, 160}, 0.4, 0.4);
  cairo_new_path(cr);
  cairo_restore(cr);

  draw_eye(cr, 88, -4, 4.0, Rgb{30, 60, 140});
  // Mouth.
  cairo_move_to(cr, 100, 1.2);
  cairo_line_to(cr, 96.5, 2.2);
  cairo_set_line_width(cr, 0.8);
  set_source(cr, Rgb{12, 24, 70}, 0.8);
  cairo_stroke(cr);
}

}  // namespace assetgen
