// SDL2 window backend. The platform screen is converted to ARGB8888 here,
// with the library's own widening, and uploaded as a texture: SDL's own
// 5-6-5 conversion is not exact. Full screen is a borderless window at
// (0, 0) the size of the desktop with a 640 x 480 logical size, which
// works with or without a window manager.
#include "platform/sdl_window.h"

#include <SDL.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/window.h"

namespace rx::platform::sdl {

namespace {

constexpr int32_t kWindowWidth = 640;
constexpr int32_t kWindowHeight = 480;
constexpr int32_t kUnknownKey = 0xFF;
constexpr int32_t kVirtualKeyF1 = 112;

int32_t key_code(SDL_Keycode sym) {
  if (sym == SDLK_ESCAPE) return kKeyEscape;
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return kVirtualKeyF1 + (sym - SDLK_F1);
  if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (sym - SDLK_a);
  if ((sym >= SDLK_0 && sym <= SDLK_9) || sym == SDLK_SPACE || sym == SDLK_RETURN)
    return static_cast<int32_t>(sym);
  return kUnknownKey;
}

int32_t supported_bits(int32_t bits) {
  return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32 ? bits : 32;
}

class SdlDisplay final : public Host, public WindowBackend {
 public:
  SdlDisplay(SDL_Window* window, SDL_Renderer* renderer, bool windowed, SDL_DisplayMode desktop)
      : window_(window), renderer_(renderer), windowed_(windowed), desktop_(desktop) {}

  ~SdlDisplay() override {
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
  }

  // --- Host --------------------------------------------------------------
  void present() override {
    if (!shown_) return;
    ScreenView v = screen_view();
    if (v.pixels == nullptr || v.width < 1 || v.height < 1) return;
    if (texture_ == nullptr || v.width != texture_width_ || v.height != texture_height_) {
      if (texture_) SDL_DestroyTexture(texture_);
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                   SDL_TEXTUREACCESS_STREAMING, v.width, v.height);
      if (texture_ == nullptr) return;
      texture_width_ = v.width;
      texture_height_ = v.height;
      SDL_RenderSetLogicalSize(renderer_, v.width, v.height);
    }
    argb_.resize(static_cast<size_t>(v.width) * v.height);
    for (int32_t y = 0; y < v.height; ++y)
      screen_row_argb(v, y, 0, v.width, argb_.data() + static_cast<size_t>(y) * v.width);
    SDL_UpdateTexture(texture_, nullptr, argb_.data(), v.width * 4);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }

  void display_changed(const DisplayMode* mode, bool full_screen) override {
    if (mode != nullptr && full_screen && !windowed_) {
      SDL_SetWindowBordered(window_, SDL_FALSE);
      SDL_SetWindowPosition(window_, 0, 0);
      SDL_SetWindowSize(window_, desktop_.w, desktop_.h);
    } else if (mode != nullptr) {
      SDL_SetWindowSize(window_, mode->width, mode->height);
    } else if (!windowed_) {
      // Back from full screen: the window as it was created.
      SDL_SetWindowSize(window_, kWindowWidth, kWindowHeight);
    }
    present();
  }

  uint32_t ticks() override { return SDL_GetTicks(); }

  // --- WindowBackend -----------------------------------------------------
  void show() override {
    SDL_SetWindowTitle(window_, window_title().c_str());
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    shown_ = true;
    present();
  }

