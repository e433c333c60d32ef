// The layers of the aquarium photograph, painted in this order by
// render_aquarium(): water, far silhouettes, back plants, sand, gravel and
// rocks, front plants, the air pipe, drifting specks, light, then the camera's finish.
#pragma once

#include "raster.h"

namespace assetgen {

// Row where the sand meets the water behind it, at column x.
double sand_top(double x);
// Open water seen at (x, y), before light shafts and finish.
Rgb water_colour(double x, double y);
// Caustic ripple intensity 0..1 at (x, y); squash stretches it vertically.
double caustic(double x, double y, double squash);

void paint_water(Image& image);
void paint_far_silhouettes(Image& image);
void paint_back_plants(Image& image);
void paint_sand(Image& image);
void paint_gravel_and_rocks(Image& image);
void paint_front_plants(Image& image);
void paint_air_pipe(Image& image);
void paint_motes(Image& image);
void paint_light_shafts(Image& image);
void finish_photo(Image& image);

}  // namespace assetgen
