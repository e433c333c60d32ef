// The school: fields drawn in their fixed order, and the swim, bob, change
// of mind and frame swing rules.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "school.h"
#include "tank.h"

namespace fishtank {
namespace {

std::vector<int> script;
size_t next_draw = 0;
int scripted() { return script[next_draw++ % script.size()]; }

class SchoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_tank();
    tank().random = scripted;
    next_draw = 0;
  }
  void TearDown() override { reset_tank(); }
};

TEST_F(SchoolTest, FishFieldsComeFromTheDrawsInOrder) {
  script = {1, 5, 2, 11, 1000, 501, 7, 340, 100, 30, 3, 5};
  Fish f = make_fish();
  EXPECT_EQ(next_draw, 12u);
  EXPECT_EQ(f.direction, kTowardsLeft);
  EXPECT_EQ(f.vertical_step, 1);
  EXPECT_EQ(f.frame_direction, 0);
  EXPECT_EQ(f.kind, 5);
  EXPECT_EQ(f.left_turn, -201);
  EXPECT_EQ(f.right_turn, 700);
  EXPECT_EQ(f.x, 700);  // swimming left, it starts at its right turn point
  EXPECT_EQ(f.speed, 4);
  EXPECT_EQ(f.top, 400);
  EXPECT_EQ(f.bottom, 420);  // 100 mod (480 - 400) + 400
  EXPECT_EQ(f.y, 409);       // 30 mod 21 + 400
  EXPECT_EQ(f.frame, 2);
  EXPECT_EQ(f.frame_timer, 2);

  script = {0, 0, 1, 0, 0, 500, 0, 0, 419, 0, 0, 0};
  next_draw = 0;
  f = make_fish();
  EXPECT_EQ(f.direction, kTowardsRight);
  EXPECT_EQ(f.x, -700);  // swimming right, it starts at its left turn point
  EXPECT_EQ(f.right_turn, 1200);
  EXPECT_EQ(f.vertical_step, -1);
  EXPECT_EQ(f.top, 60);
  EXPECT_EQ(f.bottom, 479);
  EXPECT_EQ(f.y, 60);
  EXPECT_EQ(f.frame, 1);
}

TEST_F(SchoolTest, SchoolHasSixToTwelveFishWithinTheirRanges) {
  for (int first : {0, 6, 13}) {
    script = {first, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    next_draw = 0;
    build_school();
    EXPECT_EQ(tank().school.size(), static_cast<size_t>(first % 7 + 6));
  }
  tank().random = nullptr;  // the real generator
  tank().seed_given = true;
  for (uint32_t seed = 1; seed < 40; ++seed) {
    tank().seed = seed;
    build_school();
    ASSERT_GE(tank().school.size(), 6u);
    ASSERT_LE(tank().school.size(), 12u);
    for (const Fish& f : tank().school) {
      EXPECT_GE(f.left_turn, -700);
      EXPECT_LE(f.left_turn, -200);
      EXPECT_GE(f.right_turn, 700);
      EXPECT_LE(f.right_turn, 1200);
      EXPECT_EQ(f.x, f.direction == kTowardsRight ? f.left_turn : f.right_turn);
      EXPECT_GE(f.top, 60);
      EXPECT_LE(f.top, f.bottom);
      EXPECT_LE(f.bottom, 479);
      EXPECT_GE(f.y, f.top);
      EXPECT_LE(f.y, f.bottom);
    }
  }
}

TEST_F(SchoolTest, SameSeedSameSchool) {
  tank().random = nullptr;
  tank().seed_given = true;
  tank().seed = 77;
  build_school();
  std::vector<Fish> first = tank().school;
  build_school();
  ASSERT_EQ(first.size(), tank().school.size());
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].x, tank().school[i].x);
    EXPECT_EQ(first[i].y, tank().school[i].y);
    EXPECT_EQ(first[i].kind, tank().school[i].kind);
  }
}

TEST_F(SchoolTest, FishTurnsPastItsTurnPoints) {
  Fish f{};
  f.speed = 4;
  f.x = 1199;
  f.right_turn = 1200;
  f.left_turn = -300;
  f.direction = kTowardsRight;
  swim(f);
  EXPECT_EQ(f.x, 1203);
  EXPECT_EQ(f.direction, kTowardsLeft);
  swim(f);
  EXPECT_EQ(f.x, 1199);
  f.x = -298;
  swim(f);  // -302 < -300
  EXPECT_EQ(f.x, -302);
  EXPECT_EQ(f.direction, kTowardsRight);
  f.x = 1196;  // lands on the turn point: not past it
  swim(f);
  EXPECT_EQ(f.direction, kTowardsRight);
}

