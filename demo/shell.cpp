// Window procedure, start-up and teardown sequences, and the message loop.
#include "shell.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "scene.h"
#include "step.h"
#include "tank.h"
#include "window.h"

namespace fishtank {

namespace {

constexpr char kModeFailure[] = "Cannot set desktop resolution.";
constexpr char kErrorCaption[] = "Error";
constexpr char kDepthWarning[] = "A high color or true color display is recommended. Continue?";
constexpr char kDepthCaption[] = "FISH";
constexpr int32_t kWarningStyle =
    kBoxYesNo | kBoxIconQuestion | kBoxDefaultSecond;
constexpr int32_t kPaletteDepthLimit = 8;  // desktops this deep or less get the warning
constexpr int32_t kFailureStatus = 1;

// Reports a start-up failure and closes the window; the program ends with
// the failure status after the normal teardown.
void give_up(const char* text) {
  message_box(text, kErrorCaption, kBoxIconError);
  tank().exit_status = kFailureStatus;
  destroy_window();
}

void start_up() {
  Tank& t = tank();
  t.window_dc = window_dc();
  rx_set_dc(t.window_dc);
  t.palette = rx_make_palette();
  rx_realize_palette(t.palette);
  show_window();
  if (rx_find_display_mode(kScreenWidth, kScreenHeight, rx_display_bits()) != RX_OK) {
    give_up(kModeFailure);
    return;
  }
  rx_set_display_mode(kScreenWidth, kScreenHeight, rx_display_bits(), 1);
  rx_init();
  rx_set_buffer_depth(kBufferBits);
  t.wheel = rx_buffer_create(kWheelWidth, kWheelHeight);
  t.frame = rx_buffer_create(kScreenWidth, kScreenHeight);
  t.background = rx_buffer_create(kScreenWidth, kScreenHeight);
  if (int32_t failed = std::min({t.wheel, t.frame, t.background}); failed < 0) {
    std::string text = std::string("Cannot create the tank's picture buffers: ") +
                       rx_result_message(RX_OP_BUFFER_CREATE, failed) + " (result " +
                       std::to_string(failed) + ").";
    give_up(text.c_str());
    return;
  }
  if (std::string e = load_scene(); !e.empty()) {
    give_up(e.c_str());
    return;
  }
  if (rx_display_bits() <= kPaletteDepthLimit) {
    message_beep();
    if (message_box(kDepthWarning, kDepthCaption, kWarningStyle) == kAnswerNo)
      post_message(kMsgClose, 0);
  }
  rx_buffer_select(t.background);  // paints show the photograph until the first step
}

void tear_down() {
  Tank& t = tank();
  rx_buffer_release();
  rx_buffer_free(t.background);
  rx_buffer_free(t.wheel);
  rx_buffer_free(t.frame);
  rx_shutdown();
  rx_delete_palette(t.palette);
  rx_release_dc(t.window_dc);
  rx_set_display_mode(0, 0, 0, 0);
  post_quit_message(t.exit_status);
}

}  // namespace

int32_t window_procedure(int32_t message, int64_t param) {
  switch (message) {
    case kMsgCreate:
      start_up();
      return 0;
    case kMsgDestroy:
      tear_down();
      return 0;
    case kMsgSetFocus:
      rx_realize_palette(tank().palette);
      invalidate_window();
      return 0;
    case kMsgPaint:
      rx_buffer_paste(0, kScreenWidth - 1, 0, kScreenHeight - 1, 0, kScreenHeight - 1);
      return 0;
    case kMsgKeyDown:
      if (param == kKeyEscape || param == kKeyF12) destroy_window();
      return 0;
    default:
      return default_window_procedure(message, param);
  }
}

bool begin_fish_tank() {
  if (!create_window(kWindowClass, kWindowTitle, window_procedure)) return false;
  show_window();
  return true;
}

bool fish_tank_turn(const LoopLimits& limits, LoopReport* report, bool step) {
  constexpr int32_t kHoldWaitMs = 50;
  for (;;) {
    Message m;
    if (peek_message(&m)) {
      if (m.id == kMsgQuit) {
        report->exit_status = static_cast<int32_t>(m.param);
        return false;
      }
      dispatch_message(m);
      continue;
    }
    if (!window_exists()) {  // gone without a quit message
      report->exit_status = tank().exit_status;
      return false;
    }
    if (!step) return true;
    if (limits.frames >= 0 && report->frames >= limits.frames) {
      if (limits.hold)
        wait_message(kHoldWaitMs);
      else
        destroy_window();
      continue;
    }
    break;
  }
  auto start = std::chrono::steady_clock::now();
  animation_step();
  report->step_seconds +=
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ++report->frames;
  if (limits.after_step) limits.after_step();
  return true;
}

LoopReport run_fish_tank(const LoopLimits& limits) {
  LoopReport report;
  if (!begin_fish_tank()) {
    report.exit_status = kFailureStatus;
    return report;
  }
  while (fish_tank_turn(limits, &report)) {
  }
  return report;
}

}  // namespace fishtank
