// SDL2 window backend. The platform screen is converted to ARGB8888 here,
// with the library's own widening, and uploaded as a texture: SDL's own
// 5-6-5 conversion is not exact. Full screen is a borderless window at
// (0, 0) the size of the desktop with the screen as logical size (nearest
// scaling), which works with or without a window manager.
#include "platform/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/headless_controls.h"
#include "platform/platform.h"
#include "platform/sdl_calls.h"
#include "platform/sdl_desktop_depth.h"

namespace rx::platform::window_backend {

namespace {

constexpr int32_t kUnknownRefresh = 60;  // pictures a second when the display does not say

int32_t key_code(SDL_Keycode sym) {
  if (sym == SDLK_ESCAPE) return RX_KEY_ESCAPE;
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return RX_KEY_F1 + (sym - SDLK_F1);
  if (sym >= SDLK_a && sym <= SDLK_z) return RX_KEY_A + (sym - SDLK_a);
  if ((sym >= SDLK_0 && sym <= SDLK_9) || sym == SDLK_SPACE || sym == SDLK_RETURN)
    return static_cast<int32_t>(sym);
  return RX_KEY_OTHER;
}

int32_t supported_bits(int32_t bits) {
  return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32 ? bits : 32;
}

double seconds_now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// A window of the logical size, scaled down by one factor when the desktop
// is smaller than that.
void fit(int32_t width, int32_t height, const SDL_DisplayMode& desktop, int* w, int* h) {
  double scale = std::min({1.0, static_cast<double>(desktop.w) / width,
                           static_cast<double>(desktop.h) / height});
  *w = std::max(1, static_cast<int>(width * scale));
  *h = std::max(1, static_cast<int>(height * scale));
}

class SdlDisplay final : public Host {
 public:
  SdlDisplay(SDL_Window* window, SDL_Renderer* renderer, bool full_screen,
             SDL_DisplayMode desktop, int32_t width, int32_t height)
      : window_(window),
        renderer_(renderer),
        full_screen_(full_screen),
        desktop_(desktop),
        width_(width),
        height_(height) {
    set_rate(RX_WINDOW_RATE_DISPLAY);
  }

  ~SdlDisplay() override {
    if (texture_) sdl().DestroyTexture(texture_);
    sdl().DestroyRenderer(renderer_);
    sdl().DestroyWindow(window_);
  }

  // --- Host --------------------------------------------------------------
  void present() override {
    ScreenView v = screen_view();
    if (v.pixels == nullptr || v.width < 1 || v.height < 1) return;
    if (texture_ == nullptr || v.width != texture_width_ || v.height != texture_height_) {
      if (texture_) sdl().DestroyTexture(texture_);
      texture_ = sdl().CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                   SDL_TEXTUREACCESS_STREAMING, v.width, v.height);
      if (texture_ == nullptr) return;
      texture_width_ = v.width;
      texture_height_ = v.height;
      sdl().RenderSetLogicalSize(renderer_, v.width, v.height);
    }
    argb_.resize(static_cast<size_t>(v.width) * v.height);
    for (int32_t y = 0; y < v.height; ++y)
      screen_row_argb(v, y, 0, v.width, argb_.data() + static_cast<size_t>(y) * v.width);
    sdl().UpdateTexture(texture_, nullptr, argb_.data(), v.width * 4);
    sdl().SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    sdl().RenderClear(renderer_);
    sdl().RenderCopy(renderer_, texture_, nullptr, nullptr);
    double pause = pacer_.wait(seconds_now());
    if (pause > 0) std::this_thread::sleep_for(std::chrono::duration<double>(pause));
    sdl().RenderPresent(renderer_);
    pacer_.shown(seconds_now());
  }

  void display_changed(const DisplayMode* mode, bool) override {
    // Full screen stays over the whole desktop: the logical size follows
    // the screen at the next present. A framed window takes the new size.
    if (!full_screen_) {
      int w = 0, h = 0;
      fit(mode ? mode->width : width_, mode ? mode->height : height_, desktop_, &w, &h);
      sdl().SetWindowSize(window_, w, h);
    }
    present();
  }

