// Colour reduction to a palette: median cut, then a few rounds of k-means
// (Lloyd) refinement. Deterministic: ties break on the colour's value.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace assetgen {

using Rgb8 = std::array<uint8_t, 3>;

struct WeightedColour {
  Rgb8 colour;
  double weight;
};

// Counts each distinct colour of the pixels (RGB triples), sorted by colour.
std::vector<WeightedColour> histogram(const std::vector<uint8_t>& rgb);
// Merges histograms, adding weights of equal colours; `scale` multiplies the
// weights of the added one.
void add_histogram(std::vector<WeightedColour>& into, const std::vector<WeightedColour>& added,
                   double scale);

// Up to `count` colours that represent the histogram.
std::vector<Rgb8> choose_palette(const std::vector<WeightedColour>& colours, int count);

// Index of the palette entry nearest to the colour, searching entries from
// `first` on.
int nearest(const std::vector<Rgb8>& palette, const Rgb8& colour, int first = 0);

// Pixels (RGB triples) mapped to palette indices through a cache of
// distinct colours, entries from `first` on.
std::vector<uint8_t> map_to_palette(const std::vector<uint8_t>& rgb, const std::vector<Rgb8>& palette,
                                    int first = 0);

}  // namespace assetgen
