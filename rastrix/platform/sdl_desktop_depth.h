// The desktop's depth in bits per pixel, as the window backend reports it.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace rx::platform::window_backend {

// From SDL's pixel format of the desktop; where SDL names none (an X
// screen of 8 bits: a palette, or 3-3-2 colour), from the X screen itself.
// 0 when neither tells.
int32_t desktop_depth(SDL_Window* window, const SDL_DisplayMode& desktop);

}  // namespace rx::platform::window_backend