  // --- Events --------------------------------------------------------------
  bool poll(RxWindowEvent* event) {
    SDL_Event e;
    while (sdl().PollEvent(&e))
      if (translate(e, event)) return true;
    return false;
  }

  bool wait(RxWindowEvent* event, int32_t timeout_ms) {
    uint32_t start = sdl().GetTicks();
    for (;;) {
      if (poll(event)) return true;
      int32_t left = timeout_ms - static_cast<int32_t>(sdl().GetTicks() - start);
      SDL_Event e;
      if (left <= 0 || !sdl().WaitEventTimeout(&e, left)) return false;
      if (translate(e, event)) return true;
    }
  }

  // --- Pacing --------------------------------------------------------------
  void set_rate(int32_t per_second) {
    bool display = per_second == RX_WINDOW_RATE_DISPLAY;
    rate_ = display ? display_rate() : per_second;
    // In step with the refresh where the renderer offers it; the pacer
    // then lets a picture go half a period early and the renderer's wait
    // lands it on the refresh.
    bool vsync = display && sdl().RenderSetVSync(renderer_, 1) == 0;
    if (!display) sdl().RenderSetVSync(renderer_, 0);
    double period = rate_ > 0 ? 1.0 / rate_ : 0;
    pacer_.reset(period, vsync ? period / 2 : 0);
  }
  int32_t rate() const { return rate_; }

  // --- Asking ----------------------------------------------------------------
  int32_t message_box(const char* caption, const char* text, int32_t style) {
    bool yes_no = (style & RX_BOX_YES_NO) != 0;
    bool no_default = (style & RX_BOX_DEFAULT_NO) != 0;
    SDL_MessageBoxButtonData buttons[2];
    int count = 0;
    const uint32_t on_return = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    const uint32_t on_escape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    if (yes_no) {
      buttons[0] = {no_default ? 0u : on_return, RX_ANSWER_YES, "Yes"};
      buttons[1] = {no_default ? on_return | on_escape : on_escape, RX_ANSWER_NO, "No"};
      count = 2;
    } else {
      buttons[0] = {on_return | on_escape, RX_ANSWER_OK, "OK"};
      count = 1;
    }
    uint32_t flags = (style & RX_BOX_ERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData data{flags, window_, caption, text, count, buttons, nullptr};
    int pressed = 0;
    if (sdl().ShowMessageBox(&data, &pressed) != 0 || pressed < 0) return RX_ANSWER_NONE;
    return pressed;
  }

 private:
  int32_t display_rate() const {
    SDL_DisplayMode m;
    int index = sdl().GetWindowDisplayIndex(window_);
    if (sdl().GetCurrentDisplayMode(index < 0 ? 0 : index, &m) == 0 && m.refresh_rate > 0)
      return m.refresh_rate;
    return kUnknownRefresh;
  }

  // true when e is an event for the caller, written to *event.
  bool translate(const SDL_Event& e, RxWindowEvent* event) {
    switch (e.type) {
      case SDL_QUIT:
        *event = {RX_EVENT_CLOSE, 0};
        return true;
      case SDL_KEYDOWN:
        *event = {RX_EVENT_KEY, key_code(e.key.keysym.sym)};
        return true;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            *event = {RX_EVENT_FOCUS, 0};
            return true;
          case SDL_WINDOWEVENT_CLOSE:
            *event = {RX_EVENT_CLOSE, 0};
            return true;
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            present();  // the screen still holds the picture
            return false;
          default:
            return false;
        }
      default:
        return false;
    }
  }

