// The pacer's slots: one picture a period, half a period early where the
// renderer waits for the refresh itself, a fresh start after a stall.
#include "platform/frame_pacer.h"

#include <gtest/gtest.h>

namespace rx::platform {
namespace {

// Shows n pictures from `start` on, each drawn in `work` seconds, waiting as
// told; returns the time the last one went out.
double run(FramePacer& p, double start, int n, double work) {
  double now = start;
  for (int i = 0; i < n; ++i) {
    now += p.wait(now);
    p.shown(now);
    now += work;
  }
  return now - work;
}

TEST(FramePacer, HoldsAFastLoopToItsRate) {
  FramePacer p;
  p.reset(0.02, 0);  // 50 a second
  // 101 pictures drawn in a millisecond each take 100 periods.
  EXPECT_NEAR(run(p, 5.0, 101, 0.001), 5.0 + 2.0, 1e-9);
}

TEST(FramePacer, UnpacedNeverWaits) {
  FramePacer p;
  p.reset(0, 0);
  EXPECT_NEAR(run(p, 1.0, 100, 0.001), 1.0 + 0.099, 1e-9);
}

TEST(FramePacer, SlowPicturesAreNotHeldFurther) {
  FramePacer p;
  p.reset(0.02, 0);
  // A loop slower than the rate runs at its own speed, no wait added.
  EXPECT_NEAR(run(p, 0.0, 11, 0.03), 0.3, 1e-9);
}

TEST(FramePacer, AStallStartsTheSlotsAfresh) {
  FramePacer p;
  p.reset(0.02, 0);
  p.shown(0.0);
  p.shown(1.0);  // half a second late: no burst of catch-up pictures
  EXPECT_NEAR(p.wait(1.001), 0.019, 1e-9);
}

TEST(FramePacer, EarlyLeavesTheRestToTheRefreshWait) {
  FramePacer p;
  p.reset(0.02, 0.01);
  p.shown(0.0);
  EXPECT_NEAR(p.wait(0.001), 0.009, 1e-9);
  // A renderer that does not wait after all still gets one picture a slot.
  EXPECT_NEAR(run(p, 0.001, 50, 0.0), 0.0 + 50 * 0.02 - 0.01, 1e-9);
}

TEST(FramePacer, ResetForgetsTheSlots) {
  FramePacer p;
  p.reset(1.0, 0);
  p.shown(0.0);
  EXPECT_GT(p.wait(0.5), 0.0);
  p.reset(1.0, 0);
  EXPECT_EQ(p.wait(0.5), 0.0);
}

}  // namespace
}  // namespace rx::platform
