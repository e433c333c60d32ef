// The fish tank's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fishtank {

struct Options {
  bool windowed = false;
  bool headless = false;
  bool hold = false;
  bool help = false;
  bool version = false;
  int64_t frames = -1;  // -1: not given
  std::string record;   // .gif or .png
  bool seed_given = false;
  uint32_t seed = 0;
  std::string assets;         // empty: search the default places
  int32_t desktop_depth = 0;  // 0: not given
  int32_t answer = 0;         // headless message boxes: 0 default, else Yes/No
  int32_t fps = -1;           // steps a second; -1: not given, 0: unpaced
};

// Reads the arguments after the program name. On a bad argument returns
// false with *error saying which.
bool parse_options(const std::vector<std::string>& args, Options* out, std::string* error);

const char* usage_text();

}  // namespace fishtank
