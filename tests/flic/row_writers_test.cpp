// The 16-bit writers store runs in whole blocks, blends with the pixels
// past a run, and overlapping pieces; whatever a run's length, its column
// and its neighbours, every pixel must be the colour of the index an
// 8-bit buffer gets from the same frames, and nothing outside the frame
// may change.
#include "core/cpu_features.h"
#include "core/pixel_format.h"
#include "flic/pixel_chunks.h"
#include "flic_fixture.h"

namespace rx::flic_test {
namespace {

using support::frame_chunk;
using support::sub_chunk;

constexpr uint16_t kUntouched = 0xEEEE;

// Changes spans of every length from 1 to 40 in the picture: new
// literals, one repeated index, or two alternating ones, with gaps of 1
// to 5 unchanged pixels, and a span that reaches the row's end.
void change_spans(std::vector<uint8_t>& picture, int w, uint32_t seed) {
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  const int h = static_cast<int>(picture.size()) / w;
  int length = 1;
  for (int y = 0; y < h; ++y) {
    int x = static_cast<int>(next() % 4);
    while (x < w) {
      const uint32_t kind = next() % 3;
      const auto a = static_cast<uint8_t>(next()), b = static_cast<uint8_t>(next());
      for (int i = 0; i < length && x < w; ++i, ++x) {
        uint8_t v = kind == 0 ? static_cast<uint8_t>(next()) : kind == 1 || i % 2 == 0 ? a : b;
        picture[static_cast<size_t>(y) * w + x] = v;
      }
      x += 1 + static_cast<int>(next() % 5);
      length = length % 40 + 1;
    }
  }
}

// 256 colours that stay apart in 5-6-5.
std::vector<uint8_t> distinct_colours() {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < 256; ++i) {
    rgb.push_back(static_cast<uint8_t>(i & 0xF8));
    rgb.push_back(static_cast<uint8_t>(i << 5 & 0xE0));
    rgb.push_back(static_cast<uint8_t>(255 - i));
  }
  return rgb;
}

class RowWriters : public FlicTest {
 protected:
  static const LogPaletteEntry& entry(int i) { return state().log_palette.entries[i]; }

  // Expects the w x h frame's colours where it lands with its left edge
  // at column left, and the untouched value elsewhere.
  static void expect_colours(const std::vector<uint8_t>& want, int w, int h, int left,
                             const char* what) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < state().active_width; ++x) {
        const int fx = x - left;
        uint16_t colour = kUntouched;
        if (fx >= 0 && fx < w) {
          const LogPaletteEntry& e = entry(want[static_cast<size_t>(y) * w + fx]);
          colour = rx::pack_565({e.red, e.green, e.blue});
        }
        ASSERT_EQ(pixel16(x, y), colour) << what << " at " << x << "," << y << " from " << left;
      }
    }
  }
};

TEST_F(RowWriters, SixteenBitRunsOfEveryLengthMatchTheIndices) {
  constexpr int kW = 77, kH = 30;
  std::vector<uint8_t> first(kW * kH, 7);
  change_spans(first, kW, 12345);
  std::vector<uint8_t> second = first;
  change_spans(second, kW, 999);
  for (bool word : {false, true}) {
    Bytes delta = word ? support::delta_flc_body(first.data(), second.data(), kW, kH)
                       : support::delta_fli_body(first.data(), second.data(), kW, kH);
    Bytes file = support::flic_file(
        true, kW, kH, 2, 0,
        {frame_chunk({sub_chunk(RX_FLIC_BYTE_RUN, support::byte_run_body(first.data(), kW, kH))}),
         frame_chunk({sub_chunk(word ? RX_FLIC_DELTA_FLC : RX_FLIC_DELTA_FLI, delta)})});
    const char* what = word ? "word delta" : "byte delta";
    support::make_buffer(8, kW, kH);
    FlicContext c = open(file);
    ASSERT_EQ(rx_flic_play(&c, 2, kRawIndices), 2);
    ASSERT_EQ(indices(kW, kH), second) << what;
    // The frame as wide as the buffer (runs at the right edge take the
    // exact path), narrower (blocks may reach past the frame), and cut at
    // an odd column on the left (clipped pairs start on their second pixel).
    for (auto [extra, left] : {std::pair{0, 0}, {9, 0}, {0, -3}}) {
      support::make_buffer(16, kW + extra, kH);
      rx_set_palette_entries(0, 256, distinct_colours().data());
      for (int y = 0; y < kH; ++y)
        std::fill_n(active_row(y), state().active_bytes_per_row, static_cast<uint8_t>(kUntouched));
      c = open(file);
      rx_move_to(left, 0);
      ASSERT_EQ(rx_flic_play(&c, 1, kRawIndices | RX_SHOW_AT_POSITION), 1);
      expect_colours(first, kW, kH, left, "byte run");
      ASSERT_EQ(rx_flic_play(&c, 1, kRawIndices | RX_SHOW_AT_POSITION), 1);
      expect_colours(second, kW, kH, left, what);
    }
  }
}

