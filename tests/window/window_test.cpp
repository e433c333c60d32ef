// The public window calls without a display: open fails with its own
// result and leaves the library's screen alone, the other calls are safe.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "rastrix_window.h"

namespace {

// Hides the display for one test and puts it back afterwards.
class NoDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
      const char* v = std::getenv(name);
      saved_.push_back({name, v ? std::string(v) : std::string(), v != nullptr});
      unsetenv(name);
    }
  }
  void TearDown() override {
    rx_window_close();
    for (const Saved& s : saved_)
      if (s.present) setenv(s.name, s.value.c_str(), 1);
  }

 private:
  struct Saved {
    const char* name;
    std::string value;
    bool present;
  };
  std::vector<Saved> saved_;
};

TEST_F(NoDisplay, OpenSaysSoAndChangesNothing) {
  RxDC headless = rx_headless_screen(320, 200, 16);
  ASSERT_NE(headless, nullptr);
  RxDC dc = reinterpret_cast<RxDC>(&dc);  // must stay as it is
  RxDC before = dc;
  int32_t result = rx_window_open("t", 640, 480, RX_WINDOW_FULL_SCREEN, &dc);
  EXPECT_TRUE(result == RX_WINDOW_NO_DISPLAY || result == RX_WINDOW_UNAVAILABLE) << result;
  EXPECT_EQ(dc, before);
  EXPECT_EQ(rx_window_open(nullptr, 1, 1, RX_WINDOW_WINDOWED, &dc), result);
  // The headless screen is still the one the library draws on.
  uint8_t rgb[3];
  EXPECT_EQ(rx_screen_pixel(319, 199, rgb), RX_OK);
  EXPECT_EQ(rx_screen_pixel(320, 199, rgb), RX_ERR_ARGUMENT);
}

TEST_F(NoDisplay, BadArgumentsAreRefusedBeforeAnythingElse) {
  RxDC dc = nullptr;
  EXPECT_EQ(rx_window_open("t", 640, 480, 0, nullptr), RX_WINDOW_BAD_ARGUMENT);
  for (int32_t side : {0, -1, RX_MAX_BUFFER_SIDE + 1}) {
    EXPECT_EQ(rx_window_open("t", side, 480, 0, &dc), RX_WINDOW_BAD_ARGUMENT) << side;
    EXPECT_EQ(rx_window_open("t", 640, side, 0, &dc), RX_WINDOW_BAD_ARGUMENT) << side;
  }
  EXPECT_EQ(dc, nullptr);
  EXPECT_EQ(rx_window_set_rate(-2), RX_WINDOW_BAD_ARGUMENT);
  EXPECT_EQ(rx_window_set_rate(RX_WINDOW_MAX_RATE + 1), RX_WINDOW_BAD_ARGUMENT);
  const int32_t rates[] = {RX_WINDOW_RATE_DISPLAY, 0, 1, 50, RX_WINDOW_MAX_RATE};
  for (int32_t rate : rates)
    EXPECT_EQ(rx_window_set_rate(rate), RX_WINDOW_OK) << rate;
}

TEST_F(NoDisplay, CallsWithoutAWindowAreHarmless) {
  RxWindowEvent e{RX_EVENT_KEY, 65};
  EXPECT_EQ(rx_window_poll(&e), 0);
  EXPECT_EQ(e.type, RX_EVENT_NONE);
  EXPECT_EQ(e.key, 0);
  e = {RX_EVENT_CLOSE, 1};
  EXPECT_EQ(rx_window_wait(&e, 10), 0);
  EXPECT_EQ(e.type, RX_EVENT_NONE);
  EXPECT_EQ(rx_window_poll(nullptr), 0);
  EXPECT_EQ(rx_window_wait(nullptr, -5), 0);
  EXPECT_EQ(rx_window_rate(), 0);
  EXPECT_EQ(rx_window_message_box("c", "t", RX_BOX_YES_NO), RX_ANSWER_NONE);
  EXPECT_EQ(rx_window_close(), RX_WINDOW_OK);
  EXPECT_EQ(rx_window_close(), RX_WINDOW_OK);
}

}  // namespace
