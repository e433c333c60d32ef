// Buffer copies and sprite draws of the library core, with a plain memcpy
// of the same bytes and a pixel-at-a-time draw for comparison.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/state.h"
#include "rastrix.h"

namespace {

constexpr int32_t kScreenWidth = 640, kScreenHeight = 480;
constexpr int32_t kSpriteWidth = 154, kSpriteHeight = 64;

// A fresh library on a headless screen with the given buffers created.
struct Session {
  std::vector<int32_t> buffers;
  Session(int32_t bits, int count) {
    rx_set_dc(rx_headless_screen(kScreenWidth, kScreenHeight, 32));
    rx_init();
    rx_set_buffer_depth(bits);
    for (int i = 0; i < count; ++i) buffers.push_back(rx_buffer_create(kScreenWidth, kScreenHeight));
    rx_buffer_select(buffers[0]);
  }
  ~Session() {
    rx_buffer_release();
    for (int32_t b : buffers) rx_buffer_free(b);
    rx_shutdown();
  }
};

void copy_rastrix(benchmark::State& st) {
  Session session(16, 2);
  for (auto _ : st) {
    rx_buffer_copy(0, kScreenWidth - 1, 0, kScreenHeight - 1, 0, kScreenHeight - 1,
                   session.buffers[0], session.buffers[1]);
    benchmark::ClobberMemory();
  }
  st.SetBytesProcessed(st.iterations() * kScreenWidth * kScreenHeight * 2);
}

void copy_memcpy(benchmark::State& st) {
  std::vector<uint8_t> from(kScreenWidth * kScreenHeight * 2, 1), to(from.size());
  for (auto _ : st) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::ClobberMemory();
  }
  st.SetBytesProcessed(st.iterations() * static_cast<int64_t>(from.size()));
}

// A fish-like sprite: an ellipse of opaque pixels filling about 60% of the
// rectangle, with a few clear holes, the rest (about 40%) transparent.
std::vector<uint8_t> make_sprite(int bytes_per_pixel) {
  std::vector<uint8_t> block(kSpriteWidth * kSpriteHeight * bytes_per_pixel, 0);
  const double a = kSpriteWidth / 2.0 * 0.874, b = kSpriteHeight / 2.0 * 0.874;
  for (int y = 0; y < kSpriteHeight; ++y)
    for (int x = 0; x < kSpriteWidth; ++x) {
      const double dx = (x + 0.5 - kSpriteWidth / 2.0) / a, dy = (y + 0.5 - kSpriteHeight / 2.0) / b;
      if (dx * dx + dy * dy > 1.0 || (x % 37 == 5 && y % 11 == 3)) continue;
      for (int k = 0; k < bytes_per_pixel; ++k)
        block[(y * kSpriteWidth + x) * bytes_per_pixel + k] = static_cast<uint8_t>(x * 3 + y + k + 1);
    }
  return block;
}

void sprite_draw(benchmark::State& st, int32_t bits, bool mirrored) {
  Session session(bits, 1);
  const std::vector<uint8_t> block = make_sprite(bits == 16 ? 2 : 3);
  auto draw = mirrored ? rx_draw_block_mirrored : rx_draw_block;
  rx_move_to(200, 300);
  for (auto _ : st) {
    draw(block.data(), kSpriteWidth, kSpriteHeight);
    benchmark::ClobberMemory();
  }
  st.SetItemsProcessed(st.iterations() * kSpriteWidth * kSpriteHeight);
}

// The same draw one pixel at a time, with the depth decided per pixel: the
// simplest loop that gets the pixels right.
void sprite_per_pixel(benchmark::State& st, int32_t bits) {
  Session session(bits, 1);
  const int bb = bits == 16 ? 2 : 3, pb = bits / 8;
  const std::vector<uint8_t> block = make_sprite(bb);
  const int32_t x0 = 200, y0 = 300;
  for (auto _ : st) {
    for (int32_t r = 0; r < kSpriteHeight; ++r) {
      uint8_t* row = rx::active_row(y0 - r) + x0 * pb;
      for (int32_t c = 0; c < kSpriteWidth; ++c) {
        const uint8_t* p = &block[(r * kSpriteWidth + c) * bb];
        uint32_t v = p[0] | p[1] << 8 | (bb == 3 ? p[2] << 16 : 0);
        if (v != 0) std::memcpy(row + c * pb, &v, pb);
      }
    }
    benchmark::ClobberMemory();
  }
  st.SetItemsProcessed(st.iterations() * kSpriteWidth * kSpriteHeight);
}

BENCHMARK(copy_rastrix)->Name("copy640x480_16/rastrix");
BENCHMARK(copy_memcpy)->Name("copy640x480_16/memcpy");
BENCHMARK_CAPTURE(sprite_draw, d16_plain, 16, false)->Name("sprite154x64_d16/rastrix_plain");
BENCHMARK_CAPTURE(sprite_draw, d16_mirrored, 16, true)->Name("sprite154x64_d16/rastrix_mirrored");
BENCHMARK_CAPTURE(sprite_per_pixel, d16, 16)->Name("sprite154x64_d16/per_pixel_loop");
BENCHMARK_CAPTURE(sprite_draw, d24_plain, 24, false)->Name("sprite154x64_d24/rastrix_plain");
BENCHMARK_CAPTURE(sprite_draw, d24_mirrored, 24, true)->Name("sprite154x64_d24/rastrix_mirrored");
BENCHMARK_CAPTURE(sprite_per_pixel, d24, 24)->Name("sprite154x64_d24/per_pixel_loop");
BENCHMARK_CAPTURE(sprite_draw, d32_plain, 32, false)->Name("sprite154x64_d32/rastrix_plain");
BENCHMARK_CAPTURE(sprite_draw, d32_mirrored, 32, true)->Name("sprite154x64_d32/rastrix_mirrored");
BENCHMARK_CAPTURE(sprite_per_pixel, d32, 32)->Name("sprite154x64_d32/per_pixel_loop");

}  // namespace
