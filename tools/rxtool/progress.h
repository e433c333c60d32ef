// Progress of long work on standard error, only when it is a terminal.
#pragma once

#include <cstdint>
#include <string>

namespace rxtool {

class Progress {
 public:
  // total steps of work called what; silent unless standard error is a
  // terminal and the work is long (total at least worth_showing).
  Progress(std::string what, int64_t total, int64_t worth_showing);
  ~Progress();
  void step(int64_t done);

 private:
  std::string what_;
  int64_t total_;
  bool shown_;
  int last_percent_ = -1;
};

}  // namespace rxtool
