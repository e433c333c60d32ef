#include "progress.h"

#include <unistd.h>

namespace fishtank {

namespace {
constexpr int64_t kStepsPerLine = 25;  // a rewrite every half second at 50 a second
}

void Progress::step(int64_t done) {
  done_ = done;
  if (shown_ && (done % kStepsPerLine == 0 || done == total_)) print();
}

void Progress::finish() {
  if (!shown_ || done_ == 0) return;
  print();
  std::fputc('\n', out_);
  std::fflush(out_);
}

void Progress::print() {
  if (total_ >= 0)
    std::fprintf(out_, "\rfishtank: recording step %lld of %lld", static_cast<long long>(done_),
                 static_cast<long long>(total_));
  else
    std::fprintf(out_, "\rfishtank: recording step %lld", static_cast<long long>(done_));
  std::fflush(out_);
}

bool error_is_terminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace fishtank
