// Writing a rectangle of the active buffer as binary PPM or PNG, one row
// at a time straight from the buffer.
#pragma once

#include <cstdint>
#include <string>

#include "rastrix.h"

namespace rxtool {

enum class OutputKind { kPpm, kPng };

// The format a file name asks for: .ppm or .pnm PPM, .png PNG, "-" (standard
// output) PPM. False for any other name.
bool output_kind(const std::string& path, OutputKind& kind);

// Columns x .. x + width - 1 and rows y .. y + height - 1 (0 is the top),
// inside the buffer.
struct Region {
  int32_t x, y, width, height;
};

struct OutputOptions {
  int png_level = 1;         // zlib level 0..9
  bool show_progress = true;  // on a terminal, for big pictures
};

// Writes region of pixels to path ("-": standard output); false with the
// reason when it cannot be written.
bool write_picture(const std::string& path, OutputKind kind, const RxPixels& pixels,
                   const Region& region, const OutputOptions& options, std::string& error);

}  // namespace rxtool
