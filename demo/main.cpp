// fishtank: the entry point. Chooses the screen (a window on the desktop,
// or headless when asked or when there is none), finds the pictures, runs
// the tank and reports what it showed.
#include <cstdio>
#include <string>
#include <vector>

#include "asset_search.h"
#include "desktop_window.h"
#include "options.h"
#include "progress.h"
#include "rastrix_window.h"
#include "recording.h"
#include "shell.h"
#include "tank.h"
#include "window.h"

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;
constexpr int64_t kHeadlessFrames = 300;
constexpr int32_t kDefaultDesktopDepth = 32;

}  // namespace

int main(int argc, char** argv) {
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


  // A recording runs at its own rate so that it plays like the window.
  bool recording = !o.record.empty();
  int32_t rate = o.fps >= 0 ? o.fps : recording ? fishtank::kRecordRate : RX_WINDOW_RATE_DISPLAY;
  fishtank::Recorder recorder;
  if (recording && !recorder.open(o.record, &error, rate)) {  // before the first step
    std::fprintf(stderr, "fishtank: %s\n", error.c_str());
    return kFailureStatus;
  }

  bool headless = o.headless;
  if (!headless) {
    std::string why;
    if (!fishtank::open_desktop_window(o.windowed, rate, &why)) {
      std::fprintf(stderr, "fishtank: %s: rendering headless\n", why.c_str());
      headless = true;
    }
  }
  if (headless) {
    int32_t depth = o.desktop_depth != 0 ? o.desktop_depth : kDefaultDesktopDepth;
    fishtank::set_window_dc(
        rx_headless_screen(fishtank::kScreenWidth, fishtank::kScreenHeight, depth));
  }
  fishtank::set_message_box_answer(o.answer);  // also when a window cannot show a box

  fishtank::Tank& t = fishtank::tank();
  t.assets = assets;
  t.seed = o.seed;
  t.seed_given = o.seed_given;

  fishtank::LoopLimits limits;
  limits.frames = o.frames >= 0 ? o.frames : headless ? kHeadlessFrames : -1;
  limits.hold = o.hold && !headless;
  fishtank::Progress progress(stderr, recording && fishtank::error_is_terminal(), limits.frames);
  if (recording)
    limits.after_step = [&recorder, &progress] {
      recorder.add_frame();
      progress.step(recorder.frames());
    };

  fishtank::LoopReport report = fishtank::run_fish_tank(limits);
  progress.finish();
  if (!headless) fishtank::close_desktop_window();
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
