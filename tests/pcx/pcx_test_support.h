// Helpers of the PCX suites: hand-made files, showing them, reading pixels.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/pixel_format.h"
#include "core/state.h"
#include "rastrix.h"
#include "support/headless_fixture.h"
#include "writers/pcx_writer.h"

namespace rx::pcxtest {

using Bytes = std::vector<uint8_t>;
using support::PcxPicture;

inline PcxPicture picture(int width, int height, int planes, int bits) {
  PcxPicture p;
  p.width = width;
  p.height = height;
  p.planes = planes;
  p.bits_per_plane = bits;
  p.pixels.assign(static_cast<size_t>(width) * height * (bits == 8 ? planes : 1), 0);
  for (int k = 0; k < 16; ++k) {  // 16 distinct header colours
    p.header_palette[3 * k] = static_cast<uint8_t>(16 * k + 1);
    p.header_palette[3 * k + 1] = static_cast<uint8_t>(255 - 16 * k);
    p.header_palette[3 * k + 2] = static_cast<uint8_t>(8 * k + 3);
  }
  return p;
}

// 256 distinct colours for a trailing palette.
inline Bytes palette256() {
  Bytes p(768);
  for (int k = 0; k < 256; ++k) {
    p[3 * k] = static_cast<uint8_t>(k);
    p[3 * k + 1] = static_cast<uint8_t>(255 - k);
    p[3 * k + 2] = static_cast<uint8_t>(k * 7);
  }
  return p;
}

// The picture's header followed by raw image data exactly as given.
inline Bytes with_data(const PcxPicture& p, const Bytes& data) {
  Bytes file = support::encode_pcx(p);
  file.resize(128);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

// Installs the first size bytes of file as the InputBuffer and shows them.
inline int32_t show_from_memory(Bytes& file, int32_t flags = 0, int32_t size = -1) {
  rx_set_input_buffer(file.data(), size < 0 ? static_cast<int32_t>(file.size()) : size);
  return rx_show_pcx(nullptr, flags | RX_SHOW_FROM_MEMORY);
}

inline std::string write_temp(const Bytes& file, const char* name) {
  std::string path = ::testing::TempDir() + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);
  return path;
}

inline const uint8_t* pixel_at(int x, int y) {
  return active_row(y) + static_cast<size_t>(x) * (state().active_bits / 8);
}
inline uint8_t index_at(int x, int y) { return *pixel_at(x, y); }
inline uint16_t value16_at(int x, int y) {
  const uint8_t* p = pixel_at(x, y);
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline void fill_active(uint8_t byte) {
  for (int y = 0; y < state().active_height; ++y)
    std::fill_n(active_row(y), state().active_bytes_per_row, byte);
}

// The pixel a colour becomes at the active depth, as bytes in memory order.
inline Bytes pixel_of(uint8_t r, uint8_t g, uint8_t b) {
  switch (state().active_bits) {
    case 16: {
      const uint16_t v = rx::pack_565({r, g, b});
      return {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
    }
    case 24: return {b, g, r};
    default: return {b, g, r, state().high_byte};
  }
}
inline Bytes pixel_bytes(int x, int y) {
  const uint8_t* p = pixel_at(x, y);
  return Bytes(p, p + state().active_bits / 8);
}

inline std::array<uint8_t, 3> entry(int i) {
  const LogPaletteEntry& e = state().log_palette.entries[i];
  return {e.red, e.green, e.blue};
}

}  // namespace rx::pcxtest
