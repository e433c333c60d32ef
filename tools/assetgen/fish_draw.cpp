#include "fish_draw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "noise.h"

namespace assetgen {
namespace {

// Cairo's save/restore does not cover the path: helpers that clip to the
// caller's path and draw their own shapes put it back when they finish.
class KeepPath {
 public:
  explicit KeepPath(cairo_t* cr) : cr_(cr), path_(cairo_copy_path(cr)) { cairo_save(cr_); }
  ~KeepPath() {
    cairo_restore(cr_);
    cairo_new_path(cr_);
    cairo_append_path(cr_, path_);
    cairo_path_destroy(path_);
  }
  KeepPath(const KeepPath&) = delete;
  KeepPath& operator=(const KeepPath&) = delete;

 private:
  cairo_t* cr_;
  cairo_path_t* path_;
};

}  // namespace

Pose pose_of_frame(int frame) {
  switch (frame) {
    case 1: return {-1.0, -0.6, false, 1};
    case 2: return {0.0, 0.0, false, 2};
    case 3: return {1.0, 0.6, false, 3};
    default: return {0.45, -1.0, true, 0};
  }
}

void fit_design(cairo_t* cr, double width, double height, double x0, double x1, double y0, double y1,
                double margin) {
  const double s = std::min((width - 2 * margin) / (x1 - x0), (height - 2 * margin) / (y1 - y0));
  cairo_translate(cr, width / 2, height / 2);
  cairo_scale(cr, s, s);
  cairo_translate(cr, -(x0 + x1) / 2, -(y0 + y1) / 2);
}

void swing_tail(cairo_t* cr, const Pose& pose, double x, double y) {
  cairo_translate(cr, x, y);
  cairo_rotate(cr, 0.12 * pose.tail);
  cairo_scale(cr, 1 - 0.22 * std::fabs(pose.tail), 1 + 0.04 * std::fabs(pose.tail));
  cairo_translate(cr, -x, -y);
}

void shade_body(cairo_t* cr, double top, double bottom, double darkening) {
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.02, 0.03, 0.08, darkening);
  cairo_pattern_add_color_stop_rgba(p, 0.3, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(p, 0.45, 1, 1, 1, 0.14);
  cairo_pattern_add_color_stop_rgba(p, 0.62, 1, 1, 1, 0);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.02, 0.03, 0.08, darkening * 1.2);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  cairo_set_source_rgba(cr, 0.05, 0.06, 0.1, 0.45);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke_preserve(cr);
  cairo_restore(cr);
}

void scale_rows(cairo_t* cr, double x0, double x1, double y0, double y1, double size, double alpha) {
  KeepPath keep(cr);
  cairo_clip_preserve(cr);
  cairo_new_path(cr);
  int row = 0;
  for (double y = y0; y <= y1; y += size * 0.75, ++row) {
    for (double x = x0 + (row % 2) * size * 0.5; x <= x1; x += size) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, x, y, size * 0.55, -std::numbers::pi * 0.5, std::numbers::pi * 0.5);
    }
  }
  cairo_set_line_width(cr, size * 0.12);
  cairo_set_source_rgba(cr, 1, 1, 1, alpha);
  cairo_stroke(cr);
}

void fin_rays(cairo_t* cr, double ox, double oy, double angle0, double angle1, int count, double length,
              const Rgb& colour, double alpha, double line_width) {
  KeepPath keep(cr);
  cairo_clip_preserve(cr);
  cairo_new_path(cr);
  for (int i = 0; i < count; ++i) {
    const double a = angle0 + (angle1 - angle0) * (count == 1 ? 0.5 : static_cast<double>(i) / (count - 1));
    cairo_move_to(cr, ox, oy);
    cairo_line_to(cr, ox + length * std::cos(a), oy + length * std::sin(a));
  }
  set_source(cr, colour, alpha);
  cairo_set_line_width(cr, line_width);
  cairo_stroke(cr);
}

void draw_eye(cairo_t* cr, double x, double y, double radius, const Rgb& iris) {
  cairo_new_path(cr);
  cairo_arc(cr, x, y, radius * 1.15, 0, 2 * std::numbers::pi);
  cairo_set_source_rgba(cr, 0.12, 0.12, 0.14, 0.55);
  cairo_fill(cr);
  cairo_arc(cr, x, y, radius, 0, 2 * std::numbers::pi);
  set_source(cr, iris);
  cairo_fill(cr);
  cairo_arc(cr, x, y, radius * 0.58, 0, 2 * std::numbers::pi);
  set_source(cr, Rgb{16, 16, 22});
  cairo_fill(cr);
  cairo_arc(cr, x - radius * 0.3, y - radius * 0.32, radius * 0.24, 0, 2 * std::numbers::pi);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
  cairo_fill(cr);
}

void fill_vertical(cairo_t* cr, double top, double bottom, std::initializer_list<Stop> stops, double alpha) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
  for (const Stop& s : stops) add_stop(p, s.offset, s.colour, alpha);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
}

void scatter_dots(cairo_t* cr, uint64_t seed, int count, double x0, double x1, double y0, double y1,
                  double r0, double r1, const Rgb& colour, double alpha) {
  KeepPath keep(cr);
  cairo_clip_preserve(cr);
  cairo_new_path(cr);
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const double x = rng.uniform(x0, x1);
    const double y = rng.uniform(y0, y1);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, rng.uniform(r0, r1), 0, 2 * std::numbers::pi);
  }
  set_source(cr, colour, alpha);
  cairo_fill(cr);
}

}  // namespace assetgen
