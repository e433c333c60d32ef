// The SDL2 backend: the platform screen shown in a real window, window
// events turned into the program's messages, SDL message boxes. Built as
// its own library (rastrix_sdl) so that only programs that want a window
// link SDL.
#pragma once

#include <string>

namespace rx::platform::sdl {

enum class Start { kReady, kNoDisplay, kFailed };

// Opens the display: the desktop becomes the platform screen (its size,
// depth and mode list), and SDL becomes the host and window backend.
// windowed keeps a 640 x 480 window with a frame instead of covering the
// screen when the program changes to 640 x 480. Anything but kReady leaves
// the platform headless, with *why saying what was missing.
Start start(bool windowed, std::string* why);
// Closes the window and SDL; the platform is headless again.
void stop();

}  // namespace rx::platform::sdl
