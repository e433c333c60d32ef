// The instruction level in use: RASTRIX_CPU read at rx_init, capped to
// what the processor runs, and reported through the public calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/cpu_features.h"
#include "support/headless_fixture.h"

namespace {

using rx::CpuLevel;

// Sets RASTRIX_CPU (or unsets it for null) for one test and puts the
// earlier value and level back afterwards.
class CpuLevelTest : public rx::support::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    const char* was = std::getenv("RASTRIX_CPU");
    had_value_ = was != nullptr;
    if (had_value_) earlier_ = was;
    earlier_level_ = rx::cpu_level();
  }
  void TearDown() override {
    if (had_value_)
      setenv("RASTRIX_CPU", earlier_.c_str(), 1);
    else
      unsetenv("RASTRIX_CPU");
    rx::set_cpu_level(earlier_level_);
    HeadlessTest::TearDown();
  }
  static int32_t level_after_init(const char* value) {
    if (value)
      setenv("RASTRIX_CPU", value, 1);
    else
      unsetenv("RASTRIX_CPU");
    rx_init();
    return rx_cpu_level();
  }

 private:
  bool had_value_ = false;
  std::string earlier_;
  CpuLevel earlier_level_ = CpuLevel::kPortable;
};

TEST_F(CpuLevelTest, EveryNameIsReadAtInitAndCappedToTheProcessor) {
  const int32_t best = rx_cpu_best();
  ASSERT_GE(best, RX_CPU_PORTABLE);
  ASSERT_LE(best, RX_CPU_AVX512);
  const struct {
    const char* name;
    int32_t level;
  } cases[] = {{"portable", RX_CPU_PORTABLE},
               {"sse2", RX_CPU_SSE2},
               {"avx2", RX_CPU_AVX2},
               {"avx512", RX_CPU_AVX512}};
  for (const auto& c : cases) {
    EXPECT_EQ(level_after_init(c.name), std::min(c.level, best)) << c.name;
    EXPECT_STREQ(rx_cpu_level_name(c.level), c.name);
  }
}

TEST_F(CpuLevelTest, UnsetOrUnknownNamesUseTheBest) {
  EXPECT_EQ(level_after_init(nullptr), rx_cpu_best());
  level_after_init("portable");
  EXPECT_EQ(level_after_init("AVX2 please"), rx_cpu_best());
  level_after_init("portable");
  EXPECT_EQ(level_after_init(""), rx_cpu_best());
}

TEST_F(CpuLevelTest, NamesOutsideTheLevelsAreNull) {
  EXPECT_EQ(rx_cpu_level_name(-1), nullptr);
  EXPECT_EQ(rx_cpu_level_name(4), nullptr);
}

TEST_F(CpuLevelTest, SettingCapsToTheBest) {
  EXPECT_EQ(rx::set_cpu_level(CpuLevel::kPortable), CpuLevel::kPortable);
  EXPECT_EQ(rx_cpu_level(), RX_CPU_PORTABLE);
  EXPECT_EQ(rx::set_cpu_level(CpuLevel::kAvx512), rx::cpu_best());
}

}  // namespace
