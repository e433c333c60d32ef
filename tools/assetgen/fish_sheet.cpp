#include "fish_sheet.h"

#include <algorithm>
#include <cmath>

#include "noise.h"
#include "photo.h"
#include "quantize.h"
#include "raster.h"

namespace assetgen {
namespace {

// Fish are drawn over open water, so the antialiased fringe that survives
// the cut carries water colour rather than a dark halo.
const Rgb kMidWater{32, 96, 150};
// Pixels covered less than this are background: black, transparent.
constexpr double kCoverage = 0.5;
constexpr int kColours = 256;
constexpr uint32_t kFishGrainSeed = 41;

// True when the colour packs to 0 in 5-6-5, which the demo treats as transparent.
bool packs_to_zero(double r, double g, double b) { return r < 8 && g < 4 && b < 8; }

// Lifts a colour that would vanish as transparent to the darkest safe grey-blue.
void keep_visible(float* p) {
  if (packs_to_zero(p[0], p[1], p[2]) || (p[0] < 10 && p[1] < 10 && p[2] < 10)) {
    p[0] = std::max(p[0], 10.0f);
    p[1] = std::max(p[1], 10.0f);
    p[2] = std::max(p[2], 12.0f);
  }
}

// Draws one frame and lays its fish pixels into the picture; background
// pixels stay black. The canvas is the smallest frame size of the kind and
// sits at the lower-left corner of the rectangle, where the demo anchors
// sprites, so the body never moves between frames.
void render_frame(const FishKind& kind, int frame, int canvas_w, int canvas_h, Image& picture,
                  std::vector<bool>& is_fish) {
  Layer layer(canvas_w, canvas_h);
  cairo_t* cr = layer.cr();
  if (kind.facing == kFacingLeft) {
    cairo_translate(cr, canvas_w, 0);
    cairo_scale(cr, -1, 1);
  }
  kind.draw(cr, pose_of_frame(frame), canvas_w, canvas_h);
  layer.flush();

  const FrameRect& rect = kind.frames[frame];
  const int left = rect.min_x;
  const int top = rect.max_y - canvas_h + 1;
  double px[4];
  // The outermost ring of the canvas stays black so each frame is strictly
  // inside its rectangle.
  for (int y = 1; y + 1 < canvas_h; ++y) {
    for (int x = 1; x + 1 < canvas_w; ++x) {
      layer.pixel(x, y, px);
      if (px[3] < kCoverage) continue;
      float* p = picture.at(left + x, top + y);
      const double water[3] = {kMidWater.r, kMidWater.g, kMidWater.b};
      const double grain = 3 * (lattice(x, y, kFishGrainSeed) - 0.5);  // fixed to the fish, not the picture
      for (int c = 0; c < 3; ++c) {
        p[c] = static_cast<float>(std::clamp(px[c] * 255 + water[c] * (1 - px[3]) + grain, 0.0, 255.0));
      }
      keep_visible(p);
      is_fish[(top + y) * kPhotoWidth + left + x] = true;
    }
  }
}

}  // namespace

rx::support::PcxPicture render_fish_picture(const FishKind& kind) {
  int canvas_w = kind.frames[0].width();
  int canvas_h = kind.frames[0].height();
  for (int i = 1; i < kind.frame_count; ++i) {
    canvas_w = std::min(canvas_w, kind.frames[i].width());
    canvas_h = std::min(canvas_h, kind.frames[i].height());
  }

  Image picture(kPhotoWidth, kPhotoHeight);
  std::vector<bool> is_fish(kPhotoWidth * kPhotoHeight, false);
  for (int i = 0; i < kind.frame_count; ++i) render_frame(kind, i, canvas_w, canvas_h, picture, is_fish);

  const std::vector<uint8_t> rgb = picture.to_bytes();
  std::vector<uint8_t> fish_rgb;
  for (size_t i = 0; i < is_fish.size(); ++i) {
    if (is_fish[i]) fish_rgb.insert(fish_rgb.end(), &rgb[3 * i], &rgb[3 * i + 3]);
  }
  // Index 0 is black for the background; the fish share the other 255.
  std::vector<Rgb8> palette{Rgb8{0, 0, 0}};
  for (const Rgb8& c : choose_palette(histogram(fish_rgb), kColours - 1)) {
    Rgb8 safe = c;
    if (packs_to_zero(safe[0], safe[1], safe[2])) safe = {10, 10, 12};
    palette.push_back(safe);
  }
  const std::vector<uint8_t> fish_indices = map_to_palette(fish_rgb, palette, 1);

  rx::support::PcxPicture pcx;
  pcx.width = kPhotoWidth;
  pcx.height = kPhotoHeight;
  pcx.planes = 1;
  pcx.bits_per_plane = 8;
  pcx.version = 5;
  pcx.pixels.assign(static_cast<size_t>(kPhotoWidth) * kPhotoHeight, 0);
  size_t next = 0;
  for (size_t i = 0; i < is_fish.size(); ++i) {
    if (is_fish[i]) pcx.pixels[i] = fish_indices[next++];
  }
  pcx.palette.assign(3 * kColours, 0);
  for (size_t k = 0; k < palette.size(); ++k) std::copy(palette[k].begin(), palette[k].end(), &pcx.palette[3 * k]);
  return pcx;
}

}  // namespace assetgen
