// The call log: off unless a test asks for it, and never a reader of the
// clock, so that logging changes neither test time nor what is recorded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "support/headless_fixture.h"

namespace {
size_t allocations = 0;  // by operator new, in this test program
}  // namespace

void* operator new(size_t bytes) {
  ++allocations;
  if (void* p = std::malloc(bytes ? bytes : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

namespace platform = rx::platform;
using rx::support::HeadlessTest;

// Platform calls that log, each followed by a read of the clock.
std::vector<uint32_t> ticks_around_logged_calls() {
  std::vector<uint32_t> seen;
  const platform::PaletteEntry entries[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  seen.push_back(platform::tick_count());
  platform::Palette* p = platform::create_palette(entries, 2);
  seen.push_back(platform::tick_count());
  platform::select_palette(platform::window_dc(), p, false);
  seen.push_back(platform::tick_count());
  platform::realize_palette(platform::window_dc());
  seen.push_back(platform::tick_count());
  const platform::DisplayMode mode{640, 480, 16};
  platform::change_display_settings(&mode, platform::kChangeTest);
  platform::change_display_settings(&mode, 0);
  seen.push_back(platform::tick_count());
  platform::change_display_settings(nullptr, 0);
  platform::note_call("shown");
  seen.push_back(platform::tick_count());
  platform::select_palette(platform::window_dc(), nullptr, false);
  platform::delete_palette(p);
  seen.push_back(platform::tick_count());
  return seen;
}

TEST_F(HeadlessTest, LoggingMovesNoClock) {
  for (bool logging : {false, true}) {
    platform::set_call_log(logging);
    platform::set_virtual_clock(true, 100, 7);
    const std::vector<uint32_t> seen = ticks_around_logged_calls();
    // Only the reads of the sequence itself move the clock.
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], 100u + 7u * i) << logging << i;
    EXPECT_EQ(platform::call_log().empty(), !logging);
  }
  platform::set_virtual_clock(false);
}

TEST_F(HeadlessTest, LogIsOffUntilTurnedOnAndAgainOnANewScreen) {
  const platform::PaletteEntry entry{9, 9, 9, 0};
  platform::delete_palette(platform::create_palette(&entry, 1));
  EXPECT_TRUE(platform::call_log().empty());
  platform::set_call_log(true);
  platform::set_virtual_clock(true, 1234, 1);
  platform::delete_palette(platform::create_palette(&entry, 1));
  const platform::DisplayMode mode{320, 200, 8};
  platform::change_display_settings(&mode, platform::kChangeFullscreen);
  const std::vector<std::string> want = {"create_palette @1234", "delete_palette @1234",
                                         "change 320x200x8 flags=4 @1234"};
  EXPECT_EQ(platform::call_log(), want);
  platform::set_call_log(false);
  platform::change_display_settings(nullptr, 0);
  EXPECT_EQ(platform::call_log(), want);  // kept, nothing added
  platform::set_call_log(true);
  ASSERT_NE(rx_headless_screen(640, 480, 32), nullptr);
  EXPECT_TRUE(platform::call_log().empty());
  platform::change_display_settings(nullptr, 0);
  EXPECT_TRUE(platform::call_log().empty());  // a new screen starts with the log off
  platform::set_virtual_clock(false);
}

TEST_F(HeadlessTest, ALoggedCallAllocatesNothingWithTheLogOff) {
  // A 32-bit bitmap on the 32-bit screen: the transfer itself needs no memory.
  uint8_t info[40] = {40};
  info[4] = 4;   // width
  info[8] = 2;   // height
  info[12] = 1;  // planes
  info[14] = 32;
  const uint8_t pixels[4 * 4 * 2] = {};
  const platform::DisplayMode mode{640, 480, 32};
  const size_t before = allocations;
  EXPECT_EQ(platform::set_dib_bits_to_device(platform::window_dc(), 0, 0, 4, 2, 0, 0, 0, 2, pixels,
                                             info, platform::kRgbColors),
            2);
  platform::change_display_settings(&mode, platform::kChangeTest);
  platform::realize_palette(platform::window_dc());
  EXPECT_EQ(allocations, before);
  platform::set_call_log(true);
  platform::change_display_settings(&mode, platform::kChangeTest);
  EXPECT_GT(allocations, before);  // the counter sees the log's lines
  EXPECT_EQ(platform::call_log().size(), 1u);
}

}  // namespace
