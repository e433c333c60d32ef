// Web window backend (Emscripten): the platform screen shown in the page's
// <canvas id="screen">. A transfer to the screen only marks it changed; once
// per animation frame (requestAnimationFrame) the screen is widened to RGBA
// with the library's own rules and put into the canvas with putImageData.
// Keys come from the page's keydown events. The page scales the canvas
// (nearest neighbour) and the browser paces the frames, so rates are noted
// only.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <deque>
#include <memory>
#include <vector>

#include "platform/headless_controls.h"
#include "platform/platform.h"
#include "platform/sdl_window.h"

namespace rx::platform::window_backend {

namespace {

constexpr int32_t kScreenBits = 32;  // a canvas is true colour
constexpr int32_t kBrowserRate = 60;

// Shows width x height RGBA bytes in the canvas, resizing it when needed.
EM_JS(void, put_canvas_pixels, (const uint8_t* rgba, int32_t width, int32_t height), {
  const canvas = document.getElementById("screen");
  if (!canvas) return;
  if (canvas.width != width || canvas.height != height) {
    canvas.width = width;
    canvas.height = height;
  }
  const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
  canvas.getContext("2d").putImageData(new ImageData(bytes, width, height), 0, 0);
  if (Module.onPresent) Module.onPresent();
});

int32_t key_code(const EmscriptenKeyboardEvent& e) {
  const int32_t code = static_cast<int32_t>(e.keyCode);
  if (code == RX_KEY_ESCAPE || code == RX_KEY_RETURN || code == RX_KEY_SPACE) return code;
  if (code >= RX_KEY_F1 && code <= RX_KEY_F12) return code;
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return code;
  return RX_KEY_OTHER;
}

class WebDisplay final : public Host {
 public:
  void present() override { changed_ = true; }
  void display_changed(const DisplayMode*, bool) override { changed_ = true; }

  // The animation frame: the screen, when it changed, goes to the canvas.
  void frame() {
    if (!changed_) return;
    changed_ = false;
    ScreenView v = screen_view();
    if (v.pixels == nullptr || v.width < 1 || v.height < 1) return;
    argb_.resize(static_cast<size_t>(v.width) * v.height);
    rgba_.resize(argb_.size() * 4);
    for (int32_t y = 0; y < v.height; ++y)
      screen_row_argb(v, y, 0, v.width, argb_.data() + static_cast<size_t>(y) * v.width);
    for (size_t i = 0; i < argb_.size(); ++i) {
      const uint32_t p = argb_[i];
      rgba_[4 * i] = static_cast<uint8_t>(p >> 16);
      rgba_[4 * i + 1] = static_cast<uint8_t>(p >> 8);
      rgba_[4 * i + 2] = static_cast<uint8_t>(p);
      rgba_[4 * i + 3] = 0xFF;
    }
    put_canvas_pixels(rgba_.data(), v.width, v.height);
  }

  void key(int32_t code) { events_.push_back(RxWindowEvent{RX_EVENT_KEY, code}); }

  bool poll(RxWindowEvent* event) {
    if (events_.empty()) return false;
    *event = events_.front();
    events_.pop_front();
    return true;
  }

  int32_t rate_ = RX_WINDOW_RATE_DISPLAY;

 private:
  bool changed_ = true;
  std::vector<uint32_t> argb_;
  std::vector<uint8_t> rgba_;
  std::deque<RxWindowEvent> events_;
};

std::unique_ptr<WebDisplay>& display() {
  static std::unique_ptr<WebDisplay> d;
  return d;
}

EM_BOOL on_frame(double, void*) {
  if (!display()) return EM_FALSE;  // closed: the loop ends
  display()->frame();
  return EM_TRUE;
}

EM_BOOL on_key(int, const EmscriptenKeyboardEvent* e, void*) {
  if (display()) display()->key(key_code(*e));
  return EM_FALSE;  // the page may act on the key too
}

}  // namespace

int32_t open(const char*, int32_t width, int32_t height, bool) {
  use_headless(width, height, kScreenBits);
  set_display_modes({{width, height, kScreenBits}});
  display() = std::make_unique<WebDisplay>();
  set_host(display().get());
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, on_key);
  emscripten_request_animation_frame_loop(on_frame, nullptr);
  return RX_WINDOW_OK;
}

bool is_open() { return display() != nullptr; }

void close() {
  if (!display()) return;
  display()->frame();  // the last picture stays in the page
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, nullptr);
  set_host(nullptr);
  display().reset();
}

bool poll(RxWindowEvent* event) { return display()->poll(event); }
// A page cannot block: waiting is polling.
bool wait(RxWindowEvent* event, int32_t) { return display()->poll(event); }
void set_rate(int32_t per_second) {
  if (display()) display()->rate_ = per_second;
}
int32_t rate() {
  const int32_t r = display()->rate_;
  return r == RX_WINDOW_RATE_DISPLAY ? kBrowserRate : r;
}
// The page shows messages itself; no box is offered.
int32_t message_box(const char*, const char*, int32_t) { return RX_ANSWER_NONE; }

}  // namespace rx::platform::window_backend
