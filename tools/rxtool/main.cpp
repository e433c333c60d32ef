// rxtool: look at and decode pictures and flics through the Rastrix library.
//
//   rxtool info FILE...
//   rxtool info --cpu
//   rxtool decode FILE -o OUT.ppm|OUT.png [--depth 8|16|24|32] [--from-memory]
//                 [--no-reduce] [--keep-palette] [--at X,Y --size WxH]
//   rxtool frames FLIC -o DIR [--depth ...] [--from-memory] [--format ppm|png]
//
// Exit status: 0 success, 1 bad usage, 2 the library refused the input,
// 3 output could not be written.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/state.h"
#include "formats.h"
#include "image_output.h"
#include "rastrix.h"

namespace rxtool {

namespace {

enum Exit { kSuccess = 0, kUsage = 1, kRefused = 2, kOutputFailed = 3 };

constexpr char kUsageText[] =
    "usage:\n"
    "  rxtool info FILE...\n"
    "  rxtool info --cpu      the instruction level in use (RASTRIX_CPU caps it)\n"
    "  rxtool decode FILE -o OUT.ppm|OUT.png [--depth 8|16|24|32] [--from-memory]\n"
    "                [--no-reduce] [--keep-palette] [--at X,Y --size WxH]\n"
    "  rxtool frames FLIC -o DIR [--depth 8|16|24|32] [--from-memory] [--format ppm|png]\n"
    "                [--no-reduce] [--keep-palette]\n"
    "\n"
    "decode shows a PCX or JPEG picture through the library into a buffer of the\n"
    "chosen depth (default 24) and writes the picture's area as RGB. frames plays a\n"
    "flic one frame per call and writes DIR/frame_0001.ppm, ...\n"
    "Exit status: 0 success, 1 bad usage, 2 the library refused the input,\n"
    "3 output could not be written.\n";

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
};

int usage_error(const char* what) {
  std::fprintf(stderr, "rxtool: %s\n%s", what, kUsageText);
  return kUsage;
}

bool parse_pair(const char* text, char separator, int32_t* a, int32_t* b) {
  char* end = nullptr;
  long x = std::strtol(text, &end, 10);
  if (end == text || *end != separator) return false;
  const char* second = end + 1;
  long y = std::strtol(second, &end, 10);
  if (end == second || *end != '\0') return false;
  if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return false;
  *a = static_cast<int32_t>(x);
  *b = static_cast<int32_t>(y);
  return true;
}

// 0 when parsed; otherwise an exit status (help printed counts as success).
int parse(int argc, char** argv, Options& o, bool* done) {
  *done = false;
  if (argc < 2) return usage_error("no command");
  o.command = argv[1];
  if (o.command == "--help" || o.command == "-h" || o.command == "help") {
    std::fputs(kUsageText, stdout);
    *done = true;
    return kSuccess;
  }
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) return nullptr;
      (void)name;
      return argv[++i];
    };
    if (a == "--help" || a == "-h") {
      std::fputs(kUsageText, stdout);
      *done = true;
      return kSuccess;
    } else if (a == "-o") {
      const char* v = value("-o");
      if (!v) return usage_error("-o needs a path");
      o.output = v;
    } else if (a == "--depth") {
      const char* v = value("--depth");
      if (!v) return usage_error("--depth needs 8, 16, 24 or 32");
      o.depth = std::atoi(v);
      if (o.depth != 8 && o.depth != 16 && o.depth != 24 && o.depth != 32)
        return usage_error("--depth must be 8, 16, 24 or 32");
    } else if (a == "--from-memory") {
      o.from_memory = true;
    } else if (a == "--no-reduce") {
      o.no_reduce = true;
    } else if (a == "--keep-palette") {
      o.keep_palette = true;
    } else if (a == "--at") {
      const char* v = value("--at");
      if (!v || !parse_pair(v, ',', &o.at_x, &o.at_y)) return usage_error("--at needs X,Y");
      o.at = true;
    } else if (a == "--size") {
      const char* v = value("--size");
      if (!v || !parse_pair(v, 'x', &o.size_w, &o.size_h) || o.size_w < 1 || o.size_h < 1)
        return usage_error("--size needs WxH");
      o.sized = true;
    } else if (a == "--format") {
      const char* v = value("--format");
      if (!v || (std::strcmp(v, "ppm") != 0 && std::strcmp(v, "png") != 0))
        return usage_error("--format must be ppm or png");
      o.frame_format = v;
    } else if (!a.empty() && a[0] == '-') {
      return usage_error(("unknown option " + a).c_str());
    } else {
      o.files.push_back(a);
    }
  }
  return kSuccess;
}

