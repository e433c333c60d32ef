// fishtank: the entry point. Chooses the screen (a window on the desktop,
// or headless when asked or when there is none), finds the pictures, runs
// the tank and reports what it showed.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

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

std::string program_dir() {
  std::vector<char> buf(4096);
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return ".";
  std::string path(buf.data(), static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool has_pictures(const std::string& dir) {
  return access((dir + "/" + fishtank::kPhotoFile).c_str(), R_OK) == 0;
}

// Beside the program, then the source tree seen from a build folder, then
// the installed data folder.
std::string find_assets() {
  std::string here = program_dir();
  std::vector<std::string> places = {here, here + "/../demo/assets"};
#ifdef FISHTANK_DATA_DIR
  places.push_back(FISHTANK_DATA_DIR);
#endif
  for (const std::string& p : places)
    if (has_pictures(p)) return p;
  return here;  // the failure message then names a real place
}

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
  t.assets = o.assets.empty() ? find_assets() : o.assets;
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
