// Column skips of 128 to 255 in byte (FLI) and word (FLC) deltas: the
// skip byte counts unsigned, so every such skip moves right by its value,
// at 8 and 16 bits and at every instruction level.
#include "core/cpu_features.h"
#include "flic_fixture.h"

namespace rx::flic_test {
namespace {

using support::sub_chunk;

constexpr int kWidth = 600;      // frame width: room for three long skips
constexpr int kBufferWidth = 640;
constexpr int kRows = 3;
constexpr uint8_t kBackground = 0xEE;
constexpr int kRow = 1;           // the row the deltas change
constexpr int32_t kFastPathPadding = 512;  // more than the longest packet and its read-ahead

// A pixel the delta wrote: its column and flic index.
struct Pixel {
  int x;
  uint8_t index;
};

class ColumnSkips : public FlicTest, public ::testing::WithParamInterface<int32_t> {
 protected:
  // Plays one frame of the delta into a fresh buffer of the test's depth
  // filled with kBackground bytes; 16-bit pixels come from a palette of
  // distinct colours.
  void play(uint16_t type, const Bytes& body) {
    if (buffer_ >= 0) {
      rx_buffer_release();
      rx_buffer_free(buffer_);
    }
    buffer_ = support::make_buffer(GetParam(), kBufferWidth, kRows);
    uint8_t rgb[256][3];
    for (int k = 0; k < 256; ++k) {
      rgb[k][0] = static_cast<uint8_t>(k);
      rgb[k][1] = static_cast<uint8_t>(255 - k);
      rgb[k][2] = static_cast<uint8_t>(k * 7);
    }
    rx_set_palette_entries(0, 256, rgb[0]);
    for (int r = 0; r < kRows; ++r)
      std::fill_n(active_row(r), state().active_bytes_per_row, kBackground);
    if (path_.empty()) {
      path_ = ::testing::TempDir() + "rastrix_column_skips_" + std::to_string(GetParam()) + ".flc";
      paths_.push_back(path_);
    }
    Bytes padded = body;
    padded.resize(body.size() + static_cast<size_t>(padding_));
    const Bytes file = one_frame(kWidth, kRows, {sub_chunk(type, padded)});
    FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    FlicContext c{};
    ASSERT_EQ(rx_flic_open(path_.c_str(), &c), 0);
    EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
    rx_flic_close(&c);
  }

  // Row kRow holds exactly the given pixels; every other pixel of the
  // buffer is still background.
  void expect_only(const std::vector<Pixel>& written, const std::string& what) {
    const int bytes = GetParam() / 8;
    for (int y = 0; y < kRows; ++y) {
      Bytes want(static_cast<size_t>(kBufferWidth) * bytes, kBackground);
      for (const Pixel& p : written) {
        if (y != kRow) continue;
        uint8_t* at = want.data() + p.x * bytes;
        if (bytes == 1) {
          *at = p.index;
        } else {
          const uint16_t v = state().palette_map.rgb565[p.index];
          at[0] = static_cast<uint8_t>(v);
          at[1] = static_cast<uint8_t>(v >> 8);
        }
      }
      ASSERT_EQ(bytes_at(0, y, kBufferWidth * bytes), want) << what << ": row " << y;
    }
  }

  // Runs the check at every level the processor has, on the decoders'
  // careful paths (the chunk ends with the line) and on their fast paths
  // (unread bytes follow, so whole packets are in the input).
  template <class Check>
  void at_every_level(Check check) {
    const CpuLevel before = cpu_level();
    for (int32_t level = 0; level <= static_cast<int32_t>(cpu_best()); ++level) {
      set_cpu_level(static_cast<CpuLevel>(level));
      for (int32_t padding : {0, kFastPathPadding}) {
        padding_ = padding;
        check(std::string(cpu_level_name(level)) + (padding ? " fast" : " careful"));
      }
    }
    set_cpu_level(before);
  }

  int32_t padding_ = 0;
  int32_t buffer_ = -1;
  std::string path_;
};

// FLI: first line, line count, then per line a packet count and packets
// of skip, signed size (literal bytes, or one byte repeated) and data.
Bytes byte_delta(const Bytes& packets, int count) {
  return cat({le16(kRow), le16(1), {static_cast<uint8_t>(count)}, packets});
}
// FLC: line count, a word skipping rows down to kRow, then the packet
// count and packets of skip, signed size (literal pairs, or one pair
// repeated) and data.
Bytes word_delta(const Bytes& packets, int count) {
  return cat({le16(1), le16(0x10000 - kRow), le16(count), packets});
}

TEST_P(ColumnSkips, EveryLongSkipOfAByteDeltaLandsOnItsColumn) {
  at_every_level([&](const std::string& level) {
    for (int skip = 128; skip <= 255; ++skip) {
      play(RX_FLIC_DELTA_FLI, byte_delta({static_cast<uint8_t>(skip), 1, 7}, 1));
      expect_only({{skip, 7}}, level + " skip " + std::to_string(skip));
    }
  });
}

TEST_P(ColumnSkips, EveryLongSkipOfAWordDeltaLandsOnItsColumn) {
  at_every_level([&](const std::string& level) {
    for (int skip = 128; skip <= 255; ++skip) {
      play(RX_FLIC_DELTA_FLC, word_delta({static_cast<uint8_t>(skip), 1, 7, 8}, 1));
      expect_only({{skip, 7}, {skip + 1, 8}}, level + " skip " + std::to_string(skip));
    }
  });
}

TEST_P(ColumnSkips, LongSkipsAddUpAcrossALine) {
  at_every_level([&](const std::string& level) {
    // Skip 128, literal (1, 2); skip 200, 3 repeated three times; skip 255,
    // literal 4: columns 128-129, 330-332 and 588.
    play(RX_FLIC_DELTA_FLI, byte_delta({128, 2, 1, 2, 200, 0xFD, 3, 255, 1, 4}, 3));
    expect_only({{128, 1}, {129, 2}, {330, 3}, {331, 3}, {332, 3}, {588, 4}}, level + " bytes");
    // Skip 128, pair (1, 2); skip 200, pair (3, 4) twice; skip 255, pair
    // (5, 6): columns 128-129, 330-333 and 589-590.
    play(RX_FLIC_DELTA_FLC, word_delta({128, 1, 1, 2, 200, 0xFE, 3, 4, 255, 1, 5, 6}, 3));
    expect_only({{128, 1}, {129, 2}, {330, 3}, {331, 4}, {332, 3}, {333, 4}, {589, 5}, {590, 6}},
                level + " words");
  });
}

INSTANTIATE_TEST_SUITE_P(Depths, ColumnSkips, ::testing::Values(8, 16),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return "Bits" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace rx::flic_test
