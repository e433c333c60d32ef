#include "support/realised_colours.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "rastrix.h"

namespace rx::support {

namespace {

uint32_t distance(const Rgb& a, const Rgb& b) {
  uint32_t d = 0;
  for (int c = 0; c < 3; ++c) d += static_cast<uint32_t>((a[c] - b[c]) * (a[c] - b[c]));
  return d;
}

std::string text(const Rgb& c) {
  char out[16];
  std::snprintf(out, sizeof out, "(%d,%d,%d)", c[0], c[1], c[2]);
  return out;
}

}  // namespace

std::vector<Rgb> buffer_colours(int32_t width, int32_t height) {
  RxPixels px;
  std::vector<Rgb> out;
  if (rx_buffer_pixels(&px) != 0) return out;
  const int32_t bytes = px.bits / 8;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = px.pixels + static_cast<size_t>(px.height - 1 - y) * px.bytes_per_row;
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* p = row + static_cast<size_t>(x) * bytes;
      if (px.bits == 8)
        out.push_back({px.palette[*p][0], px.palette[*p][1], px.palette[*p][2]});
      else
        out.push_back({p[2], p[1], p[0]});
    }
  }
  return out;
}

std::vector<Rgb> palette_colours(int32_t first, int32_t count) {
  RxPixels px;
  std::vector<Rgb> out;
  if (rx_buffer_pixels(&px) != 0) return out;
  for (int32_t i = first; i < first + count; ++i)
    out.push_back({px.palette[i][0], px.palette[i][1], px.palette[i][2]});
  return out;
}

std::string check_reduced(const std::vector<Rgb>& source, const std::vector<Rgb>& realised,
                          const std::vector<Rgb>& kept, const std::vector<Rgb>& sources) {
  if (source.size() != realised.size()) return "pixel counts differ";
  const std::set<Rgb> distinct(sources.begin(), sources.end());
  const bool reduced = distinct.size() > kept.size();
  std::map<Rgb, Rgb> became;
  for (size_t i = 0; i < source.size(); ++i) {
    const std::string at = "pixel " + std::to_string(i) + ": " + text(source[i]) + " became " +
                           text(realised[i]);
    if (!reduced && realised[i] != source[i]) return at + " although nothing is reduced";
    if (!distinct.count(source[i])) return at + ", a colour not among the sources";
    const auto [where, fresh] = became.emplace(source[i], realised[i]);
    if (!fresh && where->second != realised[i])
      return at + " and also " + text(where->second);
  }
  const std::set<Rgb> kept_set(kept.begin(), kept.end());
  for (const auto& [from, to] : became) {
    const std::string what = text(from) + " became " + text(to);
    if (!kept_set.count(to)) return what + ", which is not kept";
    if (kept_set.count(from) && from != to) return what + " although it is kept";
    if (from == to) continue;
    uint32_t nearest_kept = UINT32_MAX;
    for (const Rgb& k : kept) nearest_kept = std::min(nearest_kept, distance(from, k));
    // The colour it was merged with: to itself, or another source colour
    // that went to the same kept colour (or whose fate no pixel shows).
    bool partner = distance(from, to) <= nearest_kept;
    for (const Rgb& b : distinct) {
      if (partner) break;
      if (b == from || distance(from, b) > nearest_kept) continue;
      const auto fate = became.find(b);
      partner = fate == became.end() || fate->second == to;
    }
    if (!partner)
      return what + ": no colour of its group is as near as its nearest kept colour (" +
             std::to_string(nearest_kept) + ")";
  }
  return "";
}

}  // namespace rx::support
