#include "options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace rxtool {

namespace {

enum Command : unsigned { kInfo = 1, kDecode = 2, kFrames = 4, kShow = 8, kPlay = 16 };

struct CommandText {
  const char* name;
  unsigned bit;
  const char* synopsis;
  const char* description;
  const char* example;
};

constexpr CommandText kCommands[] = {
    {"info", kInfo, "rxtool info FILE...",
     "Prints what the library reads in each PCX, JPEG or flic file: format, size,\n"
     "variant, palette, sampling, frames, chunks.",
     "rxtool info photo.jpg fish.pcx wheel.flc"},
    {"decode", kDecode, "rxtool decode FILE -o OUT.ppm|OUT.png|- [options]",
     "Shows a PCX or JPEG picture through the library into a buffer of the chosen\n"
     "depth and writes the picture's area as RGB (binary PPM or PNG, by the ending\n"
     "of OUT; \"-\" writes PPM to standard output). With --at and --size the\n"
     "picture is placed at X,Y in a buffer of WxH and the whole buffer is written.",
     "rxtool decode photo.jpg -o photo.png --depth 16"},
    {"frames", kFrames, "rxtool frames FLIC -o DIR [options]",
     "Plays a flic one frame per call and writes each frame the flic holds as\n"
     "DIR/frame_0001.ppm, frame_0002.ppm, ... (DIR is made if missing). The ring\n"
     "frame that leads back to the first is not a new frame; --loops N plays the\n"
     "animation N times through it.",
     "rxtool frames wheel.flc -o frames --format png --loops 2"},
    {"show", kShow, "rxtool show FILE [options]",
     "Shows a PCX or JPEG picture through the library into a buffer of the chosen\n"
     "depth and from there in a window of the picture's size (shrunk to fit the\n"
     "desktop when larger). Escape, Q or closing the window ends it. Exit status\n"
     "4 when no window can be opened (no display, or a library built without a\n"
     "window backend).",
     "rxtool show photo.jpg --depth 16"},
    {"play", kPlay, "rxtool play FLIC [options]",
     "Plays a flic in a window of its size at the flic's own speed, over and over.\n"
     "Space pauses and goes on, Escape, Q or closing the window ends it. Exit\n"
     "status 4 when no window can be opened.",
     "rxtool play wheel.flc --depth 16"},
};

struct OptionText {
  const char* name;
  const char* value;  // null: a switch
  unsigned commands;
  const char* help;
};

constexpr OptionText kOptionTexts[] = {
    {"-o", "PATH", kDecode | kFrames,
     "decode: the picture to write (.ppm, .pnm, .png, or - for standard output);\n"
     "frames: the folder for the frames. Example: -o out.png"},
    {"--depth", "8|16|24|32", kDecode | kFrames | kShow | kPlay,
     "bits per pixel of the library's buffer (default 24). JPEG pictures are not\n"
     "drawn into 8-bit buffers. Example: --depth=16"},
    {"--from-memory", nullptr, kDecode | kFrames | kShow | kPlay,
     "read the whole file first and let the library read it from memory (the\n"
     "InputBuffer) instead of the file; standard input and pipes always are.\n"
     "Example: --from-memory"},
    {"--no-reduce", nullptr, kDecode | kFrames | kShow | kPlay,
     "8-bit buffers: load a picture's colours without fitting them into the 236\n"
     "free palette entries. Example: --depth 8 --no-reduce"},
    {"--keep-palette", nullptr, kDecode | kFrames | kShow | kPlay,
     "leave the palette as it is: pictures do not load their colours, flics skip\n"
     "palette chunks. Example: --keep-palette"},
    {"--at", "X,Y", kDecode,
     "with --size: the picture's upper-left corner in the buffer (may be negative;\n"
     "what falls outside is clipped). Example: --at 10,-20 --size 320x200"},
    {"--size", "WxH", kDecode,
     "the buffer's size; the whole buffer is written. Example: --size 640x480"},
    {"--max-pixels", "N", kDecode | kFrames | kShow | kPlay,
     "refuse pictures and buffers of more than N pixels before anything is made\n"
     "(default 67108864, 8192 x 8192). Example: --max-pixels 1000000"},
    {"--png-level", "0..9", kDecode | kFrames,
     "zlib level of PNG output: 1 (the default) is fast, 9 smallest.\n"
     "Example: --png-level 9"},
    {"--format", "ppm|png", kFrames, "the frames' file format (default ppm). Example: --format png"},
    {"--loops", "N", kFrames,
     "play the animation N times (default 1): N x frames files. Example: --loops 3"},
    {"--help", nullptr, kInfo | kDecode | kFrames | kShow | kPlay, "this text. Example: rxtool decode --help"},
};

const CommandText* find_command(const std::string& name) {
  for (const CommandText& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

const OptionText* find_option(const std::string& name, unsigned command) {
  for (const OptionText& o : kOptionTexts)
    if (name == o.name && (o.commands & command) != 0) return &o;
  return nullptr;
}

bool parse_int(const char* text, int64_t low, int64_t high, int64_t& out) {
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || errno == ERANGE || v < low || v > high) return false;
  out = v;
  return true;
}

bool parse_pair(const char* text, char separator, int32_t* a, int32_t* b) {
  const char* split = std::strchr(text, separator);
  if (split == nullptr) return false;
  std::string first(text, split);
  int64_t x = 0, y = 0;
  if (!parse_int(first.c_str(), INT32_MIN, INT32_MAX, x) ||
      !parse_int(split + 1, INT32_MIN, INT32_MAX, y))
    return false;
  *a = static_cast<int32_t>(x);
  *b = static_cast<int32_t>(y);
  return true;
}

// Stores one option's value; false with the message.
bool apply(const std::string& name, const char* v, Options& o, std::string& error) {
  int64_t n = 0;
  if (name == "-o") {
    o.output = v;
  } else if (name == "--depth") {
    if (!parse_int(v, 8, 32, n) || n % 8 != 0) return error = "--depth must be 8, 16, 24 or 32", false;
    o.depth = static_cast<int32_t>(n);
  } else if (name == "--at") {
    if (!parse_pair(v, ',', &o.at_x, &o.at_y)) return error = "--at needs X,Y", false;
    o.at = true;
  } else if (name == "--size") {
    if (!parse_pair(v, 'x', &o.size_w, &o.size_h) || o.size_w < 1 || o.size_h < 1)
      return error = "--size needs WxH, both at least 1", false;
    o.sized = true;
  } else if (name == "--max-pixels") {
    if (!parse_int(v, 1, INT64_MAX, n)) return error = "--max-pixels needs a count above 0", false;
    o.max_pixels = n;
  } else if (name == "--png-level") {
    if (!parse_int(v, 0, 9, n)) return error = "--png-level must be 0 to 9", false;
    o.png_level = static_cast<int32_t>(n);
  } else if (name == "--format") {
    if (std::strcmp(v, "ppm") != 0 && std::strcmp(v, "png") != 0)
      return error = "--format must be ppm or png", false;
    o.frame_format = v;
  } else if (name == "--loops") {
    if (!parse_int(v, 1, 1000, n)) return error = "--loops must be 1 to 1000", false;
    o.loops = static_cast<int32_t>(n);
  }
  return true;
}

void set_switch(const std::string& name, Options& o) {
  if (name == "--from-memory") o.from_memory = true;
  if (name == "--no-reduce") o.no_reduce = true;
  if (name == "--keep-palette") o.keep_palette = true;
}

}  // namespace

std::string usage_text() {
  std::string out = "usage:\n";
  for (const CommandText& c : kCommands) out += "  " + std::string(c.synopsis) + "\n";
  out +=
      "  rxtool help COMMAND     (or COMMAND --help): the command's options\n"
      "  rxtool --version\n"
      "\n"
      "FILE may be - for standard input. Exit status: 0 the library drew the\n"
      "picture, 1 bad usage, 2 the input cannot be drawn (the message says why),\n"
      "3 output could not be written, 4 no window could be opened (show, play).\n";
  return out;
}

std::string command_help(const std::string& command) {
  const CommandText* c = find_command(command);
  if (c == nullptr) return "";
  std::string out = "usage: " + std::string(c->synopsis) + "\n\n" + c->description + "\n";
  bool any = false;
  for (const OptionText& o : kOptionTexts) {
    if ((o.commands & c->bit) == 0) continue;
    if (!any) out += "\noptions (--opt VALUE and --opt=VALUE both work):\n";
    any = true;
    out.append("  ").append(o.name);
    if (o.value != nullptr) out.append(" ").append(o.value);
    out += "\n";
    std::string help = o.help;
    for (size_t at = 0; at < help.size();) {
      size_t end = help.find('\n', at);
      if (end == std::string::npos) end = help.size();
      out += "      " + help.substr(at, end - at) + "\n";
      at = end + 1;
    }
  }
  out += "\nexample: " + std::string(c->example) + "\n";
  return out;
}

Parsed parse_command_line(int argc, const char* const* argv, Options& o, std::string& help,
                          std::string& error) {
  if (argc < 2) return error = "no command", Parsed::kError;
  o.command = argv[1];
  if (o.command == "--version") return Parsed::kVersion;
  if (o.command == "--help" || o.command == "-h") return help = usage_text(), Parsed::kHelp;
  if (o.command == "help") {
    if (argc < 3) return help = usage_text(), Parsed::kHelp;
    help = command_help(argv[2]);
    if (help.empty()) return error = std::string("unknown command ") + argv[2], Parsed::kError;
    return Parsed::kHelp;
  }
  const CommandText* command = find_command(o.command);
  if (command == nullptr) return error = "unknown command " + o.command, Parsed::kError;
  bool options_end = false;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (options_end || a == "-" || a.empty() || a[0] != '-') {
      o.files.push_back(a);
      continue;
    }
    if (a == "--") {
      options_end = true;
      continue;
    }
    if (a == "-h") a = "--help";
    std::string name = a;
    const char* value = nullptr;
    size_t equals = a.find('=');
    if (a.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      name = a.substr(0, equals);
      value = argv[i] + equals + 1;
    }
    const OptionText* option = find_option(name, command->bit);
    if (option == nullptr) {
      error = "unknown option " + name + " for " + o.command;
      return Parsed::kError;
    }
    if (name == "--help") return help = command_help(o.command), Parsed::kHelp;
    if (option->value == nullptr) {
      if (value != nullptr) return error = name + " takes no value", Parsed::kError;
      set_switch(name, o);
      continue;
    }
    if (value == nullptr) {
      if (i + 1 >= argc) return error = name + " needs " + option->value, Parsed::kError;
      value = argv[++i];
    }
    if (!apply(name, value, o, error)) return Parsed::kError;
  }
  return Parsed::kRun;
}

}  // namespace rxtool
