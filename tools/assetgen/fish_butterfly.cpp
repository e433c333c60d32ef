// Butterflyfish: tall disc body, white in front and yellow behind, a black
// band through the eye and a false eye on the soft dorsal fin.
#include <numbers>

#include "fish_draw.h"

namespace assetgen {
namespace {

const Rgb kYellow{250, 206, 30};
const Rgb kDeepYellow{226, 160, 16};
const Rgb kWhite{236, 234, 222};
const Rgb kInk{16, 16, 20};

void body_path(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_move_to(cr, 100, 4);
  cairo_curve_to(cr, 96, 0, 91, -10, 84, -20);
  cairo_curve_to(cr, 74, -34, 50, -37, 38, -28);
  cairo_curve_to(cr, 32, -22, 28, -12, 24, -6);
  cairo_line_to(cr, 24, 6);
  cairo_curve_to(cr, 28, 12, 32, 22, 40, 28);
  cairo_curve_to(cr, 52, 37, 74, 34, 84, 22);
  cairo_curve_to(cr, 90, 15, 95, 9, 100, 4);
  cairo_close_path(cr);
}

void soft_fin(cairo_t* cr, double top, double bottom, double ox, double oy, double a0, double a1) {
  fill_vertical(cr, top, bottom, {{0, kYellow}, {1, kDeepYellow}}, 0.95);
  fin_rays(cr, ox, oy, a0, a1, 16, 48, Rgb{200, 140, 10}, 0.45, 0.5);
  // A pale rim (the stroke is clipped to the fin, so half of it shows).
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_set_line_width(cr, 3.2);
  cairo_set_source_rgba(cr, 0.9, 0.95, 1.0, 0.8);
  cairo_stroke(cr);
  cairo_restore(cr);
  cairo_new_path(cr);
}

}  // namespace

void draw_butterflyfish(cairo_t* cr, const Pose& pose, double width, double height) {
  fit_design(cr, width, height, -1, 102, -45, 44, 2);
  const double raise = pose.spread ? 1.08 : 1.0;

  cairo_save(cr);
  cairo_translate(cr, 0, -28);
  cairo_scale(cr, 1, raise);
  cairo_translate(cr, 0, 28);
  cairo_move_to(cr, 82, -26);
  cairo_curve_to(cr, 72, -42, 46, -45, 34, -38);
  cairo_curve_to(cr, 26, -31, 22, -18, 24, -8);
  cairo_line_to(cr, 50, -30);
  cairo_close_path(cr);
  soft_fin(cr, -45, -20, 56, 0, -2.6, -1.2);
  // The false eye.
  cairo_arc(cr, 37, -34, 4.2, 0, 2 * std::numbers::pi);
  cairo_set_source_rgba(cr, 0.95, 0.95, 0.9, 0.9);
  cairo_fill(cr);
  cairo_arc(cr, 37, -34, 3.2, 0, 2 * std::numbers::pi);
  set_source(cr, kInk);
  cairo_fill(cr);
  cairo_restore(cr);

  cairo_move_to(cr, 74, 28);
  cairo_curve_to(cr, 62, 42, 42, 43, 32, 36);
  cairo_curve_to(cr, 26, 29, 23, 18, 24, 8);
  cairo_line_to(cr, 50, 30);
  cairo_close_path(cr);
  soft_fin(cr, 20, 43, 56, 0, 1.2, 2.6);

  // Tail: yellow base, clear rim.
  cairo_save(cr);
  swing_tail(cr, pose, 24, 0);
  cairo_move_to(cr, 26, -7);
  cairo_curve_to(cr, 16, -11, 8, -15, 2, -16);
  cairo_curve_to(cr, 0, -6, 0, 6, 2, 16);
  cairo_curve_to(cr, 8, 15, 16, 11, 26, 7);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(26, 0, 0, 0);
  add_stop(p, 0, kYellow, 0.95);
  add_stop(p, 0.65, Rgb{240, 220, 120}, 0.85);
  add_stop(p, 1, Rgb{220, 236, 240}, 0.75);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  fin_rays(cr, 28, 0, std::numbers::pi - 0.6, std::numbers::pi + 0.6, 12, 28, Rgb{200, 150, 30}, 0.4, 0.5);
  cairo_new_path(cr);
  cairo_restore(cr);

  // Body: white face and breast fading to yellow, fine slanting lines.
  body_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(100, -10, 30, 10);
  add_stop(g, 0, kWhite);
  add_stop(g, 0.35, kWhite);
  add_stop(g, 0.62, kYellow);
  add_stop(g, 1, kDeepYellow);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_new_path(cr);
  for (int i = -6; i < 14; ++i) {
    const double x = 30 + i * 6.0;
    cairo_move_to(cr, x, -40);
    cairo_line_to(cr, x + 30, 40);
  }
  cairo_set_line_width(cr, 0.8);
  set_source(cr, Rgb{150, 130, 90}, 0.45);
  cairo_stroke(cr);
  // The eye band.
  cairo_move_to(cr, 80, -40);
  cairo_curve_to(cr, 84, -20, 86, 0, 84, 40);
  cairo_line_to(cr, 91, 40);
  cairo_curve_to(cr, 93, 0, 91, -20, 87, -40);
  cairo_close_path(cr);
  set_source(cr, kInk, 0.95);
  cairo_fill(cr);
  cairo_restore(cr);
  body_path(cr);
  shade_body(cr, -37, 36, 0.18);
  cairo_new_path(cr);

  // Pectoral fin, nearly clear.
  cairo_save(cr);
  cairo_translate(cr, 78, 8);
  cairo_rotate(cr, 0.3 * pose.fin + (pose.spread ? -0.35 : 0));
  cairo_move_to(cr, 0, -3);
  cairo_curve_to(cr, -8, -6, -15, -3, -18, 2);
  cairo_curve_to(cr, -13, 5, -6, 5, 0, 3);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 0.95, 0.92, 0.7, 0.8);
  cairo_fill(cr);
  cairo_restore(cr);

  // The eye sits in the band; a pale ring shows it.
  cairo_arc(cr, 87.5, -7, 4.2, 0, 2 * std::numbers::pi);
  set_source(cr, Rgb{190, 180, 150}, 0.8);
  cairo_fill(cr);
  draw_eye(cr, 87.5, -7, 3.4, Rgb{60, 50, 36});
  cairo_move_to(cr, 100, 4);
  cairo_line_to(cr, 97.5, 4.5);
  cairo_set_line_width(cr, 0.8);
  set_source(cr, kInk, 0.8);
  cairo_stroke(cr);
}

}  // namespace assetgen
