// The window backend of a build without SDL2: no window ever opens.
#include "platform/sdl_window.h"

namespace rx::platform::window_backend {

int32_t open(const char*, int32_t, int32_t, bool) { return RX_WINDOW_UNAVAILABLE; }
bool is_open() { return false; }
void close() {}
bool poll(RxWindowEvent*) { return false; }
bool wait(RxWindowEvent*, int32_t) { return false; }
void set_rate(int32_t) {}
int32_t rate() { return 0; }
int32_t message_box(const char*, const char*, int32_t) { return RX_ANSWER_NONE; }

}  // namespace rx::platform::window_backend
