#include "photo.h"

#include "scene_parts.h"

namespace assetgen {

Image render_aquarium() {
  Image image(kPhotoWidth, kPhotoHeight);
  paint_water(image);
  paint_far_silhouettes(image);
  paint_back_plants(image);
  paint_sand(image);
  paint_gravel_and_rocks(image);
  paint_front_plants(image);
  paint_air_pipe(image);
  paint_motes(image);
  paint_light_shafts(image);
  finish_photo(image);
  return image;
}

}  // namespace assetgen
