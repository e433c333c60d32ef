// Colours of the active buffer as an outside reader sees them, and the
// check of an 8-bit decode against a 24-bit decode of the same picture.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rx::support {

using Rgb = std::array<uint8_t, 3>;

// The colour of every pixel of the active buffer's top-left width x height,
// row by row from the top: 8-bit indexes through the library palette,
// deeper pixels as stored.
std::vector<Rgb> buffer_colours(int32_t width, int32_t height);

// The library palette's entries first .. first + count - 1.
std::vector<Rgb> palette_colours(int32_t first, int32_t count);

// Checks pixels drawn into an 8-bit buffer (realised) against the same
// pixels at 24 bits (source). The reduction keeps at most kept.size()
// colours: each step drops one colour of the closest pair of colours still
// in play (sources: every colour that takes part) and sends its pixels,
// with those sent to it before, to the other. So:
// - with no more distinct sources than kept entries, every pixel is exact;
// - a source colour always becomes the same kept colour, and a kept
//   source colour stays itself;
// - a dropped colour went to a colour of its own group no farther than
//   its nearest kept colour (the nearest kept colour itself unless a
//   chain of merges led through another dropped colour).
// Returns the first fault found, or an empty string.
std::string check_reduced(const std::vector<Rgb>& source, const std::vector<Rgb>& realised,
                          const std::vector<Rgb>& kept, const std::vector<Rgb>& sources);

}  // namespace rx::support
