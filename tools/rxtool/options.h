// rxtool's command line: commands, options in both long forms
// (--depth 16, --depth=16), and the help text of each command.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rxtool {

// The default pixel limit: 8192 x 8192.
inline constexpr int64_t kDefaultMaxPixels = int64_t{1} << 26;

struct Options {
  std::string command;
  std::vector<std::string> files;
  std::string output;
  int32_t depth = 24;
  bool from_memory = false;
  bool no_reduce = false;
  bool keep_palette = false;
  bool at = false;
  int32_t at_x = 0, at_y = 0;
  bool sized = false;
  int32_t size_w = 0, size_h = 0;
  std::string frame_format = "ppm";
  int32_t loops = 1;
  int32_t png_level = 1;
  int64_t max_pixels = kDefaultMaxPixels;
};

enum class Parsed { kRun, kHelp, kVersion, kError };

// Reads argv into options; on kHelp help holds the text to print, on
// kError error holds the message.
Parsed parse_command_line(int argc, const char* const* argv, Options& options, std::string& help,
                          std::string& error);

// The general usage text, or one command's ("" for an unknown command).
std::string usage_text();
std::string command_help(const std::string& command);

}  // namespace rxtool
