// Reading a file through an InputBuffer of any size must draw what the
// same bytes draw from memory. The harness gathers the pictures and flics
// to try (the shared corpus, its hostile files, cut copies of the sound
// ones and the kept fuzz findings), decodes one of them either way through
// the public API and sums up what it drew.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rastrix.h"

namespace rx::support {

enum class Format { kPcx, kJpeg, kFlic };

// One file to decode and how: depth, buffer size, flags, drawing position.
struct Sample {
  std::string name;
  std::vector<uint8_t> bytes;
  int32_t bits = 8;
  int32_t width = 320, height = 240;
  int32_t flags = 0;
  int32_t x = 0, y = 0;
};

// Every file of a format at each of the given depths; empty when the
// corpus is not to be found (RASTRIX_SHARED_DIR unset or wrong).
std::vector<Sample> samples(Format format, const std::vector<int32_t>& depths);

// The sizes to try: 1 to 300 bytes and the built-in size (0). With
// RASTRIX_INPUT_SIZES=few (the sanitizer tree) only 1 to 16, a spread up
// to 300 and the built-in size.
std::vector<int32_t> input_sizes();

// What one decode left: every call's result and, after every call that
// draws, a digest of the buffer's pixels, palette and palette map.
struct Outcome {
  std::vector<int32_t> results;
  std::vector<uint64_t> pictures;
  bool operator==(const Outcome&) const = default;
};

// Marks an InputBuffer size as memory mode: the whole file installed.
inline constexpr int32_t kFromMemory = -1;

// Decodes the sample (written to path) from memory or through an
// InputBuffer of input_size bytes (0: the built-in one), in a fresh
// library. Flics are played one frame at a time to the end and once
// more, rewound, skipped by one frame and played once more.
Outcome decode(Format format, const Sample& sample, const std::string& path,
               int32_t input_size);

// Where two outcomes first part, for the failure message.
std::string first_difference(const Outcome& want, const Outcome& got);

// Fails the running test for every sample of the format, at each depth,
// that some InputBuffer size decodes otherwise than memory mode; the
// message names the first such size.
void expect_file_as_memory(Format format, const std::vector<int32_t>& depths);

}  // namespace rx::support