TEST_F(SchoolTest, BobTurnsAtTheBandEdges) {
  Fish f{};
  f.top = 100;
  f.bottom = 200;
  f.y = 199;
  f.vertical_step = 1;
  bob(f);
  EXPECT_EQ(f.y, 200);
  EXPECT_EQ(f.vertical_step, -1);
  f.y = 101;
  bob(f);
  EXPECT_EQ(f.y, 100);
  EXPECT_EQ(f.vertical_step, 1);
  f.y = 150;
  f.vertical_step = 0;
  bob(f);
  EXPECT_EQ(f.y, 150);
  EXPECT_EQ(f.vertical_step, 0);
}

TEST_F(SchoolTest, ChangeOfMindOnMultiplesOfY) {
  Fish f{};
  f.y = 100;
  f.x = 5;
  f.direction = kTowardsLeft;
  f.vertical_step = 1;
  f.speed = 1;
  uint32_t counter = 98;
  script = {6, 2, 0, 0};  // step 6 - 1 = 5 becomes 0; speed 3; band 60..60
  change_of_mind(f, counter);  // 99: no change, no draw
  EXPECT_EQ(next_draw, 0u);
  EXPECT_EQ(f.vertical_step, 1);
  change_of_mind(f, counter);  // 100
  EXPECT_EQ(counter, 100u);
  EXPECT_EQ(next_draw, 4u);
  EXPECT_EQ(f.vertical_step, 0);
  EXPECT_EQ(f.speed, 3);
  EXPECT_EQ(f.top, 60);
  EXPECT_EQ(f.bottom, 60);
  EXPECT_EQ(f.x, 5);
  EXPECT_EQ(f.y, 100);
  EXPECT_EQ(f.direction, kTowardsLeft);
  script = {0, 0, 0, 0};
  next_draw = 0;
  change_of_mind(f, counter = 199);
  EXPECT_EQ(f.vertical_step, -1);
}

TEST_F(SchoolTest, StepCounterWrapsLikeTwosComplement) {
  Fish f{};
  f.y = 128;
  script = {1, 0, 0, 0};
  uint32_t counter = INT32_MAX;  // next: -2147483648, a multiple of 128
  change_of_mind(f, counter);
  EXPECT_EQ(static_cast<int32_t>(counter), INT32_MIN);
  EXPECT_EQ(next_draw, 4u);
  counter = UINT32_MAX;  // next: 0, a multiple of anything
  next_draw = 0;
  change_of_mind(f, counter);
  EXPECT_EQ(counter, 0u);
  EXPECT_EQ(next_draw, 4u);
  f.y = 3;  // -2 is no multiple of 3
  counter = UINT32_MAX - 2;  // next -2
  next_draw = 0;
  change_of_mind(f, counter);
  EXPECT_EQ(next_draw, 0u);
}

std::vector<int> frames_seen(Fish f, const FishKind& kind, int steps) {
  std::vector<int> seen;
  for (int i = 0; i < steps; ++i) {
    animate(f, kind);
    seen.push_back(f.frame);
  }
  return seen;
}

TEST_F(SchoolTest, FramesSwingBetweenOneAndCountMinusOne) {
  FishKind four{};
  four.frame_count = 4;
  four.frame_period = 1;
  Fish f{};
  f.frame = 1;
  EXPECT_EQ(frames_seen(f, four, 6), (std::vector<int>{2, 3, 2, 1, 2, 3}));
  f.frame_direction = 1;  // starting at 1 counting down shows frame 0 once
  EXPECT_EQ(frames_seen(f, four, 4), (std::vector<int>{0, 1, 2, 3}));

  FishKind sea_horse = tank().kinds[5];
  sea_horse.frame_period = 1;
  f = Fish{};
  f.frame = 2;  // counting up reaches the empty fourth frame once
  EXPECT_EQ(frames_seen(f, sea_horse, 5), (std::vector<int>{3, 2, 1, 2, 1}));
}

TEST_F(SchoolTest, FrameChangesEveryPeriodSteps) {
  const FishKind& kind = tank().kinds[0];  // period 4
  Fish f{};
  f.frame = 1;
  f.frame_timer = 2;
  EXPECT_EQ(frames_seen(f, kind, 6), (std::vector<int>{1, 2, 2, 2, 2, 3}));
}

}  // namespace
}  // namespace fishtank
