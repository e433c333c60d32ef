#include "progress.h"

#include <unistd.h>

#include <cstdio>

namespace rxtool {

Progress::Progress(std::string what, int64_t total, int64_t worth_showing)
    : what_(std::move(what)), total_(total),
      shown_(total > 0 && total >= worth_showing && isatty(STDERR_FILENO)) {}

Progress::~Progress() {
  if (shown_ && last_percent_ >= 0) std::fputs("\r\033[K", stderr);
}

void Progress::step(int64_t done) {
  if (!shown_) return;
  int percent = static_cast<int>(done * 100 / total_);
  if (percent == last_percent_) return;
  last_percent_ = percent;
  std::fprintf(stderr, "\r%s %3d%%", what_.c_str(), percent);
  std::fflush(stderr);
}

}  // namespace rxtool
