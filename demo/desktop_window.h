// The tank's window on the desktop, through the public window library.
#pragma once

#include <cstdint>
#include <string>

namespace fishtank {

// Opens the window (the whole screen, or a 640 x 480 window) and makes it
// the shell's backend and device context, showing per_second pictures a
// second (the window library's RX_WINDOW_RATE_DISPLAY, 0 unpaced). false
// with *why when no window can be had; the caller then runs headless.
bool open_desktop_window(bool windowed, int32_t per_second, std::string* why);
// Closes the window and gives the desktop back; the shell is headless again.
void close_desktop_window();

}  // namespace fishtank
