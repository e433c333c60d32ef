// The fish tank in a web page: the demo's own start-up and step, driven by
// the browser's animation frames instead of a loop. The page passes
// --seed N and --frames N (steps before it holds still); the pictures are
// packed into the build under /assets. The page pauses with Escape and
// resumes with a click (tank_pause).
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>
#include <vector>

#include "desktop_window.h"
#include "native_rand.h"
#include "options.h"
#include "rastrix_window.h"
#include "shell.h"
#include "tank.h"

namespace {

constexpr char kPackedAssets[] = "/assets";

struct PageTank {
  fishtank::LoopLimits limits;  // frames left to the page: the tank never closes itself
  fishtank::LoopReport report;
  int64_t frames = -1;
  bool paused = false;
  bool running = false;
};

PageTank& page_tank() {
  static PageTank p;
  return p;
}

EM_JS(void, note_steps, (double steps), { Module.tankSteps = steps; });
EM_JS(void, note_message, (const char* text), {
  if (Module.onTankMessage) Module.onTankMessage(UTF8ToString(text));
});

EM_BOOL on_frame(double, void*) {
  PageTank& p = page_tank();
  const bool step = !p.paused && (p.frames < 0 || p.report.frames < p.frames);
  p.running = fishtank::fish_tank_turn(p.limits, &p.report, step);
  note_steps(static_cast<double>(p.report.frames));
  if (!p.running) {
    std::string text = "the tank ended with status " + std::to_string(p.report.exit_status);
    note_message(text.c_str());
  }
  return p.running ? EM_TRUE : EM_FALSE;
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void tank_pause(int32_t paused) { page_tank().paused = paused != 0; }

int main(int argc, char** argv) {
  fishtank::Options o;
  std::string error;
  if (!fishtank::parse_options(std::vector<std::string>(argv + 1, argv + argc), &o, &error)) {
    note_message(error.c_str());
    return 1;
  }
  if (!fishtank::open_desktop_window(false, RX_WINDOW_RATE_DISPLAY, &error)) {
    note_message(error.c_str());
    return 1;
  }
  fishtank::Tank& t = fishtank::tank();
  t.assets = o.assets.empty() ? kPackedAssets : o.assets;
  t.seed = o.seed;
  t.seed_given = o.seed_given;
  web::seed_native_rand(o.seed);  // the page always passes a seed
  t.random = web::native_rand;
  PageTank& p = page_tank();
  p.frames = o.frames;
  if (!fishtank::begin_fish_tank()) {
    note_message("the tank's window could not be made");
    return 1;
  }
  p.running = true;
  emscripten_request_animation_frame_loop(on_frame, nullptr);
  return 0;
}