  void poll_events() override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) translate(e);
  }

  void wait_events(int32_t timeout_ms) override {
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, timeout_ms)) translate(e);
  }

  int32_t message_box(const std::string& text, const std::string& caption,
                      int32_t style) override {
    bool yes_no = (style & 0xF) == kBoxYesNo;
    bool no_default = (style & kBoxDefaultSecond) != 0;
    SDL_MessageBoxButtonData buttons[2];
    int count = 0;
    const uint32_t on_return = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    const uint32_t on_escape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    if (yes_no) {
      buttons[0] = {no_default ? 0u : on_return, kAnswerYes, "Yes"};
      buttons[1] = {no_default ? on_return | on_escape : on_escape, kAnswerNo, "No"};
      count = 2;
    } else {
      buttons[0] = {on_return | on_escape, kAnswerOk, "OK"};
      count = 1;
    }
    uint32_t flags = (style & kBoxIconError) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData data{flags, window_, caption.c_str(), text.c_str(), count, buttons,
                            nullptr};
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0 || pressed < 0) return 0;
    return pressed;
  }

  void beep() override {}  // SDL has no system sound

  void window_destroyed() override {
    shown_ = false;
    SDL_HideWindow(window_);
  }

 private:
  void translate(const SDL_Event& e) {
    switch (e.type) {
      case SDL_QUIT:
        post_message(kMsgClose, 0);
        break;
      case SDL_KEYDOWN:
        post_message(kMsgKeyDown, key_code(e.key.keysym.sym));
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
          post_message(kMsgSetFocus, 0);
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                 e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
          invalidate_window();
        else if (e.window.event == SDL_WINDOWEVENT_CLOSE)
          post_message(kMsgClose, 0);
        break;
      default:
        break;
    }
  }

  SDL_Window* window_;
  SDL_Renderer* renderer_;
  bool windowed_;
  SDL_DisplayMode desktop_;
  SDL_Texture* texture_ = nullptr;
  int32_t texture_width_ = 0, texture_height_ = 0;
  bool shown_ = false;
  std::vector<uint32_t> argb_;
};

std::unique_ptr<SdlDisplay>& display() {
  static std::unique_ptr<SdlDisplay> d;
  return d;
}

// The desktop's modes, and 640 x 480 at its depth, which scaling always gives.
std::vector<DisplayMode> display_modes(int32_t desktop_bits) {
  std::vector<DisplayMode> modes;
  bool has_window_mode = false;
  int n = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < n; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
    DisplayMode d{m.w, m.h, supported_bits(static_cast<int32_t>(SDL_BITSPERPIXEL(m.format)))};
    modes.push_back(d);
    has_window_mode |= d.width == kWindowWidth && d.height == kWindowHeight &&
                       d.bits == desktop_bits;
  }
  if (!has_window_mode) modes.push_back({kWindowWidth, kWindowHeight, desktop_bits});
  return modes;
}

}  // namespace

Start start(bool windowed, std::string* why) {
  if (display()) return Start::kReady;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // nearest: pixels stay square and exact
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    *why = std::string("no display: ") + SDL_GetError();
    return Start::kNoDisplay;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
      std::strcmp(driver, "dummy") == 0) {
    SDL_Quit();
    *why = "no display (SDL found only an off-screen video driver)";
    return Start::kNoDisplay;
  }
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
    *why = std::string("cannot read the desktop mode: ") + SDL_GetError();
    SDL_Quit();
    return Start::kFailed;
  }
  uint32_t flags = SDL_WINDOW_HIDDEN | (windowed ? 0u : uint32_t{SDL_WINDOW_BORDERLESS});
  int x = windowed ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : 0;
  int y = windowed ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : 0;
  SDL_Window* window = SDL_CreateWindow("", x, y, kWindowWidth, kWindowHeight, flags);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
  if (window && renderer == nullptr)
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) {
    *why = std::string("cannot open a window: ") + SDL_GetError();
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
    return Start::kFailed;
  }
  int32_t bits = supported_bits(static_cast<int32_t>(SDL_BITSPERPIXEL(desktop.format)));
  use_headless(desktop.w, desktop.h, bits);
  set_display_modes(display_modes(bits));
  display() = std::make_unique<SdlDisplay>(window, renderer, windowed, desktop);
  set_host(display().get());
  set_window_backend(display().get());
  return Start::kReady;
}

void stop() {
  if (!display()) return;
  set_window_backend(nullptr);
  set_host(nullptr);
  display().reset();
  SDL_Quit();
}

}  // namespace rx::platform::sdl
