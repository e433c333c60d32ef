// Progress of a long recording on standard error, for a person watching a
// terminal; scripts and tests, whose standard error is no terminal, see
// nothing.
#pragma once

#include <cstdint>
#include <cstdio>

namespace fishtank {

class Progress {
 public:
  // shown false: every call does nothing. total -1: not known.
  Progress(std::FILE* out, bool shown, int64_t total) : out_(out), shown_(shown), total_(total) {}
  // After step `done` (1, 2, ...): rewrites the line every few steps.
  void step(int64_t done);
  // Ends the line with the count reached.
  void finish();

 private:
  void print();
  std::FILE* out_;
  bool shown_;
  int64_t total_, done_ = 0;
};

// Whether standard error is a terminal.
bool error_is_terminal();

}  // namespace fishtank
