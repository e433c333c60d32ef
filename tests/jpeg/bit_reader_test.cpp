// The entropy-coded data reader against a plain bit-by-bit reading of the
// same bytes: stuffed 0xFF bytes anywhere in the eight-byte window the
// reader takes at once, reads of every width, the marker at the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "jpeg/bit_reader.h"

namespace rx::jpeg {
namespace {

// Data bytes (0xFF among them, often in runs) and their stuffed form,
// ended by an RST3 marker.
struct Coded {
  std::vector<uint8_t> data, stream;
};

Coded make_coded(std::mt19937& rng, int length, int ff_one_in) {
  Coded c;
  for (int i = 0; i < length; ++i) {
    uint8_t b = rng() % ff_one_in == 0 ? 0xFF : static_cast<uint8_t>(rng() % 255);
    c.data.push_back(b);
    c.stream.push_back(b);
    if (b == 0xFF) c.stream.push_back(0x00);
  }
  c.stream.push_back(0xFF);
  c.stream.push_back(0xD3);
  return c;
}

int data_bit(const std::vector<uint8_t>& data, size_t at) {
  if (at / 8 >= data.size()) return 0;  // zero padding after the data
  return data[at / 8] >> (7 - at % 8) & 1;
}

TEST(JpegBitReader, ReadsTheDataBitsWhereverStuffingFalls) {
  std::mt19937 rng(23);
  for (int round = 0; round < 400; ++round) {
    int ff_one_in = 2 + round % 40;  // from dense runs of 0xFF to rare ones
    Coded c = make_coded(rng, 1 + static_cast<int>(rng() % 200), ff_one_in);
    InputSource src =
        InputSource::over_memory(c.stream.data(), static_cast<int32_t>(c.stream.size()));
    BitReader br;
    br.start(&src);
    size_t at = 0, total = c.data.size() * 8;
    while (at < total) {
      if (br.count < 32) br.fill();
      ASSERT_GE(br.count, 32);
      int n = 1 + static_cast<int>(rng() % 16);
      uint32_t expected = 0;
      for (int i = 0; i < n; ++i)
        expected = expected << 1 | static_cast<uint32_t>(data_bit(c.data, at + i));
      ASSERT_EQ(br.peek(n), expected) << "round " << round << " bit " << at;
      br.consume(n);
      at += static_cast<size_t>(n);
    }
    // The marker stopped the data; what was read past it is padding.
    br.fill();
    EXPECT_EQ(br.marker, 0xD3) << round;
    EXPECT_EQ(br.overran(), at > total) << round;
    EXPECT_EQ(br.peek(16), 0u) << round;
  }
}

TEST(JpegBitReader, EndOfInputWithoutMarkerGivesZeroPadding) {
  std::vector<uint8_t> stream(20, 0xA5);
  InputSource src = InputSource::over_memory(stream.data(), static_cast<int32_t>(stream.size()));
  BitReader br;
  br.start(&src);
  for (int i = 0; i < 20; ++i) {
    if (br.count < 32) br.fill();
    ASSERT_EQ(br.peek(8), 0xA5u) << i;
    br.consume(8);
    ASSERT_FALSE(br.overran());
  }
  br.fill();
  EXPECT_EQ(br.peek(16), 0u);
  EXPECT_EQ(br.marker, kNoMarker);
  br.consume(1);
  EXPECT_TRUE(br.overran());
}

}  // namespace
}  // namespace rx::jpeg