bool read_whole_file(const std::string& path, std::vector<uint8_t>& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return data.size() < static_cast<size_t>(INT32_MAX);
}

void start_library(int32_t depth) {
  rx_set_dc(rx_headless_screen(640, 480, 32));
  rx_init();
  rx_set_buffer_depth(depth);
}

// The active buffer's rectangle as RGB; 8-bit pixels through the library
// palette, 16-bit pixels widened by rx_unpack_rgb.
std::vector<uint8_t> read_area(int32_t x, int32_t y, int32_t w, int32_t h) {
  const rx::LibraryState& s = rx::state();
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  uint8_t* out = rgb.data();
  for (int32_t row = 0; row < h; ++row) {
    const uint8_t* p = rx::active_row(y + row) + static_cast<size_t>(x) * (s.active_bits / 8);
    for (int32_t col = 0; col < w; ++col, out += 3) {
      switch (s.active_bits) {
        case 8: {
          const rx::LogPaletteEntry& e = s.log_palette.entries[p[col]];
          out[0] = e.red, out[1] = e.green, out[2] = e.blue;
          break;
        }
        case 16: {
          int32_t r = 0, g = 0, b = 0;
          rx_unpack_rgb(static_cast<uint32_t>(p[2 * col] | p[2 * col + 1] << 8), &r, &g, &b);
          out[0] = static_cast<uint8_t>(r), out[1] = static_cast<uint8_t>(g),
          out[2] = static_cast<uint8_t>(b);
          break;
        }
        default: {
          const uint8_t* q = p + static_cast<size_t>(col) * (s.active_bits / 8);
          out[0] = q[2], out[1] = q[1], out[2] = q[0];
        }
      }
    }
  }
  return rgb;
}

int refused(const std::string& path, const Format* f, int32_t result) {
  const char* meaning = f && f->meaning ? f->meaning(result) : "unknown result";
  std::fprintf(stderr, "rxtool: %s: result %d (%s)\n", path.c_str(), result, meaning);
  return kRefused;
}

int run_info(const Options& o) {
  if (o.files.empty()) return usage_error("info needs at least one file");
  int status = kSuccess;
  for (const std::string& path : o.files) {
    const Format* f = detect_format(path.c_str());
    if (f == nullptr || f->info == nullptr) {
      std::fprintf(stderr, "rxtool: %s: not a PCX, JPEG or flic file (or unreadable)\n",
                   path.c_str());
      status = kRefused;
      continue;
    }
    std::string out;
    int32_t r = f->info(path.c_str(), out);
    std::printf("%s:\n  format: %s\n%s", path.c_str(), f->name, out.c_str());
    if (r != 0) status = refused(path, f, r);
  }
  return status;
}

// The instruction level the library uses after rx_init, and the best the
// processor runs.
int run_cpu_info() {
  start_library(24);
  std::printf("cpu level: %s\nprocessor best: %s\n", rx_cpu_level_name(rx_cpu_level()),
              rx_cpu_level_name(rx_cpu_best()));
  rx_shutdown();
  return kSuccess;
}

bool asks_cpu_info(int argc, char** argv) {
  return argc == 3 && std::strcmp(argv[1], "info") == 0 && std::strcmp(argv[2], "--cpu") == 0;
}

