// Display modes: the list, the test change, the switch and the restore;
// and the version word.
#include "platform/screen_state.h"

namespace rx::platform {

bool enum_display_settings(int32_t mode_number, DisplayMode* out) {
  ScreenState& s = screen();
  if (mode_number < 0 || static_cast<size_t>(mode_number) >= s.modes.size() || out == nullptr)
    return false;
  *out = s.modes[static_cast<size_t>(mode_number)];
  // 5-5-5 screens count as 16 bits, as the desktop's depth is reported.
  if (out->bits == 15) out->bits = 16;
  return true;
}

int32_t change_display_settings(const DisplayMode* mode, int32_t flags) {
  ScreenState& s = screen();
  if (mode == nullptr) {
    log_call("restore");
    if (s.current.width != s.desktop.width || s.current.height != s.desktop.height ||
        s.current.bits != s.desktop.bits)
      allocate_screen(s, s.desktop.width, s.desktop.height, s.desktop.bits);
    s.current = s.desktop;
    reset_system_palette(s);
    if (s.host) s.host->display_changed(nullptr, false);
    return kChangeSuccessful;
  }
  const char* what = flags & kChangeTest ? "test" : "change";
  log_call("%s %dx%dx%d flags=%d", what, mode->width, mode->height, mode->bits, flags);
  if (flags & kChangeTest) return s.test_result;
  int32_t result = kChangeSuccessful;
  if (!s.change_results.empty()) {
    result = s.change_results.front();
    s.change_results.erase(s.change_results.begin());
  }
  if (result != kChangeSuccessful) return result;
  if (!supported_screen_bits(mode->bits) || !supported_screen_size(mode->width, mode->height))
    return kChangeBadMode;
  // A 16-bit mode of a 5-5-5 desktop keeps the desktop's storage.
  const DisplayMode chosen{mode->width, mode->height,
                           mode->bits == 16 && s.desktop.bits == 15 ? 15 : mode->bits};
  if (chosen.width != s.width || chosen.height != s.height || chosen.bits != s.bits) {
    allocate_screen(s, chosen.width, chosen.height, chosen.bits);
    reset_system_palette(s);
  }
  s.current = chosen;
  if (s.host) s.host->display_changed(&chosen, (flags & kChangeFullscreen) != 0);
  return kChangeSuccessful;
}

uint32_t version() { return screen().version; }

void set_display_modes(const std::vector<DisplayMode>& modes) { screen().modes = modes; }
void set_test_change_result(int32_t result) { screen().test_result = result; }
void set_change_results(const std::vector<int32_t>& results) { screen().change_results = results; }
void set_version(uint32_t version) { screen().version = version; }

}  // namespace rx::platform
