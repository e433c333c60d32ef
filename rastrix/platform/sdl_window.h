// The window backend behind rastrix_window.h: the platform screen shown in
// a real window, its events, message boxes and pacing. The public calls
// (window.cpp) check their arguments and come here; a build without SDL2
// links the stand-in (no_window.cpp), which opens nothing.
#pragma once

#include <cstdint>

#include "rastrix_window.h"

namespace rx::platform::window_backend {

// RX_WINDOW_ result. On success the platform screen is width x height at
// the desktop's depth and the window shows it.
int32_t open(const char* title, int32_t width, int32_t height, bool full_screen);
bool is_open();
void close();
bool poll(RxWindowEvent* event);
bool wait(RxWindowEvent* event, int32_t timeout_ms);
void set_rate(int32_t per_second);  // checked by the caller
int32_t rate();
int32_t message_box(const char* caption, const char* text, int32_t style);

}  // namespace rx::platform::window_backend
