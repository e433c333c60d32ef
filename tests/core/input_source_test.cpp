// The input source: a file read through buffers of every small size gives
// the same values, offsets and ends as the same bytes in memory, skips
// included; skips past the end and over a pipe that cannot seek.
#include "core/input_source.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/state.h"

namespace rx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes sample_bytes() {
  Bytes b(300);
  for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 7 + 3);
  return b;
}

std::string write_temp(const Bytes& b) {
  std::string path = testing::TempDir() + "input_source.bin";
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
  return path;
}

// Every kind of read in turn, recorded with the offset after it, until
// the data ends or the offset passes limit.
std::vector<int64_t> read_all(InputSource& s, int64_t limit) {
  std::vector<int64_t> seen;
  uint8_t copy[11];
  for (int step = 0; !s.ended() && s.offset() < limit; ++step) {
    switch (step % 6) {
      case 0: seen.push_back(s.byte()); break;
      case 1: seen.push_back(s.u16le()); break;
      case 2: seen.push_back(s.u32le()); break;
      case 3: seen.push_back(s.u16be()); break;
      case 4: {
        const uint8_t* p = s.block(sizeof copy, copy);
        seen.push_back(p == nullptr ? -1 : p[0] | p[10] << 8);
        break;
      }
      case 5: seen.push_back(s.skip(5)); break;
    }
    seen.push_back(s.offset());
  }
  return seen;
}

TEST(InputSource, FileThroughEveryBufferSizeReadsAsMemory) {
  Bytes data = sample_bytes();
  const int64_t all = static_cast<int64_t>(data.size());
  const std::string path = write_temp(data);
  // Up to the end, and (for seeking skips, which cannot tell where the
  // file ends) short of it.
  for (int64_t limit : {all + 1, all - 20}) {
    InputSource memory = InputSource::over_memory(data.data(), all);
    const std::vector<int64_t> want = read_all(memory, limit);
    ASSERT_EQ(memory.ended(), limit > all);
    for (InputSource::Skip skip : {InputSource::Skip::kRead, InputSource::Skip::kSeek}) {
      if (skip == InputSource::Skip::kSeek && limit > all) continue;
      for (int32_t size = 1; size <= 40; ++size) {
        SCOPED_TRACE(size);
        ScopedFile file(file_open(path.c_str()));
        Bytes buffer(static_cast<size_t>(size));
        InputSource s =
            InputSource::over_file(file.fd(), buffer.data(), size, skip, InputSource::Count::kNone);
        ASSERT_EQ(read_all(s, limit), want);
      }
    }
  }
}

TEST(InputSource, EndsAreReportedAndNeverReadPast) {
  const Bytes data = {1, 2, 3};
  InputSource s = InputSource::over_memory(data.data(), 3);
  EXPECT_EQ(s.u32le(), InputSource::kEnd);  // not enough left: what there was is taken
  EXPECT_EQ(s.byte(), InputSource::kEnd);
  EXPECT_TRUE(s.ended());

  InputSource t = InputSource::over_memory(data.data(), 3);
  EXPECT_FALSE(t.skip(10));
  EXPECT_EQ(t.offset(), 10);  // the offset counts the whole skip
  EXPECT_EQ(t.byte(), InputSource::kEnd);
  uint8_t into[4];
  InputSource u = InputSource::over_memory(data.data(), 3);
  EXPECT_FALSE(u.read(into, 4));
  InputSource empty = InputSource::over_memory(nullptr, 5);
  EXPECT_EQ(empty.byte(), InputSource::kEnd);
}

TEST(InputSource, RefillsCountBytesReadWhenAskedAndPipesAreReadThrough) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const Bytes data = sample_bytes();
  ASSERT_EQ(write(fds[1], data.data(), 100), 100);
  close(fds[1]);
  uint8_t buffer[16];
  state().bytes_read = 0;
  InputSource s = InputSource::over_file(fds[0], buffer, sizeof buffer, InputSource::Skip::kSeek,
                                         InputSource::Count::kBytesRead);
  EXPECT_TRUE(s.skip(40));  // a pipe cannot seek: the skip reads through
  EXPECT_EQ(s.byte(), data[40]);
  EXPECT_EQ(s.offset(), 41);
  EXPECT_EQ(state().bytes_read, sizeof buffer);
  EXPECT_FALSE(s.skip(100));
  EXPECT_TRUE(s.ended());
  close(fds[0]);
}

}  // namespace
}  // namespace rx
