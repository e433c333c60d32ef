// The shell's window backend over rastrix_window.h: the library's events
// become the shell's messages, its message boxes answer the shell's.
#include "desktop_window.h"

#include "rastrix_window.h"
#include "tank.h"
#include "window.h"

namespace fishtank {

namespace {

class DesktopWindow final : public WindowBackend {
 public:
  void show() override {}  // the library shows the window when it opens
  void poll_events() override {
    RxWindowEvent e;
    while (rx_window_poll(&e)) post(e);
  }
  void wait_events(int32_t timeout_ms) override {
    RxWindowEvent e;
    if (rx_window_wait(&e, timeout_ms)) post(e);
  }
  int32_t message_box(const std::string& text, const std::string& caption,
                      int32_t style) override {
    int32_t box = RX_BOX_OK;
    if ((style & 0xF) == kBoxYesNo) box |= RX_BOX_YES_NO;
    if (style & kBoxDefaultSecond) box |= RX_BOX_DEFAULT_NO;
    if (style & kBoxIconError) box |= RX_BOX_ERROR;
    switch (rx_window_message_box(caption.c_str(), text.c_str(), box)) {
      case RX_ANSWER_OK:
        return kAnswerOk;
      case RX_ANSWER_YES:
        return kAnswerYes;
      case RX_ANSWER_NO:
        return kAnswerNo;
      default:
        return 0;
    }
  }
  void beep() override {}  // the window library has no sound
  void window_destroyed() override {}

 private:
  static void post(const RxWindowEvent& e) {
    if (e.type == RX_EVENT_KEY) post_message(kMsgKeyDown, e.key);
    if (e.type == RX_EVENT_CLOSE) post_message(kMsgClose, 0);
    if (e.type == RX_EVENT_FOCUS) post_message(kMsgSetFocus, 0);
  }
};

DesktopWindow& desktop_window() {
  static DesktopWindow w;
  return w;
}

const char* open_failure(int32_t result) {
  switch (result) {
    case RX_WINDOW_NO_DISPLAY:
      return "no display found";
    case RX_WINDOW_UNAVAILABLE:
      return "built without a window backend";
    default:
      return "cannot open a window";
  }
}

}  // namespace

bool open_desktop_window(bool windowed, int32_t per_second, std::string* why) {
  RxDC dc = nullptr;
  int32_t flags = windowed ? RX_WINDOW_WINDOWED : RX_WINDOW_FULL_SCREEN;
  int32_t result = rx_window_open(kWindowTitle, kScreenWidth, kScreenHeight, flags, &dc);
  if (result != RX_WINDOW_OK) {
    *why = open_failure(result);
    return false;
  }
  rx_window_set_rate(per_second);
  set_window_dc(dc);
  set_window_backend(&desktop_window());
  return true;
}

void close_desktop_window() {
  set_window_backend(nullptr);
  rx_window_close();
}

}  // namespace fishtank
