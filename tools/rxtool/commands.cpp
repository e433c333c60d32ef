#include "commands.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace rxtool {

namespace {

constexpr int32_t kScreenSide = 64;  // decoding never pastes to the screen
constexpr int64_t kAnnouncedPixels = 4'000'000;

}  // namespace

int usage_error(const std::string& what) {
  std::fprintf(stderr, "rxtool: %s\n%s", what.c_str(), usage_text().c_str());
  return kUsage;
}

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

int prepare_picture(const Options& o, Picture& p) {
  start_library(o.depth);
  int status = kSuccess;
  if (!open_input(o.files[0], o.from_memory, p.source, p.format, status)) return status;
  const Source& source = p.source;
  if (p.format->show == nullptr) return refused(source, "a flic: rxtool frames plays it");
  if (p.format == &kJpegFormat && o.depth == 8)
    return refused(source, "JPEG pictures are not drawn into 8-bit buffers (use --depth 16, 24 or 32)");
  Area& area = p.area;
  std::string why;
  const bool sound = p.format->inspect(source, area, why);
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
  p.buffer_width = bw;
  p.buffer_height = bh;
  return kSuccess;
}

int prepare_flic(const Options& o, const char* command, Source& source, Area& area) {
  start_library(o.depth);
  const Format* f = nullptr;
  int status = kSuccess;
  if (!open_input(o.files[0], o.from_memory, source, f, status)) return status;
  if (f != &kFlicFormat)
    return refused(source, std::string("not a flic: rxtool ") + command + " shows pictures");
  std::string why;
  if (!f->inspect(source, area, why)) return refused(source, why);
  if (area.width < 1 || area.height < 1)
    return refused(source, "the flic's frames are " + pixels_text(area.width, area.height));
  if (!within_limits(area.width, area.height, o, "a frame", why)) return refused(source, why);
  return kSuccess;
}

int draw_picture(const Options& o, const Picture& p) {
  std::string why;
  if (!make_buffer(p.buffer_width, p.buffer_height, why)) return refused(p.source, why);
  int32_t flags = show_flags(o);
  if (o.at) {
    rx_move_to(o.at_x, o.at_y);
    flags |= RX_SHOW_AT_POSITION;
  }
  const Area& area = p.area;
  bool big = int64_t{area.width} * area.height >= kAnnouncedPixels && isatty(STDERR_FILENO);
  if (big) std::fprintf(stderr, "rxtool: decoding %s\n", pixels_text(area.width, area.height).c_str());
  if (int32_t r = p.format->show(p.source, area, flags); r != 0)
    return refused(p.source, result_text(p.format->operation, r));
  return kSuccess;
}

}  // namespace rxtool
