// The misuse tables: rows of {name, call, expected result}, each run from
// the state its group describes, plus the small pictures the rows show.
// Caller memory is sized exactly, so the address sanitizer sees any access
// past what a caller really handed in.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "core/state.h"
#include "platform/platform.h"
#include "rastrix.h"
#include "writers/flic_writer.h"
#include "support/headless_fixture.h"
#include "support/jpeg_writer.h"
#include "writers/pcx_writer.h"

namespace rx::hardening {

using Bytes = std::vector<uint8_t>;

// Any result of the interface (signed, unsigned, or a handle's presence)
// fits here unchanged.
struct MisuseRow {
  const char* name;
  int64_t (*call)();
  int64_t expected;
};

// Virtual milliseconds per clock read: busy waits (settle waits, the
// longest frame delay) end after a few reads.
inline constexpr uint32_t kClockStep = 1u << 24;

// The small pictures the rows show, from memory and from files.
struct Samples {
  Bytes pcx;     // 8 x 8, 256 colours, origin (0, 0)
  Bytes jpeg;    // 16 x 16, three components
  Bytes flic;    // FLC, 16 x 16, two frames
  Bytes zeros;   // 200 bytes that are no picture at all
  std::string pcx_path, jpeg_path, flic_path, missing_path;

  Samples() {
    support::PcxPicture p;
    p.width = p.height = 8;
    p.pixels.assign(64, 0);
    for (int i = 0; i < 64; ++i) p.pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 3);
    p.palette.assign(768, 0);
    for (int i = 0; i < 768; ++i) p.palette[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    pcx = support::encode_pcx(p);

    support::JpegStream j;
    jpeg = support::write_jpeg(j, [](int c, int bx, int by, int16_t coefficients[64]) {
      coefficients[0] = static_cast<int16_t>(c == 0 ? 10 * (bx + by) : 5);
    });

    std::vector<std::vector<uint8_t>> frames(2, std::vector<uint8_t>(256));
    for (int i = 0; i < 256; ++i) {
      frames[0][static_cast<size_t>(i)] = static_cast<uint8_t>(i);
      frames[1][static_cast<size_t>(i)] = static_cast<uint8_t>(255 - i);
    }
    Bytes palette(768);
    for (int i = 0; i < 768; ++i) palette[static_cast<size_t>(i)] = static_cast<uint8_t>(i / 3);
    flic = support::encode_flc(frames, 16, 16, palette, 70);
    zeros.assign(200, 0);

    const std::string dir = ::testing::TempDir() + "rastrix_misuse_";
    pcx_path = write(dir + "picture.pcx", pcx);
    jpeg_path = write(dir + "picture.jpg", jpeg);
    flic_path = write(dir + "wheel.flc", flic);
    missing_path = dir + "no_such_file";
  }
  ~Samples() {
    for (const std::string* path : {&pcx_path, &jpeg_path, &flic_path})
      std::remove(path->c_str());
  }

 private:
  static std::string write(const std::string& path, const Bytes& bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return path;
  }
};

inline Samples& samples() {
  static Samples s;
  return s;
}

// Installs bytes as the InputBuffer.
inline void install(Bytes& bytes) {
  rx_set_input_buffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// Largest block a row really hands in; rows that claim more pass one
// byte, which the call must not touch.
inline constexpr uint32_t kLargestBlock = 1u << 20;

// Caller memory of exactly what a width x height block needs at the active
// depth, filled with a marker.
inline Bytes block_for(int32_t width, int32_t height) {
  const uint32_t size = rx_block_size(width, height);
  return Bytes(size >= 1 && size <= kLargestBlock ? size : 1, 0x5A);
}

inline int64_t draw_at(int32_t x, int32_t y, int32_t width, int32_t height, bool mirrored) {
  Bytes block = block_for(width, height);
  rx_move_to(x, y);
  return mirrored ? rx_draw_block_mirrored(block.data(), width, height)
                  : rx_draw_block(block.data(), width, height);
}

inline int64_t capture_at(int32_t x, int32_t y, int32_t width, int32_t height) {
  Bytes block = block_for(width, height);
  rx_move_to(x, y);
  return rx_capture_block(block.data(), width, height);
}

inline constexpr int32_t kShowAt = RX_SHOW_FROM_MEMORY | RX_SHOW_AT_POSITION;

inline int64_t pcx_at(int32_t x, int32_t y) {
  install(samples().pcx);
  rx_move_to(x, y);
  return rx_show_pcx(nullptr, kShowAt);
}

inline int64_t jpeg_at(int32_t x, int32_t y) {
  install(samples().jpeg);
  rx_move_to(x, y);
  return rx_show_jpeg(nullptr, kShowAt);
}

// A context for the sample flic in memory, at its first frame.
inline FlicContext memory_flic() {
  FlicContext c{};
  c.position = 128;
  c.width = 16;
  c.height = 16;
  c.source = 1;
  return c;
}

inline int64_t flic_at(int32_t x, int32_t y) {
  install(samples().flic);
  FlicContext c = memory_flic();
  rx_move_to(x, y);
  return rx_flic_play(&c, 1, kShowAt | RX_FLIC_NO_DELAY);
}

// Runs each row from the state arrange() leaves; intact() then tells
// whether what the row had no business changing is as it was.
class MisuseTest : public support::HeadlessTest {
 protected:
  virtual void arrange() {}
  virtual bool intact() const { return true; }

  void run(std::span<const MisuseRow> rows) {
    for (const MisuseRow& row : rows) {
      HeadlessTest::TearDown();
      HeadlessTest::SetUp();
      platform::set_virtual_clock(true, 0, kClockStep);
      arrange();
      EXPECT_EQ(row.call(), row.expected) << row.name;
      EXPECT_TRUE(intact()) << row.name << ": the state around the call changed";
    }
  }
};

}  // namespace rx::hardening
