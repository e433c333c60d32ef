// When the next picture may go to the screen: one slot per period, so a
// loop that draws faster than the display shows is held back to its rate.
// A picture may go up to `early` before its slot when the renderer waits
// for the display's refresh itself (that wait then lands it on the slot);
// a picture later than a whole period starts the slots afresh, so a stall
// is not followed by a burst.
#pragma once

#include <algorithm>

namespace rx::platform {

class FramePacer {
 public:
  // period 0: unpaced. Times in seconds.
  void reset(double period, double early) {
    period_ = period;
    early_ = early;
    started_ = false;
  }

  // How long to wait at `now` before showing the next picture.
  double wait(double now) const {
    if (!started_ || period_ <= 0) return 0;
    return std::max(0.0, next_ - early_ - now);
  }

  // A picture went out at `now`.
  void shown(double now) {
    if (period_ <= 0) return;
    next_ = !started_ || now > next_ + period_ ? now + period_ : next_ + period_;
    started_ = true;
  }

 private:
  double period_ = 0, early_ = 0, next_ = 0;
  bool started_ = false;
};

}  // namespace rx::platform
