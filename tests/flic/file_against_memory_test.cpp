// A file read through an InputBuffer of any size draws what memory mode draws.
#include <gtest/gtest.h>

#include "support/file_against_memory.h"

namespace rx::support {
namespace {

TEST(FileAgainstMemory, EveryFlicThroughEveryInputBufferSize) {
  expect_file_as_memory(Format::kFlic, {8, 16});
}

}  // namespace
}  // namespace rx::support
