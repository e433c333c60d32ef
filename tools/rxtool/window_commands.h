// rxtool show and rxtool play: a picture or a flic in a window of the
// public window library.
#pragma once

#include "options.h"

namespace rxtool {

// Shows the picture at its size (shrunk to fit the desktop) until Escape,
// Q or a close.
int run_show(const Options& o);
// Plays the flic at its own speed, looping; Space pauses, Escape, Q or a
// close ends.
int run_play(const Options& o);

}  // namespace rxtool
