// Kept apart from the backend: the X headers define many plain names.
#include "platform/sdl_desktop_depth.h"

#include <SDL_syswm.h>

#include "platform/sdl_calls.h"

namespace rx::platform::window_backend {

int32_t desktop_depth(SDL_Window* window, const SDL_DisplayMode& desktop) {
  const int32_t bits = static_cast<int32_t>(SDL_BITSPERPIXEL(desktop.format));
  if (bits != 0 || window == nullptr) return bits;
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (sdl().GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11 &&
      info.info.x11.display != nullptr) {
    // Xlib's macros read the display record: no call into Xlib, which
    // SDL loads for itself.
    Display* display = info.info.x11.display;
    return DefaultDepth(display, DefaultScreen(display));
  }
#endif
  return 0;
}

}  // namespace rx::platform::window_backend
