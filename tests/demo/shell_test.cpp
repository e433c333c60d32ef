// The shell against the headless platform: start-up and teardown order,
// the failures that stop the program, the 8-bit question and the keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/state.h"
#include "shell.h"
#include "tank_fixture.h"

namespace fishtank::testing {
namespace {

namespace platform = rx::platform;

// Index of the first log entry starting with prefix at or after from; -1 if none.
int find_call(const std::vector<std::string>& log, const std::string& prefix, int from = 0) {
  for (int i = from; i < static_cast<int>(log.size()); ++i)
    if (log[i].rfind(prefix, 0) == 0) return i;
  return -1;
}

void expect_in_order(const std::vector<std::string>& log, const std::vector<std::string>& steps) {
  int at = 0;
  for (const std::string& s : steps) {
    int found = find_call(log, s, at);
    ASSERT_GE(found, 0) << "missing or out of order: " << s;
    at = found + 1;
  }
}

using ShellTest = TankTest;

TEST_F(ShellTest, ModeTestFailureEndsWithTheErrorBoxAndTheNormalTeardown) {
  platform::set_test_change_result(platform::kChangeFailed);
  LoopReport report = run_fish_tank({});
  EXPECT_EQ(report.exit_status, 1);
  EXPECT_EQ(report.frames, 0);
  std::vector<std::string> log = calls();
  expect_in_order(log, {"create_window Rastrixfish", "create_palette", "realize_palette",
                        "show_window", "test 640x480x32", "message_box Error: Cannot set desktop resolution.",
                        "destroy_window", "delete_palette", "restore", "post_quit 1"});
  EXPECT_EQ(find_call(log, "change "), -1);  // never switched
  EXPECT_EQ(find_call(log, "create_dib"), -1);
  EXPECT_FALSE(window_exists());
}

TEST_F(ShellTest, MissingPictureStopsWithItsNameAndStatusOne) {
  tank().assets = (dir_ / "nowhere").string();
  LoopReport report = run_fish_tank({});
  EXPECT_EQ(report.exit_status, 1);
  EXPECT_EQ(report.frames, 0);
  std::vector<std::string> log = calls();
  int box = find_call(log, "message_box Error: Cannot load ");
  ASSERT_GE(box, 0);
  EXPECT_NE(log[box].find("AQUARIUM.JPG"), std::string::npos) << log[box];
  // In the library's words, with its result.
  EXPECT_NE(log[box].find(std::string(rx_result_message(RX_OP_JPEG_HEADER, RX_ERR_ARGUMENT)) +
                          " (result -1)."),
            std::string::npos)
      << log[box];
  expect_in_order(log, {"change 640x480x32", "create_dib 188x153x16", "create_dib 640x480x16",
                        "create_dib 640x480x16", "message_box Error: Cannot load", "destroy_window",
                        "delete_bitmap", "delete_bitmap", "delete_bitmap", "delete_palette",
                        "restore", "post_quit 1"});
}

TEST_F(ShellTest, DamagedFishPictureIsNamed) {
  use_test_pictures();
  write_file(dir_ / "GUDGEON.PCX", {10, 5, 1, 8, 0, 0});  // a header cut short
  LoopReport report = run_fish_tank({});
  EXPECT_EQ(report.exit_status, 1);
  std::vector<std::string> log = calls();
  int box = find_call(log, "message_box Error: Cannot load ");
  ASSERT_GE(box, 0);
  EXPECT_NE(log[box].find("GUDGEON.PCX"), std::string::npos) << log[box];
  EXPECT_NE(log[box].find(rx_result_message(RX_OP_SHOW_PCX, RX_PICTURE_BAD_START)),
            std::string::npos)
      << log[box];
}

TEST_F(ShellTest, MissingFlicIsNamed) {
  use_test_pictures();
  fs::remove(dir_ / kWheelFile);
  LoopReport report = run_fish_tank({});
  EXPECT_EQ(report.exit_status, 1);
  int box = find_call(calls(), "message_box Error: Cannot load ");
  ASSERT_GE(box, 0);
  EXPECT_NE(calls()[box].find("WHEEL3.FLC"), std::string::npos) << calls()[box];
  EXPECT_NE(calls()[box].find(rx_result_message(RX_OP_FLIC_OPEN, RX_ERR_ARGUMENT)),
            std::string::npos)
      << calls()[box];
}

TEST_F(ShellTest, StartUpAndTeardownInOrder) {
  use_test_pictures();
  LoopLimits limits;
  limits.frames = 3;
  LoopReport report = run_fish_tank(limits);
  EXPECT_EQ(report.exit_status, 0);
  EXPECT_EQ(report.frames, 3);
  std::vector<std::string> log = calls();
  expect_in_order(log, {"create_window Rastrixfish", "create_palette", "select_palette",
                        "realize_palette", "show_window", "test 640x480x32",
                        "change 640x480x32 flags=4", "create_memory_dc", "create_dib 188x153x16",
                        "create_dib 640x480x16", "create_dib 640x480x16",
                        // paints and three steps
                        "transfer 640x480", "transfer 640x480", "transfer 640x480",
                        "destroy_window", "delete_bitmap", "delete_bitmap", "delete_bitmap",
                        "delete_dc", "delete_palette", "restore", "post_quit 0"});
  EXPECT_EQ(find_call(log, "message_box"), -1);  // no question on a 32-bit desktop
  EXPECT_EQ(find_call(log, "beep"), -1);
  EXPECT_EQ(window_title(), "Rastrix High Color Fish Tank");
  // The photograph's decode memory is gone: the library must not keep it.
  EXPECT_EQ(rx::state().decode_buffer, rx::state().scratch);
}

class EightBitShellTest : public TankTest {
 protected:
  int32_t desktop_bits() const override { return 8; }
};

TEST_F(EightBitShellTest, WarningAfterLoadingAnsweredNoCloses) {
  use_test_pictures();
  set_message_box_answer(0);  // the default button: No
  LoopLimits limits;
  limits.frames = 5;
  LoopReport report = run_fish_tank(limits);
  EXPECT_EQ(report.exit_status, 0);
  EXPECT_EQ(report.frames, 0);  // closed before the first step
  expect_in_order(calls(), {"create_dib 640x480x16", "beep",
                            "message_box FISH: A high color or true color display is "
                            "recommended. Continue?",
                            "destroy_window", "restore", "post_quit 0"});
}

TEST_F(EightBitShellTest, WarningAnsweredYesRunsOn) {
  use_test_pictures();
  set_message_box_answer(kAnswerYes);
  LoopLimits limits;
  limits.frames = 2;
  LoopReport report = run_fish_tank(limits);
  EXPECT_EQ(report.exit_status, 0);
  EXPECT_EQ(report.frames, 2);
}

// A procedure that leaves start-up and teardown out, to see the keys alone.
int32_t keys_only(int32_t message, int64_t param) {
  if (message == kMsgCreate || message == kMsgDestroy) return 0;
  return window_procedure(message, param);
}

TEST_F(ShellTest, EscapeAndF12CloseOtherKeysDoNothing) {
  for (int32_t key : {kKeyEscape, kKeyF12}) {
    ASSERT_TRUE(create_window(kWindowClass, kWindowTitle, keys_only));
    for (int32_t other : {65, 32, 13, 122, 124, 255}) {
      EXPECT_EQ(window_procedure(kMsgKeyDown, other), 0);
      EXPECT_TRUE(window_exists()) << other;
    }
    EXPECT_EQ(window_procedure(kMsgKeyDown, key), 0);
    EXPECT_FALSE(window_exists()) << key;
  }
}

TEST_F(ShellTest, FocusRealizesThePaletteAndRepaints) {
  ASSERT_TRUE(create_window(kWindowClass, kWindowTitle, keys_only));
  Message m;
  while (peek_message(&m)) {
  }
  platform::clear_call_log();
  EXPECT_EQ(window_procedure(kMsgSetFocus, 0), 0);
  EXPECT_GE(find_call(calls(), "realize_palette"), 0);
  ASSERT_TRUE(peek_message(&m));
  EXPECT_EQ(m.id, kMsgPaint);
  destroy_window();
}

TEST_F(ShellTest, EscapeThroughTheQueueEndsTheRun) {
  use_test_pictures();
  LoopLimits limits;
  limits.after_step = [] {
    post_message(kMsgKeyDown, 'Q');
    post_message(kMsgKeyDown, kKeyEscape);
  };
  LoopReport report = run_fish_tank(limits);
  EXPECT_EQ(report.exit_status, 0);
  EXPECT_EQ(report.frames, 1);
}

TEST_F(ShellTest, CloseMessageEndsTheLoopThroughTeardown) {
  use_test_pictures();
  LoopLimits limits;
  limits.after_step = [] { post_message(kMsgClose, 0); };
  LoopReport report = run_fish_tank(limits);
  EXPECT_EQ(report.exit_status, 0);
  EXPECT_EQ(report.frames, 1);
  EXPECT_GE(find_call(calls(), "restore"), 0);
}

}  // namespace
}  // namespace fishtank::testing