// The decoders with masked 64-byte stores against the portable ones: the
// same chunk, whole or cut short, at origins that clip on every side, must
// leave the same buffer and take the same bytes.
TEST_F(RowWriters, MaskedDecodersMatchThePortableOnes) {
  const flic::PixelDecoders* masked = flic::masked_pixel_decoders16();
  if (masked == nullptr) GTEST_SKIP() << "no 64-byte vectors on this processor";
  const flic::PixelDecoders& portable = flic::portable_pixel_decoders(1);
  constexpr int kW = 93, kH = 21;
  std::vector<uint8_t> first(kW * kH, 3);
  change_spans(first, kW, 4242);
  std::vector<uint8_t> second = first;
  change_spans(second, kW, 77);
  using Decode = void (*)(flic::FlicStream&, const flic::FrameArea&);
  const struct {
    Decode flic::PixelDecoders::*decoder;
    Bytes body;
  } chunks[] = {
      {&flic::PixelDecoders::byte_run, support::byte_run_body(first.data(), kW, kH)},
      {&flic::PixelDecoders::copy, support::copy_body(first.data(), kW, kH)},
      {&flic::PixelDecoders::delta_fli,
       support::delta_fli_body(first.data(), second.data(), kW, kH)},
      {&flic::PixelDecoders::delta_flc,
       support::delta_flc_body(first.data(), second.data(), kW, kH)},
      {&flic::PixelDecoders::black, {}},
  };
  constexpr int kBufferW = kW + 6, kBufferH = kH + 4;
  support::make_buffer(16, kBufferW, kBufferH);
  rx_set_palette_entries(0, 256, distinct_colours().data());
  const size_t row_bytes = static_cast<size_t>(state().active_bytes_per_row);
  // The buffer after one decoder ran over a patterned one, and the bytes
  // it took.
  const auto run = [&](Decode decode, Bytes& body, const flic::FrameArea& area) {
    for (int y = 0; y < kBufferH; ++y)
      for (size_t i = 0; i < row_bytes; ++i) active_row(y)[i] = static_cast<uint8_t>(i * 7 + y);
    install(body);
    FlicContext context{};
    flic::FlicStream stream;
    if (stream.begin(context, true)) decode(stream, area);
    std::vector<uint8_t> pixels;
    for (int y = 0; y < kBufferH; ++y)
      pixels.insert(pixels.end(), active_row(y), active_row(y) + row_bytes);
    pixels.push_back(static_cast<uint8_t>(stream.offset()));
    pixels.push_back(static_cast<uint8_t>(stream.offset() >> 8));
    return pixels;
  };
  for (const auto& chunk : chunks) {
    for (size_t cut : {chunk.body.size(), chunk.body.size() / 2, chunk.body.size() / 3}) {
      Bytes body(chunk.body.begin(), chunk.body.begin() + static_cast<ptrdiff_t>(cut));
      body.push_back(0);  // the InputBuffer is never empty
      for (auto [x, y] : {std::pair{0, 0}, {6, 4}, {-5, 0}, {-4, -3}, {9, 7}, {3, -kH + 2}}) {
        const flic::FrameArea area{x, y, kW, kH};
        const std::vector<uint8_t> want = run(portable.*chunk.decoder, body, area);
        ASSERT_EQ(run(masked->*chunk.decoder, body, area), want)
            << "chunk " << &chunk - chunks << ", " << cut << " bytes, at " << x << "," << y;
      }
    }
  }
  rx_set_input_buffer(nullptr, 0);
}

// The masked decoders serve 16 bits at the AVX-512 level only; the
// levels below decode as the portable ones.
TEST(PixelDecoderChoice, FollowsTheLevelInUse) {
  const CpuLevel before = cpu_level();
  for (int32_t level = 0; level <= static_cast<int32_t>(cpu_best()); ++level) {
    set_cpu_level(static_cast<CpuLevel>(level));
    const bool masked = level == static_cast<int32_t>(CpuLevel::kAvx512);
    EXPECT_EQ(&flic::pixel_decoders(1),
              masked ? flic::masked_pixel_decoders16() : &flic::portable_pixel_decoders(1))
        << cpu_level_name(level);
    EXPECT_EQ(&flic::pixel_decoders(2), &flic::portable_pixel_decoders(2)) << cpu_level_name(level);
  }
  set_cpu_level(before);
}

}  // namespace
}  // namespace rx::flic_test
