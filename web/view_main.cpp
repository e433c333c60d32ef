// The picture viewer's program: the page writes the chosen file into the
// program's memory file system and calls view_open; the picture is shown
// through the library from memory exactly as `rxtool decode --from-memory`
// shows it (rxtool's own checks and format handlers), its `rxtool info`
// facts go to standard output and any refusal to standard error, which the
// page puts beside the canvas. A flic shows its first frame; view_flic_step
// plays the next one and view_flic_delay_ms says when.
#include <emscripten.h>

#include <cstdio>
#include <string>

#include "commands.h"
#include "flic.h"
#include "rastrix.h"

namespace {

// Writes the active buffer's region into the page's canvas, as RGBA.
EM_JS(void, put_view_pixels, (const uint8_t* rgba, int32_t width, int32_t height), {
  const canvas = document.getElementById("screen");
  canvas.width = width;
  canvas.height = height;
  const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
  canvas.getContext("2d").putImageData(new ImageData(bytes, width, height), 0, 0);
});

using PixelReader = void (*)(const RxPixels& p, const uint8_t* at, uint8_t rgb[3]);

void read8(const RxPixels& p, const uint8_t* at, uint8_t rgb[3]) {
  for (int c = 0; c < 3; ++c) rgb[c] = p.palette[*at][c];
}
void read16(const RxPixels&, const uint8_t* at, uint8_t rgb[3]) {
  int32_t r = 0, g = 0, b = 0;
  rx_unpack_rgb(static_cast<uint32_t>(at[0] | at[1] << 8), &r, &g, &b);
  rgb[0] = static_cast<uint8_t>(r), rgb[1] = static_cast<uint8_t>(g), rgb[2] = static_cast<uint8_t>(b);
}
void read_bgr(const RxPixels&, const uint8_t* at, uint8_t rgb[3]) {
  rgb[0] = at[2], rgb[1] = at[1], rgb[2] = at[0];
}
constexpr PixelReader kReaders[] = {read8, read16, read_bgr, read_bgr};

void show_region(int32_t x, int32_t y, int32_t width, int32_t height) {
  RxPixels p{};
  if (rx_buffer_pixels(&p) != 0 || width < 1 || height < 1) return;
  static std::vector<uint8_t> rgba;
  rgba.assign(static_cast<size_t>(width) * height * 4, 0xFF);
  const PixelReader read = kReaders[p.bits / 8 - 1];
  const int32_t bytes = p.bits / 8;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* from = p.pixels + static_cast<ptrdiff_t>(p.height - 1 - (y + row)) * p.bytes_per_row +
                          static_cast<ptrdiff_t>(x) * bytes;
    uint8_t* to = rgba.data() + static_cast<size_t>(row) * width * 4;
    for (int32_t i = 0; i < width; ++i, from += bytes, to += 4) read(p, from, to);
  }
  put_view_pixels(rgba.data(), width, height);
}

struct Playing {
  rxtool::Source source;
  FlicContext flic{};
  int32_t flags = 0;
  bool open = false;
};

Playing& playing() {
  static Playing p;
  return p;
}

void stop_flic() {
  Playing& p = playing();
  if (p.open) rxtool::close_flic(p.source, p.flic);
  p.open = false;
}

void print_info(const rxtool::Source& source, const rxtool::Format& f) {
  std::string out;
  int32_t r = f.info(source, out);
  std::printf("%s:\n  format: %s\n%s", source.label().c_str(), f.name, out.c_str());
  std::fflush(stdout);
  if (r != 0) rxtool::refused(source, rxtool::result_text(f.operation, r));
}

int open_flic_view(const rxtool::Options& o) {
  Playing& p = playing();
  rxtool::Area area;
  int status = rxtool::prepare_flic(o, "decode", p.source, area);
  if (status != rxtool::kSuccess) return status;
  std::string why;
  if (!rxtool::make_buffer(area.width, area.height, why)) return rxtool::refused(p.source, why);
  if (int32_t r = rxtool::open_flic(p.source, p.flic); r != 0)
    return rxtool::refused(p.source, rxtool::result_text(RX_OP_FLIC_OPEN, r));
  p.open = true;
  p.flags = RX_FLIC_NO_DELAY | p.source.use();
  if (rx_flic_play(&p.flic, 1, p.flags) <= 0) {
    stop_flic();
    return rxtool::refused(p.source, "no frame could be played");
  }
  show_region(0, 0, p.flic.width, p.flic.height);
  return rxtool::kSuccess;
}

}  // namespace

extern "C" {

// Shows the file at path (in the program's file system) at depth; an
// rxtool exit status: 0 shown, 2 refused (the reason on standard error).
EMSCRIPTEN_KEEPALIVE int32_t view_open(const char* path, int32_t depth) {
  stop_flic();
  rx_shutdown();
  rxtool::start_library(depth);
  rxtool::Options o;
  o.files = {path};
  o.from_memory = true;
  o.depth = depth;
  rxtool::Source source;
  const rxtool::Format* f = nullptr;
  int status = rxtool::kSuccess;
  if (!rxtool::open_input(path, true, source, f, status)) return status;
  print_info(source, *f);
  if (f == &rxtool::kFlicFormat) return open_flic_view(o);
  rxtool::Picture picture;
  if (int s = rxtool::prepare_picture(o, picture); s != rxtool::kSuccess) return s;
  if (int s = rxtool::draw_picture(o, picture); s != rxtool::kSuccess) return s;
  const rxtool::Area& a = picture.area;
  show_region(a.x, a.y, a.width, a.height);
  return rxtool::kSuccess;
}

// The next frame of the flic shown, from the first again after the last;
// 0 when none is playing or it cannot go on.
EMSCRIPTEN_KEEPALIVE int32_t view_flic_step() {
  Playing& p = playing();
  if (!p.open) return 0;
  if (rx_flic_play(&p.flic, 1, p.flags) <= 0) {
    rx_flic_skip(&p.flic, -1);
    if (rx_flic_play(&p.flic, 1, p.flags) <= 0) return 0;
  }
  show_region(0, 0, p.flic.width, p.flic.height);
  return 1;
}

// Milliseconds between the flic's frames (its delay in 55 ms ticks); -1
// when no flic is shown.
EMSCRIPTEN_KEEPALIVE int32_t view_flic_delay_ms() {
  constexpr int32_t kMillisecondsPerTick = 55;
  return playing().open ? playing().flic.delay * kMillisecondsPerTick : -1;
}

}  // extern "C"

// The page calls view_open; nothing runs at start.
int main() { return 0; }
