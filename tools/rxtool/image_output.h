// Writing RGB pictures as binary PPM or PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rxtool {

// rgb holds width x height pixels of red, green, blue, top row first.
// The format follows the file name's ending (.png, else PPM). False when
// the file could not be written.
bool write_picture(const std::string& path, int32_t width, int32_t height,
                   const std::vector<uint8_t>& rgb);

}  // namespace rxtool
