// The command line: values read, bad ones refused with a reason.
#include <gtest/gtest.h>

#include "options.h"
#include "window.h"

namespace fishtank {
namespace {

bool parse(std::vector<std::string> args, Options* o, std::string* error = nullptr) {
  std::string e;
  bool ok = parse_options(args, o, error ? error : &e);
  return ok;
}

TEST(Options, ReadsEveryOption) {
  Options o;
  ASSERT_TRUE(parse({"--windowed", "--frames", "30", "--hold", "--record", "out.GIF", "--seed",
                     "4294967295", "--assets", "pics", "--answer", "no"},
                    &o));
  EXPECT_TRUE(o.windowed);
  EXPECT_TRUE(o.hold);
  EXPECT_EQ(o.frames, 30);
  EXPECT_EQ(o.record, "out.GIF");
  EXPECT_TRUE(o.seed_given);
  EXPECT_EQ(o.seed, 4294967295u);
  EXPECT_EQ(o.assets, "pics");
  EXPECT_EQ(o.answer, kAnswerNo);
  EXPECT_FALSE(o.headless);
}

TEST(Options, DesktopDepthMeansHeadless) {
  Options o;
  ASSERT_TRUE(parse({"--desktop-depth", "8"}, &o));
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.desktop_depth, 8);
  std::string error;
  EXPECT_FALSE(parse({"--windowed", "--desktop-depth", "16"}, &o, &error));
  EXPECT_NE(error.find("headless"), std::string::npos);
}

TEST(Options, RefusesBadValues) {
  Options o;
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--frames"}, {"--frames", "-1"}, {"--frames", "12x"},
        {"--seed", "4294967296"}, {"--seed", "-3"}, {"--record", "tank.bmp"},
        {"--desktop-depth", "15"}, {"--answer", "maybe"}, {"--fullscreen"}, {"tank"}}) {
    std::string error;
    EXPECT_FALSE(parse(bad, &o, &error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(Options, NothingGivenMeansTheDesignedProgram) {
  Options o;
  ASSERT_TRUE(parse({}, &o));
  EXPECT_FALSE(o.windowed || o.headless || o.hold || o.seed_given);
  EXPECT_EQ(o.frames, -1);
  EXPECT_TRUE(o.record.empty());
}

}  // namespace
}  // namespace fishtank

namespace fishtank {
namespace {

TEST(Options, FpsTakesARateOrZero) {
  Options o;
  ASSERT_TRUE(parse({}, &o));
  EXPECT_EQ(o.fps, -1);  // not given: the display's rate
  ASSERT_TRUE(parse({"--fps", "0"}, &o));
  EXPECT_EQ(o.fps, 0);
  ASSERT_TRUE(parse({"--fps", "50"}, &o));
  EXPECT_EQ(o.fps, 50);
  std::string error;
  for (const char* bad : {"-1", "1001", "fast", ""}) {
    EXPECT_FALSE(parse({"--fps", bad}, &o, &error)) << bad;
    EXPECT_NE(error.find("--fps"), std::string::npos);
  }
}

}  // namespace
}  // namespace fishtank
