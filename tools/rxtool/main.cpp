// rxtool: look at and decode pictures and flics through the Rastrix library.
// `rxtool --help` and `rxtool help COMMAND` describe the command line.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "flic.h"
#include "formats.h"
#include "image_output.h"
#include "options.h"
#include "progress.h"
#include "rastrix.h"
#include "source.h"

namespace rxtool {

namespace {

enum Exit { kSuccess = 0, kUsage = 1, kRefused = 2, kOutputFailed = 3 };

constexpr int32_t kScreenSide = 64;  // rxtool never pastes to the screen
constexpr int32_t kMaxFrames = 1 << 20;  // a bound, whatever the file says
constexpr int64_t kProgressFrames = 50;
constexpr int64_t kAnnouncedPixels = 4'000'000;

int usage_error(const std::string& what) {
  std::fprintf(stderr, "rxtool: %s\n%s", what.c_str(), usage_text().c_str());
  return kUsage;
}

// Every refusal names the input and says why; exit 2.
int refused(const Source& source, const std::string& why) {
  std::fprintf(stderr, "rxtool: %s: %s\n", source.label().c_str(), why.c_str());
  return kRefused;
}

int output_failed(const std::string& path, const std::string& why) {
  std::fprintf(stderr, "rxtool: cannot write %s: %s\n", path.c_str(), why.c_str());
  return kOutputFailed;
}

void start_library(int32_t depth) {
  rx_set_dc(rx_headless_screen(kScreenSide, kScreenSide, 32));
  rx_init();
  rx_set_buffer_depth(depth);
}

// Opens the input and recognises its format; false with the message given.
bool open_input(const std::string& path, bool from_memory, Source& source, const Format*& format,
                int& status) {
  std::string error;
  if (!load_source(path, from_memory, source, error)) {
    status = refused(source, error);
    return false;
  }
  format = detect_format(source);
  if (format == nullptr) {
    status = refused(source, source.size == 0 ? "the file is empty"
                                              : "not a PCX, JPEG or flic file");
    return false;
  }
  return true;
}

std::string pixels_text(int64_t w, int64_t h) {
  return std::to_string(w) + "x" + std::to_string(h);
}

// The limit on pixels: false with the message when w x h is above it.
bool within_limits(int64_t w, int64_t h, const Options& o, const char* what, std::string& why) {
  if (w > RX_MAX_BUFFER_SIDE || h > RX_MAX_BUFFER_SIDE) {
    why = std::string(what) + " of " + pixels_text(w, h) + " has a side above " +
          std::to_string(RX_MAX_BUFFER_SIDE) + " pixels";
    return false;
  }
  if (w * h > o.max_pixels) {
    why = std::string(what) + " of " + pixels_text(w, h) + " (" + std::to_string(w * h) +
          " pixels) is above the limit of " + std::to_string(o.max_pixels) +
          " (--max-pixels)";
    return false;
  }
  return true;
}

// Makes and selects a buffer; false with the library's message.
bool make_buffer(int64_t w, int64_t h, std::string& why) {
  int32_t buffer = rx_buffer_create(static_cast<int32_t>(w), static_cast<int32_t>(h));
  if (buffer < 0) {
    why = "cannot make a " + pixels_text(w, h) + " buffer: " + rx_result_message(RX_OP_BUFFER_CREATE, buffer);
    return false;
  }
  int32_t r = rx_buffer_select(buffer);
  if (r != 0) {
    why = std::string("cannot select the buffer: ") + rx_result_message(RX_OP_BUFFER_SELECT, r);
    return false;
  }
  return true;
}

int32_t show_flags(const Options& o) {
  int32_t flags = 0;
  if (o.keep_palette) flags |= RX_SHOW_KEEP_PALETTE;
  if (o.no_reduce) flags |= RX_SHOW_NO_REDUCE;
  return flags;
}

int write_active(const std::string& path, OutputKind kind, const Region& region, const Options& o,
                 bool show_progress) {
  RxPixels pixels{};
  if (int32_t r = rx_buffer_pixels(&pixels); r != 0)
    return output_failed(path, rx_result_message(RX_OP_BUFFER_PIXELS, r));
  std::string error;
  OutputOptions options{o.png_level, show_progress};
  if (!write_picture(path, kind, pixels, region, options, error)) return output_failed(path, error);
  return kSuccess;
}

int run_info(const Options& o) {
  if (o.files.empty()) return usage_error("info needs at least one file");
  start_library(o.depth);
  int status = kSuccess;
  for (const std::string& path : o.files) {
    Source source;
    const Format* f = nullptr;
    int failed = kSuccess;
    if (!open_input(path, true, source, f, failed)) {
      status = failed;
      continue;
    }
    std::string out;
    int32_t r = f->info(source, out);
    std::printf("%s:\n  format: %s\n%s", source.label().c_str(), f->name, out.c_str());
    if (r != 0) status = refused(source, result_text(f->operation, r));
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
  if (o.at && !o.sized) return usage_error("--at needs --size");
  OutputKind kind;
  if (!output_kind(o.output, kind))
    return usage_error("rxtool does not write " + o.output + ": use .ppm, .pnm, .png or -");
  start_library(o.depth);
  Source source;
  const Format* f = nullptr;
  int status = kSuccess;
  if (!open_input(o.files[0], o.from_memory, source, f, status)) return status;
  if (f->show == nullptr) return refused(source, "a flic: rxtool frames plays it");
  if (f == &kJpegFormat && o.depth == 8)
    return refused(source, "JPEG pictures are not drawn into 8-bit buffers (use --depth 16, 24 or 32)");
  Area area;
  std::string why;
  const bool sound = f->inspect(source, area, why);
  std::string over;
  if (!within_limits(area.width, area.height, o, "a picture", over)) return refused(source, over);
  if (!sound) return refused(source, why);
  // Without a placement the buffer reaches to the picture's far corner.
  int64_t bw = o.sized ? o.size_w : std::max<int64_t>(int64_t{area.x} + area.width, 1);
  int64_t bh = o.sized ? o.size_h : std::max<int64_t>(int64_t{area.y} + area.height, 1);
  if (!within_limits(bw, bh, o, "a buffer", why)) return refused(source, why);
  int64_t left = o.at ? o.at_x : area.x, top = o.at ? o.at_y : area.y;
  if (area.width > 0 && (left + area.width <= 0 || top + area.height <= 0 || left >= bw || top >= bh))
    return refused(source, "the picture lies wholly outside the " + pixels_text(bw, bh) +
                               " buffer; nothing drawn");
  if (!make_buffer(bw, bh, why)) return refused(source, why);
  int32_t flags = show_flags(o);
  if (o.at) {
    rx_move_to(o.at_x, o.at_y);
    flags |= RX_SHOW_AT_POSITION;
  }
  bool big = int64_t{area.width} * area.height >= kAnnouncedPixels && isatty(STDERR_FILENO);
  if (big) std::fprintf(stderr, "rxtool: decoding %s\n", pixels_text(area.width, area.height).c_str());
  if (int32_t r = f->show(source, area, flags); r != 0)
    return refused(source, result_text(f->operation, r));
  Region region = o.sized ? Region{0, 0, o.size_w, o.size_h}
                          : Region{area.x, area.y, area.width, area.height};
  return write_active(o.output, kind, region, o, true);
}

// Makes the folder for the frames unless it is there.
bool make_folder(const std::string& path, std::string& why) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  struct stat st {};
  if (errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  why = errno == EEXIST ? "it is not a folder" : std::strerror(errno);
  return false;
}

// Writes frame number n (from 1) of the active buffer.
int write_frame(const Options& o, int32_t n, const FlicContext& flic) {
  char name[64];
  std::snprintf(name, sizeof name, "/frame_%04d.%s", n, o.frame_format.c_str());
  OutputKind kind = o.frame_format == "png" ? OutputKind::kPng : OutputKind::kPpm;
  return write_active(o.output + name, kind, Region{0, 0, flic.width, flic.height}, o, false);
}

int run_frames(const Options& o) {
  if (o.files.size() != 1 || o.output.empty()) return usage_error("frames needs FLIC and -o DIR");
  start_library(o.depth);
  Source source;
  const Format* f = nullptr;
  int status = kSuccess;
  if (!open_input(o.files[0], o.from_memory, source, f, status)) return status;
  if (f != &kFlicFormat) return refused(source, "not a flic: rxtool decode shows pictures");
  Area area;
  std::string why;
  if (!f->inspect(source, area, why)) return refused(source, why);
  if (area.width < 1 || area.height < 1)
    return refused(source, "the flic's frames are " + pixels_text(area.width, area.height));
  if (!within_limits(area.width, area.height, o, "a frame", why)) return refused(source, why);
  if (!make_folder(o.output, why)) return output_failed(o.output, why);
  if (!make_buffer(area.width, area.height, why)) return refused(source, why);
  FlicContext flic{};
  if (int32_t r = open_flic(source, flic); r != 0)
    return refused(source, result_text(RX_OP_FLIC_OPEN, r));
  int32_t flags = RX_FLIC_NO_DELAY | source.use();
  if (o.keep_palette) flags |= RX_FLIC_KEEP_PALETTE;
  if (o.no_reduce) flags |= RX_SHOW_NO_REDUCE;
  // A flic ends with a ring frame (one frame chunk more than it counts)
  // that turns the last frame back into the first: it begins each loop
  // after the first and is not a frame of its own.
  const int32_t chunks = count_frame_chunks(source);
  const bool ring = flic.frames > 0 && chunks == flic.frames + 1;
  const int32_t per_loop = ring ? flic.frames : kMaxFrames;
  const int64_t wanted = ring ? int64_t{per_loop} * o.loops : chunks;
  Progress progress("rxtool: frames", wanted, kProgressFrames);
  int32_t written = 0;
  for (int32_t loop = 0; loop < o.loops && status == kSuccess; ++loop) {
    if (loop > 0 && !ring) rx_flic_skip(&flic, -1);
    int32_t played = 0;
    while (played < per_loop && written < kMaxFrames && status == kSuccess) {
      if (ring && loop > 0 && played == 1) {  // the ring frame was the first: on to the second
        rx_flic_skip(&flic, -1);
        rx_flic_skip(&flic, 1);
      }
      if (rx_flic_play(&flic, 1, flags) <= 0) break;
      ++played;
      status = write_frame(o, ++written, flic);
      progress.step(written);
    }
    if (played == 0) break;
  }
  close_flic(source, flic);
  if (status != kSuccess) return status;
  if (written == 0) return refused(source, "no frame could be played; nothing written");
  std::printf("%s: %d frame(s)\n", source.label().c_str(), written);
  return kSuccess;
}

}  // namespace

}  // namespace rxtool

int main(int argc, char** argv) {
  if (rxtool::asks_cpu_info(argc, argv)) return rxtool::run_cpu_info();
  rxtool::Options o;
  std::string help, error;
  switch (rxtool::parse_command_line(argc, argv, o, help, error)) {
    case rxtool::Parsed::kHelp:
      std::fputs(help.c_str(), stdout);
      return rxtool::kSuccess;
    case rxtool::Parsed::kVersion:
      std::printf("rxtool %s (Rastrix %s)\n", rx_version(), rx_version());
      return rxtool::kSuccess;
    case rxtool::Parsed::kError:
      return rxtool::usage_error(error);
    case rxtool::Parsed::kRun:
      break;
  }
  if (o.command == "info") return rxtool::run_info(o);
  if (o.command == "decode") return rxtool::run_decode(o);
  return rxtool::run_frames(o);
}
