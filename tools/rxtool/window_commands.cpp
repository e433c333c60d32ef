#include "window_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "commands.h"
#include "flic.h"
#include "rastrix.h"
#include "rastrix_window.h"

namespace rxtool {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kMillisecondsPerTick = 55;  // the unit of a flic's delay
constexpr int32_t kIdleWaitMs = 100;          // while nothing is due

std::string window_refusal(int32_t result) {
  switch (result) {
    case RX_WINDOW_NO_DISPLAY: return "there is no display to open a window on";
    case RX_WINDOW_UNAVAILABLE:
      return "not available: this Rastrix was built without a window backend (SDL2)";
    default: return "no window could be opened (window result " + std::to_string(result) + ")";
  }
}

// Opens a window of width x height and starts the library on its screen;
// kSuccess or kNoWindow with the message printed.
int open_window(const std::string& command, const Source& source, int32_t width, int32_t height,
                int32_t depth) {
  rx_shutdown();
  std::string title = "rxtool " + command + ": " + source.label();
  RxDC dc = nullptr;
  int32_t r = rx_window_open(title.c_str(), width, height, RX_WINDOW_WINDOWED, &dc);
  if (r != RX_WINDOW_OK) {
    std::fprintf(stderr, "rxtool: %s: %s\n", command.c_str(), window_refusal(r).c_str());
    return kNoWindow;
  }
  rx_set_dc(dc);
  rx_init();
  rx_set_buffer_depth(depth);
  return kSuccess;
}

bool ends(const RxWindowEvent& e) {
  return e.type == RX_EVENT_CLOSE ||
         (e.type == RX_EVENT_KEY && (e.key == RX_KEY_ESCAPE || e.key == 'Q'));
}

void close_window() {
  rx_buffer_release();
  rx_shutdown();
  rx_window_close();
}

// The frames of a flic one after the other, for ever: at the end the flic
// starts again; a ring frame (one frame chunk more than the flic counts)
// already showed the first frame again, so the next is the second.
class FlicLoop {
 public:
  FlicLoop(const Source& source, FlicContext& flic, int32_t flags)
      : flic_(flic),
        flags_(flags),
        ring_(flic.frames > 0 && count_frame_chunks(source) == flic.frames + 1) {}
  bool next() {
    if (rx_flic_play(&flic_, 1, flags_) > 0) return true;
    rx_flic_skip(&flic_, -1);
    if (ring_) rx_flic_skip(&flic_, 1);
    return rx_flic_play(&flic_, 1, flags_) > 0;
  }

 private:
  FlicContext& flic_;
  int32_t flags_;
  bool ring_;
};

}  // namespace

int run_show(const Options& o) {
  if (o.files.size() != 1) return usage_error("show needs one FILE");
  Picture picture;
  if (int status = prepare_picture(o, picture); status != kSuccess) return status;
  const Area& a = picture.area;
  if (a.width < 1 || a.height < 1)
    return refused(picture.source, "the picture is " + pixels_text(a.width, a.height));
  int status = open_window("show", picture.source, a.width, a.height, o.depth);
  if (status != kSuccess) return status;
  status = draw_picture(o, picture);
  auto paste = [&a] {
    rx_buffer_paste(a.x, a.x + a.width - 1, a.y, a.y + a.height - 1, 0, a.height - 1);
  };
  if (status == kSuccess) paste();
  for (RxWindowEvent e; status == kSuccess;) {
    if (!rx_window_wait(&e, kIdleWaitMs)) continue;
    if (ends(e)) break;
    if (e.type == RX_EVENT_FOCUS) paste();
  }
  close_window();
  return status;
}

int run_play(const Options& o) {
  if (o.files.size() != 1) return usage_error("play needs one FLIC");
  Source source;
  Area area;
  int status = prepare_flic(o, "show", source, area);
  if (status != kSuccess) return status;
  if ((status = open_window("play", source, area.width, area.height, o.depth)) != kSuccess)
    return status;
  FlicContext flic{};
  std::string why;
  if (!make_buffer(area.width, area.height, why)) {
    status = refused(source, why);
  } else if (int32_t r = open_flic(source, flic); r != 0) {
    status = refused(source, result_text(RX_OP_FLIC_OPEN, r));
  }
  if (status != kSuccess) {
    close_window();
    return status;
  }
  int32_t flags = RX_FLIC_NO_DELAY | source.use();
  if (o.keep_palette) flags |= RX_FLIC_KEEP_PALETTE;
  if (o.no_reduce) flags |= RX_SHOW_NO_REDUCE;
  auto paste = [&area] {
    rx_buffer_paste(0, area.width - 1, 0, area.height - 1, 0, area.height - 1);
  };
  // Frame n (from 0) is due n delays after the start; a pause moves the start.
  const auto delay = std::chrono::milliseconds(int64_t{flic.delay} * kMillisecondsPerTick);
  FlicLoop loop(source, flic, flags);
  if (!loop.next()) status = refused(source, "no frame could be played");
  paste();
  Clock::time_point start = Clock::now(), paused_at{};
  int64_t shown = 1;
  bool paused = false;
  while (status == kSuccess) {
    Clock::time_point due = start + shown * delay;
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
    int32_t timeout =
        paused ? kIdleWaitMs : static_cast<int32_t>(std::clamp<int64_t>(wait, 0, kIdleWaitMs));
    RxWindowEvent e;
    if (rx_window_wait(&e, timeout)) {
      if (ends(e)) break;
      if (e.type == RX_EVENT_FOCUS) paste();
      if (e.type == RX_EVENT_KEY && e.key == RX_KEY_SPACE) {
        paused = !paused;
        if (paused) paused_at = Clock::now();
        else start += Clock::now() - paused_at;
      }
    }
    if (paused || Clock::now() < due) continue;
    loop.next();
    paste();
    ++shown;
  }
  close_flic(source, flic);
  close_window();
  return status;
}

}  // namespace rxtool
