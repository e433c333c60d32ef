// The call log: what the program asked of the platform, in order, with the
// clock's time; kept only when a test turns it on.
#include <cstdarg>
#include <cstdio>

#include "platform/screen_state.h"

namespace rx::platform {

namespace {

constexpr size_t kLogLimit = 4096;  // a long run keeps only its recent calls
constexpr size_t kLogLineBytes = 128;

void append_to_log(const std::string& what) {
  ScreenState& s = screen();
  if (s.log.size() >= kLogLimit) s.log.erase(s.log.begin(), s.log.begin() + kLogLimit / 2);
  s.log.push_back(what + " @" + std::to_string(clock_now()));
}

}  // namespace

void log_call(const char* format, ...) {
  ScreenState& s = screen();
  if (!s.logging) return;
  char what[kLogLineBytes];
  va_list args;
  va_start(args, format);
  std::vsnprintf(what, sizeof what, format, args);
  va_end(args);
  append_to_log(what);
}

const std::vector<std::string>& call_log() { return screen().log; }
void set_call_log(bool on) { screen().logging = on; }
void clear_call_log() { screen().log.clear(); }
void note_call(const std::string& what) {
  if (screen().logging) append_to_log(what);
}

}  // namespace rx::platform
