// Display modes: the search, the test change, the switch and the restore,
// in order, each with its settle wait (on the virtual clock).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;

struct Logged {
  std::string what;
  uint32_t at;
};

std::vector<Logged> log_entries() {
  std::vector<Logged> out;
  for (const std::string& line : platform::call_log()) {
    size_t at = line.rfind(" @");
    out.push_back({line.substr(0, at), static_cast<uint32_t>(std::stoul(line.substr(at + 2)))});
  }
  return out;
}

class DisplayModes : public rx::support::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    platform::set_virtual_clock(true, 1000, 1);
    platform::set_call_log(true);
  }
  void TearDown() override {
    platform::set_virtual_clock(false);
    HeadlessTest::TearDown();
  }
  static uint32_t now() { return platform::tick_count(); }
};

TEST_F(DisplayModes, FindWaitsThenTestsTheFirstMatchingMode) {
  platform::set_display_modes({{800, 600, 16}, {640, 480, 8}, {640, 480, 16}, {640, 480, 16}});
  const uint32_t start = now();
  EXPECT_EQ(rx_find_display_mode(640, 480, 16), 0);
  std::vector<Logged> log = log_entries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].what, "test 640x480x16 flags=2");
  EXPECT_GE(log[0].at - start, 200u);
  // The found mode stays in the display-mode record.
  const uint8_t* record = rx::state().scratch;
  uint32_t bits, width, height;
  std::memcpy(&bits, record + 104, 4);
  std::memcpy(&width, record + 108, 4);
  std::memcpy(&height, record + 112, 4);
  EXPECT_EQ(bits, 16u);
  EXPECT_EQ(width, 640u);
  EXPECT_EQ(height, 480u);
}

TEST_F(DisplayModes, FindWithoutAListedModeFailsAfterItsWait) {
  platform::set_display_modes({{640, 480, 8}, {640, 480, 32}});
  const uint32_t start = now();
  EXPECT_EQ(rx_find_display_mode(640, 480, 16), -1);
  EXPECT_GE(now() - start, 200u);
  EXPECT_TRUE(platform::call_log().empty());
  platform::set_display_modes({});
  EXPECT_EQ(rx_find_display_mode(640, 480, 16), -1);
}

TEST_F(DisplayModes, FindPassesTheTestResultOn) {
  platform::set_test_change_result(platform::kChangeBadMode);
  EXPECT_EQ(rx_find_display_mode(640, 480, 24), platform::kChangeBadMode);
  platform::set_test_change_result(platform::kChangeRestart);
  EXPECT_EQ(rx_find_display_mode(640, 480, 24), platform::kChangeRestart);
}

TEST_F(DisplayModes, SetWaitsBeforeTheChangeAndRetriesWithTheRegistryFlag) {
  struct Case {
    int32_t full_screen;
    std::vector<int32_t> results;
    std::vector<std::string> calls;
    int32_t result;
  } cases[] = {
      {1, {0}, {"change 640x480x16 flags=4"}, 0},
      {1, {-1, 0}, {"change 640x480x16 flags=4", "change 640x480x16 flags=5"}, 0},
      {0, {-1, -2}, {"change 640x480x16 flags=0", "change 640x480x16 flags=1"}, -2},
      {0, {1, 0}, {"change 640x480x16 flags=0", "change 640x480x16 flags=1"}, 0},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(rx_find_display_mode(640, 480, 16), 0);
    platform::clear_call_log();
    platform::set_change_results(c.results);
    const uint32_t start = now();
    EXPECT_EQ(rx_set_display_mode(640, 480, 16, c.full_screen), c.result);
    std::vector<Logged> log = log_entries();
    ASSERT_EQ(log.size(), c.calls.size());
    for (size_t i = 0; i < log.size(); ++i) EXPECT_EQ(log[i].what, c.calls[i]);
    EXPECT_GE(log[0].at - start, 200u);
    uint32_t fields;
    uint16_t size;
    std::memcpy(&fields, rx::state().scratch + 40, 4);
    std::memcpy(&size, rx::state().scratch + 36, 2);
    EXPECT_EQ(fields, 0x1C0000u);
    EXPECT_EQ(size, 124u);
  }
}

TEST_F(DisplayModes, SetWithoutAPrecedingFindClaimsNoDriverExtraBytes) {
  std::memset(rx::state().scratch, 0xAB, 200);
  EXPECT_EQ(rx_set_display_mode(640, 480, 24, 1), 0);
  uint16_t extra;
  std::memcpy(&extra, rx::state().scratch + 38, 2);
  EXPECT_EQ(extra, 0);
  EXPECT_EQ(platform::screen_view().bits, 24);
}

TEST_F(DisplayModes, BitsZeroRestoresTheStoredModeAndWaitsAfterwards) {
  ASSERT_EQ(rx_set_display_mode(640, 480, 16, 1), 0);
  EXPECT_EQ(rx_display_bits(), 16);
  for (auto args : {std::array<int32_t, 3>{0, 0, 0}, std::array<int32_t, 3>{800, 600, 1}}) {
    platform::clear_call_log();
    EXPECT_EQ(rx_set_display_mode(args[0], args[1], 0, args[2]), 0);
    const uint32_t end = now();
    std::vector<Logged> log = log_entries();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].what, "restore");
    EXPECT_GE(end - log[0].at, 200u);
    EXPECT_EQ(rx_display_bits(), 32);
  }
}

TEST_F(DisplayModes, WaitsSurviveTheWrapOfTheMillisecondCounter) {
  platform::set_virtual_clock(true, 0xFFFFFF00u, 1);
  const uint32_t start = now();
  EXPECT_EQ(rx_find_display_mode(640, 480, 16), 0);
  const uint32_t elapsed = now() - start;
  EXPECT_GE(elapsed, 200u);
  EXPECT_LT(elapsed, 1000u);
}

}  // namespace
