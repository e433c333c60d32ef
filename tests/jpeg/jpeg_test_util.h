// Helpers shared by the JPEG suites: streams on disk and decoding them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/state.h"
#include "rastrix.h"
#include "support/jpeg_writer.h"

namespace rx::jpeg_test {

inline std::string write_file(const std::string& name, const std::vector<uint8_t>& data) {
  std::string path = ::testing::TempDir() + "rx_jpeg_" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f != nullptr) {
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }
  return path;
}

// Every block carries only its DC term, dc(component, bx, by).
inline support::BlockSource dc_blocks(int (*dc)(int, int, int)) {
  return [dc](int c, int bx, int by, int16_t* coef) { coef[0] = static_cast<int16_t>(dc(c, bx, by)); };
}

// The sample of a block whose only dequantised coefficient is d.
inline int dc_sample(int d) {
  int w = static_cast<int16_t>(d * 4);
  int v = ((w + 16) >> 5) + 128;
  return v < 0 ? 0 : v > 255 ? 255 : v;
}

// Bytes of pixel (x, y) of the active buffer.
inline const uint8_t* pixel(int x, int y) {
  return rx::active_row(y) + x * (rx::state().active_bits / 8);
}

// Active buffer pixel as (r, g, b), 16-bit pixels widened by shifts.
inline void rgb_at(int x, int y, int* r, int* g, int* b) {
  const uint8_t* p = pixel(x, y);
  if (rx::state().active_bits == 16) {
    int v = p[0] | p[1] << 8;
    *r = (v >> 11) << 3, *g = ((v >> 5) & 63) << 2, *b = (v & 31) << 3;
  } else {
    *r = p[2], *g = p[1], *b = p[0];
  }
}

// Decodes data from memory into the active buffer.
inline int32_t show_from_memory(std::vector<uint8_t> data, int32_t flags = 0) {
  static std::vector<uint8_t> held;
  held = std::move(data);
  rx_set_input_buffer(held.data(), static_cast<int32_t>(held.size()));
  int32_t r = rx_show_jpeg(nullptr, flags | RX_SHOW_FROM_MEMORY);
  return r;
}

}  // namespace rx::jpeg_test
