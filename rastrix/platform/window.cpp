// The public window calls: arguments checked here, the work done by the
// backend (sdl_window.cpp, or no_window.cpp without SDL2).
#include "platform/platform.h"
#include "platform/sdl_window.h"
#include "rastrix_window.h"

namespace backend = rx::platform::window_backend;

namespace {

constexpr int32_t kMaxWaitMs = 60000;

bool take(RxWindowEvent* event, bool got) {
  if (!got && event != nullptr) *event = RxWindowEvent{RX_EVENT_NONE, 0};
  return got;
}

}  // namespace

extern "C" {

int32_t rx_window_open(const char* title, int32_t width, int32_t height, int32_t flags,
                       RxDC* dc) {
  if (dc == nullptr || width < 1 || height < 1 || width > RX_MAX_BUFFER_SIDE ||
      height > RX_MAX_BUFFER_SIDE)
    return RX_WINDOW_BAD_ARGUMENT;
  if (backend::is_open()) return RX_WINDOW_OPEN_ALREADY;
  int32_t result =
      backend::open(title ? title : "", width, height, (flags & RX_WINDOW_FULL_SCREEN) != 0);
  if (result == RX_WINDOW_OK) *dc = reinterpret_cast<RxDC>(rx::platform::window_dc());
  return result;
}

int32_t rx_window_close(void) {
  backend::close();
  return RX_WINDOW_OK;
}

int32_t rx_window_poll(RxWindowEvent* event) {
  return take(event, event != nullptr && backend::is_open() && backend::poll(event));
}

int32_t rx_window_wait(RxWindowEvent* event, int32_t timeout_ms) {
  if (timeout_ms < 0) timeout_ms = 0;
  if (timeout_ms > kMaxWaitMs) timeout_ms = kMaxWaitMs;
  return take(event,
              event != nullptr && backend::is_open() && backend::wait(event, timeout_ms));
}

int32_t rx_window_set_rate(int32_t per_second) {
  if (per_second < RX_WINDOW_RATE_DISPLAY || per_second > RX_WINDOW_MAX_RATE)
    return RX_WINDOW_BAD_ARGUMENT;
  backend::set_rate(per_second);
  return RX_WINDOW_OK;
}

int32_t rx_window_rate(void) { return backend::is_open() ? backend::rate() : 0; }

int32_t rx_window_message_box(const char* caption, const char* text, int32_t style) {
  if (!backend::is_open()) return RX_ANSWER_NONE;
  return backend::message_box(caption ? caption : "", text ? text : "", style);
}

}  // extern "C"