  SDL_Window* window_;
  SDL_Renderer* renderer_;
  bool full_screen_;
  SDL_DisplayMode desktop_;
  int32_t width_, height_;  // the logical size asked for at open
  SDL_Texture* texture_ = nullptr;
  int32_t texture_width_ = 0, texture_height_ = 0;
  std::vector<uint32_t> argb_;
  FramePacer pacer_;
  int32_t rate_ = 0;
};

std::unique_ptr<SdlDisplay>& display() {
  static std::unique_ptr<SdlDisplay> d;
  return d;
}

// The desktop's modes, and the window's size at its depth, which scaling
// always gives.
std::vector<DisplayMode> display_modes(int32_t width, int32_t height, int32_t desktop_bits) {
  std::vector<DisplayMode> modes;
  bool has_window_mode = false;
  int n = sdl().GetNumDisplayModes(0);
  for (int i = 0; i < n; ++i) {
    SDL_DisplayMode m;
    if (sdl().GetDisplayMode(0, i, &m) != 0) continue;
    // A mode SDL names no format for is one of the desktop's own depth.
    const int32_t mode_bits = static_cast<int32_t>(SDL_BITSPERPIXEL(m.format));
    DisplayMode d{m.w, m.h, mode_bits != 0 ? supported_bits(mode_bits) : desktop_bits};
    modes.push_back(d);
    has_window_mode |= d.width == width && d.height == height && d.bits == desktop_bits;
  }
  if (!has_window_mode) modes.push_back({width, height, desktop_bits});
  return modes;
}

bool display_named() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (w && *w);
}

}  // namespace

int32_t open(const char* title, int32_t width, int32_t height, bool full_screen) {
  // SDL falls back to an off-screen driver without a display: ask first.
  if (!display_named()) return RX_WINDOW_NO_DISPLAY;
  if (sdl_calls() == nullptr) return RX_WINDOW_UNAVAILABLE;
  sdl().SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // nearest: pixels stay square and exact
  if (sdl().InitSubSystem(SDL_INIT_VIDEO) != 0) return RX_WINDOW_NO_DISPLAY;
  const char* driver = sdl().GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
      std::strcmp(driver, "dummy") == 0) {
    sdl().QuitSubSystem(SDL_INIT_VIDEO);
    return RX_WINDOW_NO_DISPLAY;
  }
  SDL_DisplayMode desktop;
  SDL_Window* window = nullptr;
  if (sdl().GetDesktopDisplayMode(0, &desktop) == 0) {
    int w = desktop.w, h = desktop.h;
    if (!full_screen) fit(width, height, desktop, &w, &h);
    uint32_t flags = SDL_WINDOW_HIDDEN | (full_screen ? uint32_t{SDL_WINDOW_BORDERLESS} : 0u);
    int at = full_screen ? 0 : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    window = sdl().CreateWindow(title, at, at, w, h, flags);
  }
  SDL_Renderer* renderer = window ? sdl().CreateRenderer(window, -1, 0) : nullptr;
  if (window && renderer == nullptr)
    renderer = sdl().CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) {
    if (window) sdl().DestroyWindow(window);
    sdl().QuitSubSystem(SDL_INIT_VIDEO);
    return RX_WINDOW_FAILED;
  }
  int32_t bits = supported_bits(desktop_depth(window, desktop));
  use_headless(width, height, bits);
  set_display_modes(display_modes(width, height, bits));
  display() = std::make_unique<SdlDisplay>(window, renderer, full_screen, desktop, width, height);
  set_host(display().get());
  sdl().ShowWindow(window);
  sdl().RaiseWindow(window);
  display()->present();
  return RX_WINDOW_OK;
}

bool is_open() { return display() != nullptr; }

void close() {
  if (!display()) return;
  set_host(nullptr);
  display().reset();
  sdl().Quit();
}

bool poll(RxWindowEvent* event) { return display()->poll(event); }
bool wait(RxWindowEvent* event, int32_t timeout_ms) { return display()->wait(event, timeout_ms); }
void set_rate(int32_t per_second) {
  if (display()) display()->set_rate(per_second);
}
int32_t rate() { return display()->rate(); }
int32_t message_box(const char* caption, const char* text, int32_t style) {
  return display()->message_box(caption, text, style);
}

}  // namespace rx::platform::window_backend
