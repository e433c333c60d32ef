// fishtank: the entry point. Chooses the screen (an SDL window, or headless
// when asked or when there is no display), finds the pictures, runs the
// tank and reports what it showed.
#include <cstdio>
#include <string>
#include <vector>

#include "asset_search.h"
#include "options.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "recording.h"
#include "shell.h"
#include "tank.h"
#ifdef FISHTANK_HAVE_SDL
#include "platform/sdl_window.h"
#endif

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;
constexpr int64_t kHeadlessFrames = 300;
constexpr int32_t kDefaultDesktopDepth = 32;

bool display_present() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (w && *w);
}

}  // namespace

int main(int argc, char** argv) {
  namespace platform = rx::platform;
  fishtank::Options o;
  std::string error;
  if (!fishtank::parse_options(std::vector<std::string>(argv + 1, argv + argc), &o, &error)) {
    std::fprintf(stderr, "fishtank: %s\n%s", error.c_str(), fishtank::usage_text());
    return kUsageStatus;
  }
  if (o.help) {
    std::fputs(fishtank::usage_text(), stdout);
    return 0;
  }
  if (o.version) {
    std::printf("fishtank (Rastrix) %s\n", RASTRIX_VERSION_TEXT);
    return 0;
  }

  std::string assets = fishtank::find_assets(o.assets, fishtank::program_folder(), &error);
  if (assets.empty()) {
    std::fprintf(stderr, "fishtank: %s\n", error.c_str());
    return kFailureStatus;
  }

  bool headless = o.headless;
  if (!headless && !display_present()) {
    std::fprintf(stderr, "fishtank: no display found (DISPLAY and WAYLAND_DISPLAY unset): "
                         "rendering headless\n");
    headless = true;
  }
#ifdef FISHTANK_HAVE_SDL
  if (!headless) {
    std::string why;
    platform::sdl::Start s = platform::sdl::start(o.windowed, &why);
    if (s != platform::sdl::Start::kReady) {
      std::fprintf(stderr, "fishtank: %s: rendering headless\n", why.c_str());
      headless = true;
    }
  }
#else
  if (!headless) {
    std::fprintf(stderr, "fishtank: built without a window backend: rendering headless\n");
    headless = true;
  }
#endif
  if (headless) {
    int32_t depth = o.desktop_depth != 0 ? o.desktop_depth : kDefaultDesktopDepth;
    rx_headless_screen(fishtank::kScreenWidth, fishtank::kScreenHeight, depth);
  }
  platform::set_message_box_answer(o.answer);  // also when a window cannot show a box

  fishtank::Tank& t = fishtank::tank();
  t.assets = assets;
  t.seed = o.seed;
  t.seed_given = o.seed_given;

  fishtank::Recorder recorder;
  fishtank::LoopLimits limits;
  limits.frames = o.frames >= 0 ? o.frames : headless ? kHeadlessFrames : -1;
  limits.hold = o.hold && !headless;
  if (!o.record.empty()) {
    if (!recorder.open(o.record, &error)) {
      std::fprintf(stderr, "fishtank: %s\n", error.c_str());
      return kFailureStatus;
    }
    limits.after_step = [&recorder] { recorder.add_frame(); };
  }

  fishtank::LoopReport report = fishtank::run_fish_tank(limits);
#ifdef FISHTANK_HAVE_SDL
  if (!headless) platform::sdl::stop();
#endif
  if (report.frames > 0)
    std::printf("fishtank: %lld frames shown, mean step %.1f us\n",
                static_cast<long long>(report.frames),
                report.step_seconds * 1e6 / static_cast<double>(report.frames));
  if (!o.record.empty() && report.exit_status == 0) {
    if (!recorder.finish(&error)) {
      std::fprintf(stderr, "fishtank: %s\n", error.c_str());
      return kFailureStatus;
    }
    std::printf("fishtank: recording written to %s\n", o.record.c_str());
  }
  return report.exit_status;
}
