// Opening, closing, handles, delays, skipping and the two sources.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "flic/flic_format.h"
#include "flic_fixture.h"

namespace rx::flic_test {
namespace {

using support::flic_file;
using support::frame_chunk;
using support::prefix_chunk;

// n frames, frame k filling the 4x2 picture with value k + 1.
std::vector<Bytes> numbered_frames(int n) {
  std::vector<Bytes> frames;
  for (int k = 0; k < n; ++k) {
    std::vector<uint8_t> pixels(8, static_cast<uint8_t>(k + 1));
    frames.push_back(
        frame_chunk({support::sub_chunk(RX_FLIC_COPY, support::copy_body(pixels.data(), 4, 2))}));
  }
  return frames;
}

TEST_F(FlicTest, OpenFillsTheContextAndRefusesWhatIsNoFlic) {
  FlicContext c{};
  c.width = 77;
  EXPECT_EQ(rx_flic_open("/nonexistent/flic.flc", &c), RX_ERR_ARGUMENT);
  EXPECT_EQ(c.width, 77);  // untouched
  Bytes short_header(127, 0);
  EXPECT_EQ(rx_flic_open(write_file(short_header).c_str(), &c), RX_ERR_RESOURCE);
  Bytes wrong = flic_file(true, 4, 2, 1, 0, {});
  wrong[4] = 0x13;  // 0xAF13
  EXPECT_EQ(rx_flic_open(write_file(wrong).c_str(), &c), RX_ERR_RESOURCE);
  Bytes wide = flic_file(true, RX_FLIC_MAX_WIDTH + 1, 2, 1, 0, {});
  EXPECT_EQ(rx_flic_open(write_file(wide).c_str(), &c), RX_FLIC_TOO_WIDE);
  EXPECT_EQ(c.width, 77);

  c = open(flic_file(false, 320, 200, 9, 5, {}));
  EXPECT_EQ(+c.position, 128u);
  EXPECT_EQ(c.frames, 9);
  EXPECT_EQ(c.width, 320);
  EXPECT_EQ(c.height, 200);
  EXPECT_EQ(c.source, 0);
  EXPECT_NE(c.handle, 0);
}

TEST_F(FlicTest, MemoryOpenReadsTheSameHeaderAndPlaysFromIt) {
  FlicContext c{};
  c.width = 77;
  Bytes short_header(127, 0);
  EXPECT_EQ(rx_flic_open_memory(short_header.data(), 127, &c), RX_ERR_RESOURCE);
  Bytes wrong = flic_file(true, 4, 2, 1, 0, {});
  wrong[4] = 0x13;
  EXPECT_EQ(rx_flic_open_memory(wrong.data(), static_cast<int32_t>(wrong.size()), &c),
            RX_ERR_RESOURCE);
  Bytes wide = flic_file(true, RX_FLIC_MAX_WIDTH + 1, 2, 1, 0, {});
  EXPECT_EQ(rx_flic_open_memory(wide.data(), static_cast<int32_t>(wide.size()), &c),
            RX_FLIC_TOO_WIDE);
  EXPECT_EQ(rx_flic_open_memory(nullptr, 128, &c), RX_ERR_ARGUMENT);
  EXPECT_EQ(c.width, 77);  // untouched by every refusal

  Bytes file = flic_file(false, 4, 2, 2, 5, numbered_frames(2));
  ASSERT_EQ(rx_flic_open_memory(file.data(), static_cast<int32_t>(file.size()), &c), RX_OK);
  FlicContext from_file = open(file);
  EXPECT_EQ(+c.position, 128u);
  EXPECT_EQ(c.frames, 2);
  EXPECT_EQ(c.width, from_file.width);
  EXPECT_EQ(c.height, from_file.height);
  EXPECT_EQ(c.delay, from_file.delay);
  EXPECT_EQ(c.source, 1);
  EXPECT_EQ(c.handle, 0u);
  install(file);
  support::make_buffer(8, 4, 2);
  EXPECT_EQ(rx_flic_play(&c, 2, RX_SHOW_FROM_MEMORY | kRawIndices), 2);
  EXPECT_EQ(indices(4, 2), std::vector<uint8_t>(8, 2));
}

TEST_F(FlicTest, DelaysConvertFromFliAndFlcSpeeds) {
  struct Case {
    bool flc;
    uint32_t speed;
    uint16_t delay;
  } cases[] = {{true, 54, 0},   {true, 55, 1},     {true, 109, 1},         {true, 110, 2},
               {false, 3, 0},   {false, 4, 1},     {false, 5, 1},          {false, 65535, 17027},
               {true, 3604479, 65535}, {true, 3604480, 65535}, {true, 0xFFFFFFFF, 65535}};
  for (const Case& k : cases) {
    FlicContext c = open(flic_file(k.flc, 4, 2, 1, k.speed, {}));
    EXPECT_EQ(c.delay, k.delay) << (k.flc ? "FLC " : "FLI ") << k.speed;
  }
}

TEST_F(FlicTest, AHeaderOnlyFlicOpensAndPlaysNothing) {
  Bytes file = flic_file(true, 4, 2, 0, 0, {});
  support::make_buffer(8, 4, 2);
  FlicContext c = open(file);
  EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 0);
  install(file);
  EXPECT_EQ(rx_flic_play(&c, 1, kFromMemory), 0);
}

TEST_F(FlicTest, StaleAndForeignHandlesReadAndCloseNothing) {
  Bytes file = flic_file(true, 4, 2, 2, 0, numbered_frames(2));
  FlicContext c = open(file);
  FlicContext stale = c;
  rx_flic_close(&c);
  EXPECT_EQ(flic::descriptor_of(stale.handle), -1);
  FlicContext again = open(file);  // the handle names a new generation
  EXPECT_NE(again.handle, stale.handle);
  rx_flic_close(&stale);           // must not close `again`
  EXPECT_GE(flic::descriptor_of(again.handle), 0);

  // A descriptor the player did not open cannot be reached by any number.
  int foreign = ::open(write_file(file).c_str(), O_RDONLY);
  ASSERT_GE(foreign, 0);
  for (uint32_t h = 0; h <= 0xFFFF; ++h) {
    FlicContext forged = again;
    forged.handle = static_cast<uint16_t>(h);
    if (forged.handle != again.handle) {
      ASSERT_NE(flic::descriptor_of(forged.handle), foreign);
    }
  }
  FlicContext zero{};
  rx_flic_close(&zero);
  EXPECT_EQ(::fcntl(foreign, F_GETFD), 0);  // still open
  ::close(foreign);

  support::make_buffer(8, 4, 2);
  EXPECT_EQ(rx_flic_play(&stale, 1, kRawIndices), 0);  // a closed handle reads nothing
  EXPECT_EQ(rx_flic_play(&again, 1, kRawIndices), 1);
}

// Numbers are never given twice: after more opens than a slot and an
// 11-bit generation could tell apart, the stale number still names nothing.
TEST_F(FlicTest, AStaleHandleNeverNamesAFlicOpenedLater) {
  Bytes file = flic_file(true, 4, 2, 2, 0, numbered_frames(2));
  const std::string path = write_file(file);
  FlicContext first{};
  ASSERT_EQ(rx_flic_open(path.c_str(), &first), 0);
  const FlicContext stale = first;
  rx_flic_close(&first);
  constexpr int kOpens = 32 * 2047;
  std::vector<uint32_t> seen = {stale.handle};
  FlicContext live{};
  for (int k = 0; k < kOpens; ++k) {
    ASSERT_EQ(rx_flic_open(path.c_str(), &live), 0);
    seen.push_back(live.handle);
    if (k + 1 < kOpens) rx_flic_close(&live);
  }
  opened_.push_back(live);
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
  FlicContext copy = stale;
  rx_flic_close(&copy);  // must not close `live`
  EXPECT_GE(flic::descriptor_of(live.handle), 0);
  support::make_buffer(8, 4, 2);
  EXPECT_EQ(rx_flic_play(&copy, 1, kRawIndices), 0);
  EXPECT_EQ(rx_flic_play(&live, 1, kRawIndices), 1);
}

TEST_F(FlicTest, SkipCountsFramesNotPrefixChunksInBothSources) {
  std::vector<Bytes> chunks = numbered_frames(3);
  chunks.insert(chunks.begin(), prefix_chunk(Bytes(10, 0)));
  Bytes file = flic_file(true, 4, 2, 3, 0, chunks);
  support::make_buffer(8, 4, 2);

  FlicContext c = open(file);  // file source right after opening
  EXPECT_EQ(rx_flic_skip(&c, 0), 0);
  EXPECT_EQ(rx_flic_skip(&c, 1), 1);
  EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
  EXPECT_EQ(index_at(0, 0), 2);
  EXPECT_EQ(rx_flic_skip(&c, 5), 1);  // only one frame left
  EXPECT_EQ(rx_flic_skip(&c, -5), 0);  // rewinds like -1
  EXPECT_EQ(+c.position, 128u);
  EXPECT_EQ(rx_flic_skip(&c, 2), 2);
  EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
  EXPECT_EQ(index_at(0, 0), 3);

  install(file);
  EXPECT_EQ(rx_flic_play(&c, 1, kFromMemory), 1);  // memory source from position 128
  EXPECT_EQ(index_at(0, 0), 1);
  EXPECT_EQ(rx_flic_skip(&c, 1000), 2);
  EXPECT_EQ(+c.position, file.size());
  EXPECT_EQ(rx_flic_skip(&c, 1), 0);  // at the end: nothing moves
  EXPECT_EQ(+c.position, file.size());
  EXPECT_EQ(rx_flic_play(&c, 1, kFromMemory), 0);
  EXPECT_EQ(rx_flic_skip(&c, -1), 0);
  EXPECT_EQ(+c.position, 128u);
  EXPECT_EQ(rx_flic_skip(&c, 1), 1);  // the prefix chunk and frame 1
  EXPECT_EQ(rx_flic_play(&c, -1, kFromMemory), 2);
  EXPECT_EQ(index_at(0, 0), 3);
}

TEST_F(FlicTest, SkipStopsAtUnknownAndUndersizedChunks) {
  std::vector<Bytes> chunks = numbered_frames(1);
  Bytes stuck = prefix_chunk({});
  stuck[0] = 0;  // a prefix chunk of size 0 would never end the walk
  chunks.push_back(stuck);
  chunks.push_back(numbered_frames(1)[0]);
  Bytes file = flic_file(true, 4, 2, 2, 0, chunks);
  FlicContext c = open(file);
  EXPECT_EQ(rx_flic_skip(&c, 5), 1);
  install(file);
  c.source = 1;
  c.position = 128;
  EXPECT_EQ(rx_flic_skip(&c, 5), 1);
  EXPECT_EQ(+c.position, 128u + chunks[0].size());

  Bytes unknown = flic_file(true, 4, 2, 2, 0, {numbered_frames(1)[0], support::sub_chunk(0x1234, Bytes(4, 0)), numbered_frames(1)[0]});
  install(unknown);
  c.position = 128;
  EXPECT_EQ(rx_flic_skip(&c, 5), 1);
}

TEST_F(FlicTest, FileSourceGivesReadAheadBackAfterEachCall) {
  Bytes file = flic_file(true, 4, 2, 5, 0, numbered_frames(5));
  support::make_buffer(8, 4, 2);
  FlicContext c = open(file);
  const size_t frame_size = numbered_frames(1)[0].size();
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
    int fd = flic::descriptor_of(c.handle);
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), static_cast<off_t>(128 + k * frame_size));
    EXPECT_EQ(+c.position, 128u);  // the file position is the playing position
  }
  EXPECT_EQ(rx_flic_play(&c, -1, kRawIndices), 2);
  EXPECT_EQ(index_at(3, 1), 5);
  EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 0);
}

