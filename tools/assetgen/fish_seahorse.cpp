// Seahorse: upright, the head bent forward on a long snout, a ringed trunk
// and a tail curled forward; only the dorsal fin flutters between frames.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "fish_draw.h"

namespace assetgen {
namespace {

const Rgb kGold{246, 184, 54};
const Rgb kAmber{214, 122, 28};
const Rgb kRing{150, 74, 18};

struct Knot {
  double x, y, half;  // centre and half-width, in canvas pixels
};

// From the neck down the trunk and round the forward curl of the tail.
const Knot kSpine[] = {
    {20, 15, 3.8}, {19, 21, 5.2}, {20, 28, 7.0}, {23, 36, 8.4}, {25, 44, 8.8}, {23, 52, 7.6}, {18, 58, 6.0},
    {15, 64, 4.6}, {15, 70, 3.6}, {17, 75, 2.9}, {21, 78, 2.3}, {25, 77, 1.9}, {27, 73, 1.5},
    {25, 70, 1.1}, {22.5, 71.5, 0.7},
};

Knot along(double t) {
  // Catmull-Rom through the knots, t in [0, 1].
  const int n = static_cast<int>(std::size(kSpine));
  const double u = t * (n - 1);
  const int i = std::min(static_cast<int>(u), n - 2);
  const double f = u - i;
  auto k = [&](int j) { return kSpine[std::clamp(j, 0, n - 1)]; };
  const Knot p0 = k(i - 1), p1 = k(i), p2 = k(i + 1), p3 = k(i + 2);
  auto cr = [f](double a, double b, double c, double d) {
    return 0.5 * (2 * b + (-a + c) * f + (2 * a - 5 * b + 4 * c - d) * f * f + (-a + 3 * b - 3 * c + d) * f * f * f);
  };
  return {cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y), cr(p0.half, p1.half, p2.half, p3.half)};
}

struct Edge {
  double lx, ly, rx, ry;
};

std::vector<Edge> trunk_edges() {
  constexpr int kSteps = 120;
  std::vector<Edge> edges;
  for (int i = 0; i <= kSteps; ++i) {
    const double t = static_cast<double>(i) / kSteps;
    const Knot c = along(t);
    const Knot a = along(std::max(0.0, t - 0.004));
    const Knot b = along(std::min(1.0, t + 0.004));
    double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    dx /= len;
    dy /= len;
    edges.push_back({c.x - dy * c.half, c.y + dx * c.half, c.x + dy * c.half, c.y - dx * c.half});
  }
  return edges;
}

void trunk_path(cairo_t* cr, const std::vector<Edge>& edges) {
  cairo_new_path(cr);
  cairo_move_to(cr, edges[0].lx, edges[0].ly);
  for (const Edge& e : edges) cairo_line_to(cr, e.lx, e.ly);
  for (auto it = edges.rbegin(); it != edges.rend(); ++it) cairo_line_to(cr, it->rx, it->ry);
  cairo_close_path(cr);
}

void head_path(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_save(cr);
  cairo_translate(cr, 21, 13);
  cairo_rotate(cr, 0.3);
  cairo_scale(cr, 6.2, 5.4);
  cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_restore(cr);
  // The snout, a tube ending in a small mouth.
  cairo_move_to(cr, 24, 10.5);
  cairo_curve_to(cr, 30, 12, 35, 13.5, 39, 15);
  cairo_line_to(cr, 39.5, 18.5);
  cairo_curve_to(cr, 35, 18, 30, 18, 24, 17);
  cairo_close_path(cr);
  // The coronet.
  cairo_move_to(cr, 16, 9);
  cairo_line_to(cr, 17, 5);
  cairo_line_to(cr, 19, 7);
  cairo_line_to(cr, 20.5, 4.5);
  cairo_line_to(cr, 22, 7.5);
  cairo_line_to(cr, 23, 9);
  cairo_close_path(cr);
}

}  // namespace

void draw_seahorse(cairo_t* cr, const Pose& pose, double width, double height) {
  (void)width;
  (void)height;
  const std::vector<Edge> edges = trunk_edges();

  // Dorsal fin on the back, its rays fluttering from frame to frame.
  cairo_move_to(cr, 18, 38);
  cairo_curve_to(cr, 10, 40, 8, 48, 10, 56);
  cairo_line_to(cr, 17, 55);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 0.98, 0.86, 0.55, 0.8);
  cairo_fill_preserve(cr);
  const double flutter = 0.18 * (pose.frame - 1);
  fin_rays(cr, 19, 47, std::numbers::pi - 0.9 + flutter, std::numbers::pi + 0.7 + flutter, 7, 12,
           Rgb{200, 120, 40}, 0.7, 0.6);
  cairo_new_path(cr);

  trunk_path(cr, edges);
  cairo_pattern_t* p = cairo_pattern_create_linear(30, 0, 8, 0);
  add_stop(p, 0, kGold);
  add_stop(p, 0.6, Rgb{236, 160, 42});
  add_stop(p, 1, kAmber);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  // Fine rings across the trunk and tail, knobs on the back.
  cairo_save(cr);
  cairo_clip(cr);
  for (size_t i = 3; i < edges.size(); i += 4) {
    cairo_move_to(cr, edges[i].lx, edges[i].ly);
    cairo_line_to(cr, edges[i].rx, edges[i].ry);
  }
  cairo_set_line_width(cr, 0.7);
  set_source(cr, kRing, 0.7);
  cairo_stroke(cr);
  cairo_restore(cr);
  for (size_t i = 6; i < 70; i += 8) {
    cairo_arc(cr, edges[i].lx, edges[i].ly, 0.9, 0, 2 * std::numbers::pi);
    cairo_new_sub_path(cr);
  }
  set_source(cr, kAmber);
  cairo_fill(cr);
  trunk_path(cr, edges);
  cairo_set_line_width(cr, 0.9);
  set_source(cr, Rgb{120, 60, 16}, 0.7);
  cairo_stroke(cr);

  head_path(cr);
  cairo_pattern_t* h = cairo_pattern_create_linear(34, 8, 14, 18);
  add_stop(h, 0, Rgb{250, 200, 80});
  add_stop(h, 1, kAmber);
  cairo_set_source(cr, h);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(h);
  cairo_set_line_width(cr, 0.8);
  set_source(cr, Rgb{120, 60, 16}, 0.6);
  cairo_stroke(cr);
  // A ring round the snout.
  cairo_move_to(cr, 31, 13.2);
  cairo_line_to(cr, 30.5, 17.8);
  cairo_set_line_width(cr, 0.7);
  set_source(cr, kRing, 0.6);
  cairo_stroke(cr);

  // Small pectoral fin behind the head.
  cairo_save(cr);
  cairo_translate(cr, 16.5, 20);
  cairo_rotate(cr, 0.25 * (pose.frame - 1));
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, -3, -2, -5, 0, -5, 2.5);
  cairo_curve_to(cr, -3, 3, -1, 2, 0, 1.5);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 0.98, 0.86, 0.55, 0.85);
  cairo_fill(cr);
  cairo_restore(cr);

  draw_eye(cr, 22, 12, 2.2, Rgb{120, 80, 30});
}

}  // namespace assetgen
