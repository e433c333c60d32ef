// The application shell: window procedure, start-up and teardown, and the
// message loop that runs an animation step whenever the queue is empty.
#pragma once

#include <cstdint>
#include <functional>

namespace fishtank {

int32_t window_procedure(int32_t message, int64_t param);

struct LoopLimits {
  int64_t frames = -1;  // steps to run before closing; -1: until closed
  bool hold = false;    // after the last step keep the window open, still
  std::function<void()> after_step;  // e.g. the recorder
};

struct LoopReport {
  int32_t exit_status = 0;
  int64_t frames = 0;
  double step_seconds = 0;  // total time spent in animation steps
};

// Registers and creates the window (start-up runs inside), shows it and
// runs the loop until the quit message.
LoopReport run_fish_tank(const LoopLimits& limits);

// The same in pieces, for hosts that call the program once per frame (a
// web page): begin creates and shows the window (false when it cannot);
// each turn handles every queued message, then runs one animation step
// when step is true. false once the program ended (report->exit_status).
bool begin_fish_tank();
bool fish_tank_turn(const LoopLimits& limits, LoopReport* report, bool step = true);

}  // namespace fishtank