TEST_F(FlicTest, SmallInputBufferRefillsInTheMiddleOfChunks) {
  // 7-byte buffer-fulls split every header, run and skip; 301-byte ones
  // let the decoders' fast paths run until the buffered bytes run short.
  constexpr int kW = 200, kH = 12;
  std::vector<uint8_t> a(kW * kH), b(kW * kH);
  for (size_t i = 0; i < a.size(); ++i) {
    a[i] = static_cast<uint8_t>(i * 7);
    b[i] = static_cast<uint8_t>(i % 5 == 0 || i % 11 == 3 ? i : i * 7);
  }
  for (bool word : {true, false}) {
    Bytes delta = word ? support::delta_flc_body(a.data(), b.data(), kW, kH)
                       : support::delta_fli_body(a.data(), b.data(), kW, kH);
    Bytes first = support::byte_run_body(a.data(), kW, kH);
    Bytes file = support::flic_file(
        word, kW, kH, 2, 0,
        {frame_chunk({support::sub_chunk(RX_FLIC_BYTE_RUN, first),
                      support::sub_chunk(RX_FLIC_STAMP, Bytes(300, 9))}),
         frame_chunk({support::sub_chunk(word ? RX_FLIC_DELTA_FLC : RX_FLIC_DELTA_FLI, delta)})});
    for (size_t size : {7, 301}) {
      support::make_buffer(8, kW, kH);
      FlicContext c = open(file);
      std::vector<uint8_t> buffer(size);
      rx_set_input_buffer(buffer.data(), static_cast<int32_t>(size));
      EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
      EXPECT_EQ(indices(kW, kH), a) << size;
      EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
      EXPECT_EQ(indices(kW, kH), b) << (word ? "word" : "byte") << " delta, " << size;
      EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 0);
      rx_set_input_buffer(nullptr, 0);
    }
  }
}

