// Drawing helpers shared by the fish: design space, shading, eyes, fins.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <initializer_list>

#include "fish.h"
#include "raster.h"

namespace assetgen {

// Maps the design box (x0..x1, y0..y1) into the canvas with one scale,
// centred, keeping `margin` pixels clear on every side.
void fit_design(cairo_t* cr, double width, double height, double x0, double x1, double y0, double y1,
                double margin);

// Applies the tail's swing around the joint at (x, y): a turn and the
// foreshortening of a tail seen swung towards or away from the viewer.
void swing_tail(cairo_t* cr, const Pose& pose, double x, double y);

// Rounds the body held in the current path (kept): a darker back and belly
// edge, a soft light band along the flank, a thin darker rim.
void shade_body(cairo_t* cr, double top, double bottom, double darkening = 0.3);

// Faint rows of scales over the current path (kept), between the x bounds.
void scale_rows(cairo_t* cr, double x0, double x1, double y0, double y1, double size, double alpha);

// Thin rays over the fin held in the current path (kept), fanning out from
// (ox, oy) between the two angles.
void fin_rays(cairo_t* cr, double ox, double oy, double angle0, double angle1, int count, double length,
              const Rgb& colour, double alpha, double line_width);

// Eye with iris, dark pupil (never pure black: black is transparent in the
// demo) and a catch light.
void draw_eye(cairo_t* cr, double x, double y, double radius, const Rgb& iris);

struct Stop {
  double offset;
  Rgb colour;
};

// Fills the current path (kept) with a vertical gradient through the stops.
void fill_vertical(cairo_t* cr, double top, double bottom, std::initializer_list<Stop> stops, double alpha = 1.0);

// Deterministic scattered dots inside the current path (kept).
void scatter_dots(cairo_t* cr, uint64_t seed, int count, double x0, double x1, double y0, double y1,
                  double r0, double r1, const Rgb& colour, double alpha);

}  // namespace assetgen