int run_decode(const Options& o) {
  if (o.files.size() != 1 || o.output.empty()) return usage_error("decode needs FILE and -o OUT");
  if (o.at != o.sized) return usage_error("--at and --size go together");
  const std::string& path = o.files[0];
  const Format* f = detect_format(path.c_str());
  if (f == nullptr || f->show == nullptr) {
    std::fprintf(stderr, "rxtool: %s: not a PCX or JPEG file (or unreadable)\n", path.c_str());
    return kRefused;
  }
  int32_t x = 0, y = 0, w = 1, h = 1;
  if (!f->area(path.c_str(), &x, &y, &w, &h)) {
    x = y = 0;
    w = h = 1;  // let the library say what is wrong with it
  }
  int64_t bw = o.sized ? o.size_w : int64_t{x} + w, bh = o.sized ? o.size_h : int64_t{y} + h;
  if (o.at) x = o.at_x, y = o.at_y;
  if (bw < 1 || bh < 1 || bw > RX_MAX_BUFFER_SIDE || bh > RX_MAX_BUFFER_SIDE) {
    std::fprintf(stderr, "rxtool: %s: picture area %lldx%lld is too large\n", path.c_str(),
                 static_cast<long long>(bw), static_cast<long long>(bh));
    return kRefused;
  }
  start_library(o.depth);
  int32_t buffer = rx_buffer_create(static_cast<int32_t>(bw), static_cast<int32_t>(bh));
  if (buffer < 0 || rx_buffer_select(buffer) != 0) {
    std::fprintf(stderr, "rxtool: cannot create a %lldx%lld buffer\n", static_cast<long long>(bw),
                 static_cast<long long>(bh));
    return kRefused;
  }
  std::vector<uint8_t> data;
  int32_t flags = 0;
  if (o.from_memory) {
    if (!read_whole_file(path, data)) {
      std::fprintf(stderr, "rxtool: %s: cannot read the file\n", path.c_str());
      return kRefused;
    }
    rx_set_input_buffer(data.data(), static_cast<int32_t>(data.size()));
    flags |= RX_SHOW_FROM_MEMORY;
  }
  if (o.keep_palette) flags |= RX_SHOW_KEEP_PALETTE;
  if (o.no_reduce) flags |= RX_SHOW_NO_REDUCE;
  if (o.at) {
    rx_move_to(o.at_x, o.at_y);
    flags |= RX_SHOW_AT_POSITION;
  }
  int32_t r = f->show(path.c_str(), flags);
  if (r != 0) return refused(path, f, r);
  // The picture's area, cut to the buffer.
  int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  int64_t x1 = std::min<int64_t>(int64_t{x} + w, bw), y1 = std::min<int64_t>(int64_t{y} + h, bh);
  int32_t ow = static_cast<int32_t>(std::max<int64_t>(x1 - x0, 0));
  int32_t oh = static_cast<int32_t>(std::max<int64_t>(y1 - y0, 0));
  std::vector<uint8_t> rgb = read_area(static_cast<int32_t>(x0), static_cast<int32_t>(y0), ow, oh);
  if (!write_picture(o.output, ow, oh, rgb)) {
    std::fprintf(stderr, "rxtool: cannot write %s\n", o.output.c_str());
    return kOutputFailed;
  }
  return kSuccess;
}

int run_frames(const Options& o) {
  if (o.files.size() != 1 || o.output.empty()) return usage_error("frames needs FLIC and -o DIR");
  const std::string& path = o.files[0];
  start_library(o.depth);
  FlicContext flic{};
  int32_t r = rx_flic_open(path.c_str(), &flic);
  if (r != 0) return refused(path, &kFlicFormat, r);
  std::vector<uint8_t> data;
  int32_t flags = RX_FLIC_NO_DELAY;
  if (o.from_memory) {
    if (!read_whole_file(path, data)) {
      rx_flic_close(&flic);
      std::fprintf(stderr, "rxtool: %s: cannot read the file\n", path.c_str());
      return kRefused;
    }
    rx_set_input_buffer(data.data(), static_cast<int32_t>(data.size()));
    flags |= RX_SHOW_FROM_MEMORY;
  }
  if (o.keep_palette) flags |= RX_FLIC_KEEP_PALETTE;
  if (o.no_reduce) flags |= RX_SHOW_NO_REDUCE;
  int status = kSuccess;
  int32_t frames = 0;
  if (flic.width > 0 && flic.height > 0) {
    int32_t buffer = rx_buffer_create(flic.width, flic.height);
    rx_buffer_select(buffer);
    constexpr int32_t kMaxFrames = 1 << 20;  // a bound, whatever the file says
    while (frames < kMaxFrames && rx_flic_play(&flic, 1, flags) > 0) {
      ++frames;
      char name[64];
      std::snprintf(name, sizeof name, "/frame_%04d.%s", frames, o.frame_format.c_str());
      if (!write_picture(o.output + name, flic.width, flic.height,
                         read_area(0, 0, flic.width, flic.height))) {
        std::fprintf(stderr, "rxtool: cannot write %s%s\n", o.output.c_str(), name);
        status = kOutputFailed;
        break;
      }
    }
  }
  rx_flic_close(&flic);
  std::printf("%s: %d frame(s)\n", path.c_str(), frames);
  return status;
}

}  // namespace

}  // namespace rxtool

int main(int argc, char** argv) {
  if (rxtool::asks_cpu_info(argc, argv)) return rxtool::run_cpu_info();
  rxtool::Options o;
  bool done = false;
  if (int status = rxtool::parse(argc, argv, o, &done); status != 0 || done) return status;
  if (o.command == "info") return rxtool::run_info(o);
  if (o.command == "decode") return rxtool::run_decode(o);
  if (o.command == "frames") return rxtool::run_frames(o);
  return rxtool::usage_error(("unknown command " + o.command).c_str());
}
