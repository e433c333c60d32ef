// A file read through an InputBuffer of any size draws what memory mode draws.
#include <gtest/gtest.h>

#include "support/file_against_memory.h"

namespace rx::support {
namespace {

TEST(FileAgainstMemory, EveryJpegThroughEveryInputBufferSize) {
  expect_file_as_memory(Format::kJpeg, {8, 16});
}

}  // namespace
}  // namespace rx::support
