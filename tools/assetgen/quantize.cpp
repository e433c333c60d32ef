#include "quantize.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace assetgen {
namespace {

// Rough perceptual weights: the eye is keenest on green, least on blue.
constexpr double kWeight[3] = {3, 4, 2};
constexpr int kRefineRounds = 10;

uint32_t key(const Rgb8& c) { return static_cast<uint32_t>(c[0]) << 16 | c[1] << 8 | c[2]; }

double distance(const double a[3], const Rgb8& b) {
  double sum = 0;
  for (int c = 0; c < 3; ++c) sum += kWeight[c] * (a[c] - b[c]) * (a[c] - b[c]);
  return sum;
}

struct Box {
  size_t begin, end;  // range in the working list
  int axis;
  double spread;      // weighted spread along the axis
};

Box measure(const std::vector<WeightedColour>& list, size_t begin, size_t end) {
  Box box{begin, end, 0, 0};
  for (int c = 0; c < 3; ++c) {
    double total = 0, mean = 0;
    for (size_t i = begin; i < end; ++i) {
      total += list[i].weight;
      mean += list[i].weight * list[i].colour[c];
    }
    mean /= total;
    double var = 0;
    for (size_t i = begin; i < end; ++i) var += list[i].weight * std::pow(list[i].colour[c] - mean, 2);
    const double spread = var * kWeight[c];
    if (spread > box.spread) {
      box.spread = spread;
      box.axis = c;
    }
  }
  return box;
}

}  // namespace

std::vector<WeightedColour> histogram(const std::vector<uint8_t>& rgb) {
  std::unordered_map<uint32_t, double> counts;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) counts[key({rgb[i], rgb[i + 1], rgb[i + 2]})] += 1;
  std::vector<WeightedColour> out;
  out.reserve(counts.size());
  for (const auto& [k, n] : counts) {
    out.push_back({Rgb8{static_cast<uint8_t>(k >> 16), static_cast<uint8_t>(k >> 8), static_cast<uint8_t>(k)}, n});
  }
  std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return key(a.colour) < key(b.colour); });
  return out;
}

void add_histogram(std::vector<WeightedColour>& into, const std::vector<WeightedColour>& added, double scale) {
  std::vector<WeightedColour> merged;
  merged.reserve(into.size() + added.size());
  size_t i = 0, j = 0;
  while (i < into.size() || j < added.size()) {
    if (j == added.size() || (i < into.size() && key(into[i].colour) < key(added[j].colour))) {
      merged.push_back(into[i++]);
    } else if (i == into.size() || key(added[j].colour) < key(into[i].colour)) {
      merged.push_back({added[j].colour, added[j].weight * scale});
      ++j;
    } else {
      merged.push_back({into[i].colour, into[i].weight + added[j].weight * scale});
      ++i;
      ++j;
    }
  }
  into = std::move(merged);
}

std::vector<Rgb8> choose_palette(const std::vector<WeightedColour>& colours, int count) {
  if (colours.empty() || count <= 0) return {};
  std::vector<WeightedColour> list = colours;
  std::vector<Box> boxes{measure(list, 0, list.size())};
  // Median cut: split the box with the largest weighted spread at its
  // weighted median along its widest axis.
  while (static_cast<int>(boxes.size()) < count) {
    auto widest = std::max_element(boxes.begin(), boxes.end(),
                                   [](const Box& a, const Box& b) { return a.spread < b.spread; });
    if (widest->spread <= 0 || widest->end - widest->begin < 2) break;
    const Box box = *widest;
    std::stable_sort(list.begin() + static_cast<long>(box.begin), list.begin() + static_cast<long>(box.end),
                     [axis = box.axis](const auto& a, const auto& b) { return a.colour[axis] < b.colour[axis]; });
    double total = 0;
    for (size_t i = box.begin; i < box.end; ++i) total += list[i].weight;
    double running = 0;
    size_t split = box.begin + 1;
    for (size_t i = box.begin; i < box.end - 1; ++i) {
      running += list[i].weight;
      split = i + 1;
      if (running >= total / 2) break;
    }
    *widest = measure(list, box.begin, split);
    boxes.push_back(measure(list, split, box.end));
  }

  std::vector<std::array<double, 3>> centres;
  for (const Box& box : boxes) {
    std::array<double, 3> sum{};
    double total = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
      for (int c = 0; c < 3; ++c) sum[c] += list[i].weight * list[i].colour[c];
      total += list[i].weight;
    }
    for (double& s : sum) s /= total;
    centres.push_back(sum);
  }

  // Lloyd refinement over the distinct colours.
  std::vector<Rgb8> palette(centres.size());
  auto round_centres = [&] {
    for (size_t k = 0; k < centres.size(); ++k) {
      for (int c = 0; c < 3; ++c) {
        palette[k][c] = static_cast<uint8_t>(std::clamp(std::lround(centres[k][c]), 0L, 255L));
      }
    }
  };
  round_centres();
  for (int round = 0; round < kRefineRounds; ++round) {
    std::vector<std::array<double, 4>> sums(centres.size(), {0, 0, 0, 0});
    for (const WeightedColour& wc : colours) {
      const int k = nearest(palette, wc.colour);
      for (int c = 0; c < 3; ++c) sums[k][c] += wc.weight * wc.colour[c];
      sums[k][3] += wc.weight;
    }
    for (size_t k = 0; k < centres.size(); ++k) {
      if (sums[k][3] > 0) {
        for (int c = 0; c < 3; ++c) centres[k][c] = sums[k][c] / sums[k][3];
      }
    }
    round_centres();
  }
  return palette;
}

int nearest(const std::vector<Rgb8>& palette, const Rgb8& colour, int first) {
  const double target[3] = {static_cast<double>(colour[0]), static_cast<double>(colour[1]),
                            static_cast<double>(colour[2])};
  int best = first;
  double best_distance = std::numeric_limits<double>::max();
  for (int k = first; k < static_cast<int>(palette.size()); ++k) {
    const double d = distance(target, palette[k]);
    if (d < best_distance) {
      best_distance = d;
      best = k;
    }
  }
  return best;
}

std::vector<uint8_t> map_to_palette(const std::vector<uint8_t>& rgb, const std::vector<Rgb8>& palette, int first) {
  std::unordered_map<uint32_t, uint8_t> cache;
  std::vector<uint8_t> out(rgb.size() / 3);
  for (size_t i = 0; i < out.size(); ++i) {
    const Rgb8 c{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
    auto [it, inserted] = cache.try_emplace(key(c), 0);
    if (inserted) it->second = static_cast<uint8_t>(nearest(palette, c, first));
    out[i] = it->second;
  }
  return out;
}

}  // namespace assetgen
