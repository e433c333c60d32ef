// rxtool: look at and decode pictures and flics through the Rastrix library.
// `rxtool --help` and `rxtool help COMMAND` describe the command line.
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "flic.h"
#include "formats.h"
#include "image_output.h"
#include "options.h"
#include "progress.h"
#include "rastrix.h"
#include "source.h"
#include "window_commands.h"

namespace rxtool {

namespace {

constexpr int32_t kMaxFrames = 1 << 20;  // a bound, whatever the file says
constexpr int64_t kProgressFrames = 50;

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
  Picture picture;
  if (int status = prepare_picture(o, picture); status != kSuccess) return status;
  if (int status = draw_picture(o, picture); status != kSuccess) return status;
  const Area& area = picture.area;
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
  Source source;
  Area area;
  int status = prepare_flic(o, "decode", source, area);
  if (status != kSuccess) return status;
  std::string why;
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
  if (o.command == "show") return rxtool::run_show(o);
  if (o.command == "play") return rxtool::run_play(o);
  return rxtool::run_frames(o);
}