TEST_F(FlicTest, MemorySourceThatRunsOutReturnsFramesShownAndEnds) {
  Bytes file = flic_file(true, 4, 2, 3, 0, numbered_frames(3));
  support::make_buffer(8, 4, 2);
  FlicContext c = open(file);
  install(file);
  EXPECT_EQ(rx_flic_play(&c, 1, kFromMemory), 1);
  EXPECT_EQ(rx_flic_play(&c, 10, kFromMemory), 2);
  EXPECT_EQ(+c.position, file.size());
  EXPECT_EQ(rx_flic_play(&c, 1, kFromMemory), 0);

  // Cut inside the last frame: reads stop at the end of the installed bytes.
  Bytes cut(file.begin(), file.end() - 3);
  install(cut);
  c.position = 128;
  EXPECT_EQ(rx_flic_play(&c, -1, kFromMemory), 3);
  EXPECT_EQ(+c.position, cut.size());
  EXPECT_EQ(rx_flic_play(&c, 1, kFromMemory), 0);
  c.position = 0xFFFFFFF0;  // beyond the buffer
  EXPECT_EQ(rx_flic_play(&c, 1, kFromMemory), 0);
}

}  // namespace
}  // namespace rx::flic_test

namespace rx::flic_test {
namespace {

// Playing one frame per call gives the read-ahead back with a seek; a
// pipe cannot, so opening one says so instead of losing frames later.
TEST_F(FlicTest, OpenRefusesAFileThatCannotSeek) {
  Bytes file = flic_file(true, 4, 2, 3, 0, numbered_frames(3));
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_EQ(::write(ends[1], file.data(), file.size()), static_cast<ssize_t>(file.size()));
  ::close(ends[1]);
  std::string name = "/proc/self/fd/" + std::to_string(ends[0]);
  FlicContext c{};
  EXPECT_EQ(rx_flic_open(name.c_str(), &c), RX_FLIC_CANNOT_SEEK);
  ::close(ends[0]);
  EXPECT_EQ(rx_flic_open(write_file(file).c_str(), &c), RX_OK);
  rx_flic_close(&c);
}

}  // namespace
}  // namespace rx::flic_test
