// Progress lines: rewritten every few steps with the count and the total,
// ended at the finish, and nothing at all when not shown.
#include "progress.h"

#include <gtest/gtest.h>

#include <string>

namespace fishtank {
namespace {

std::string written(bool shown, int64_t total, int64_t steps) {
  std::FILE* f = std::tmpfile();
  Progress p(f, shown, total);
  for (int64_t i = 1; i <= steps; ++i) p.step(i);
  p.finish();
  std::string text(static_cast<size_t>(std::ftell(f)), '\0');
  std::rewind(f);
  text.resize(std::fread(text.data(), 1, text.size(), f));
  std::fclose(f);
  return text;
}

TEST(Progress, CountsToTheTotalAndEndsTheLine) {
  std::string text = written(true, 60, 60);
  EXPECT_NE(text.find("\rfishtank: recording step 25 of 60"), std::string::npos) << text;
  EXPECT_NE(text.find("\rfishtank: recording step 50 of 60"), std::string::npos) << text;
  EXPECT_EQ(text.find("step 26 "), std::string::npos) << text;  // not every step
  EXPECT_EQ(text.substr(text.size() - 35), "\rfishtank: recording step 60 of 60\n") << text;
  EXPECT_NE(written(true, -1, 30).find("recording step 30\n"), std::string::npos);
}

TEST(Progress, HiddenWritesNothing) {
  EXPECT_EQ(written(false, 60, 60), "");
  EXPECT_EQ(written(true, 60, 0), "");  // nothing recorded, no line
}

}  // namespace
}  // namespace fishtank
