// Shared set-up of the flic suites: files made by the flic writer, played
// into headless buffers, pixels read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/state.h"
#include "writers/flic_writer.h"
#include "support/headless_fixture.h"

namespace rx::flic_test {

using support::Bytes;

// In an 8-bit buffer with RX_FLIC_KEEP_PALETTE the pixels are the flic's
// own indices, which makes decoders easy to check.
inline constexpr int32_t kRawIndices = RX_FLIC_KEEP_PALETTE | RX_FLIC_NO_DELAY;
inline constexpr int32_t kFromMemory = RX_SHOW_FROM_MEMORY | RX_FLIC_NO_DELAY;

class FlicTest : public support::HeadlessTest {
 protected:
  // The flic palette state outlives flics; a palette chunk met with
  // RX_FLIC_KEEP_PALETTE sets the 8-bit remap table to the identity, so
  // every test starts from raw indices.
  void SetUp() override {
    HeadlessTest::SetUp();
    Bytes file = support::flic_file(
        true, 1, 1, 1, 0, {support::frame_chunk({support::sub_chunk(RX_FLIC_COLOR_256, {0, 0})})});
    int32_t b = support::make_buffer(8, 4, 1);
    install(file);
    FlicContext c{};
    c.position = 128;
    rx_flic_play(&c, 1, kFromMemory | RX_FLIC_KEEP_PALETTE);
    rx_set_input_buffer(nullptr, 0);
    rx_buffer_release();
    rx_buffer_free(b);
  }
  void TearDown() override {
    for (FlicContext& c : opened_) rx_flic_close(&c);
    for (const std::string& p : paths_) std::remove(p.c_str());
    HeadlessTest::TearDown();
  }

  std::string write_file(const Bytes& bytes) {
    std::string path = ::testing::TempDir() + "rastrix_flic_" + std::to_string(paths_.size()) +
                       "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f != nullptr) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    paths_.push_back(path);
    return path;
  }

  // Opens the bytes as a file; the context stays open until the test ends.
  FlicContext open(const Bytes& bytes) {
    FlicContext c{};
    EXPECT_EQ(rx_flic_open(write_file(bytes).c_str(), &c), 0);
    opened_.push_back(c);
    return c;
  }

  // Installs the bytes as the InputBuffer (they must outlive the test body).
  static void install(Bytes& bytes) {
    rx_set_input_buffer(bytes.data(), static_cast<int32_t>(bytes.size()));
  }

  static uint8_t index_at(int32_t x, int32_t y) { return active_row(y)[x]; }
  static uint16_t pixel16(int32_t x, int32_t y) {
    const uint8_t* p = active_row(y) + 2 * x;
    return static_cast<uint16_t>(p[0] | p[1] << 8);
  }
  static std::vector<uint8_t> bytes_at(int32_t x, int32_t y, int32_t n) {
    const uint8_t* p = active_row(y) + x * (state().active_bits / 8);
    return {p, p + n};
  }
  // The w x h indices of an 8-bit buffer's top-left corner, row by row.
  static std::vector<uint8_t> indices(int32_t w, int32_t h) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) out.push_back(index_at(x, y));
    return out;
  }

  std::vector<FlicContext> opened_;
  std::vector<std::string> paths_;
};

// A one-frame FLC of the given sub-chunks.
inline Bytes one_frame(int w, int h, const std::vector<Bytes>& sub_chunks) {
  return support::flic_file(true, w, h, 1, 0, {support::frame_chunk(sub_chunks)});
}

inline Bytes le16(int v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }
inline Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace rx::flic_test
