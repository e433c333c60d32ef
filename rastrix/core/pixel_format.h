// The library's pixel vocabulary: buffer depths and their bytes, 5-6-5
// and 5-5-5 packing with the widening rule, the palette map, and one
// format per depth that loads, stores and maps pixels. Blocks, decoders
// and the screen all build on these names.
#pragma once

#include <cstdint>
#include <cstring>

namespace rx {

// Buffer depths, in the order of the depth index.
inline constexpr int kDepthCount = 4;
inline constexpr int kDepthBits[kDepthCount] = {8, 16, 24, 32};
inline constexpr int kBytesPerPixel[kDepthCount] = {1, 2, 3, 4};
// Depth index of a bit count: 0, 1, 2, 3 for 8, 16, 24, 32 bits.
inline constexpr int depth_index_of(int bits) { return bits / 8 - 1; }

struct Rgb {
  uint8_t red, green, blue;
};

// Widening of 5- and 6-bit components: v x 255 / max, truncated.
constexpr uint8_t widen5(uint32_t v) { return static_cast<uint8_t>(v * 255 / 31); }
constexpr uint8_t widen6(uint32_t v) { return static_cast<uint8_t>(v * 255 / 63); }

// Narrowing keeps a component's top bits. Each field of a 16-bit pixel
// from its 8-bit component, in place.
constexpr uint16_t red_565(uint32_t v) { return static_cast<uint16_t>((v >> 3) << 11); }
constexpr uint16_t green_565(uint32_t v) { return static_cast<uint16_t>((v >> 2) << 5); }
constexpr uint16_t red_555(uint32_t v) { return static_cast<uint16_t>((v >> 3) << 10); }
constexpr uint16_t green_555(uint32_t v) { return static_cast<uint16_t>((v >> 3) << 5); }
constexpr uint16_t blue_5(uint32_t v) { return static_cast<uint16_t>(v >> 3); }

// The fields' masks, as a bitmap header states them.
inline constexpr uint16_t kRedMask565 = 0xF800, kGreenMask565 = 0x07E0, kBlueMask5 = 0x001F;
inline constexpr uint16_t kRedMask555 = 0x7C00, kGreenMask555 = 0x03E0;

constexpr uint16_t pack_565(Rgb c) {
  return static_cast<uint16_t>(red_565(c.red) | green_565(c.green) | blue_5(c.blue));
}
constexpr Rgb unpack_565(uint16_t v) {
  return {widen5((v >> 11) & 31), widen6((v >> 5) & 63), widen5(v & 31)};
}
constexpr uint16_t pack_555(Rgb c) {
  return static_cast<uint16_t>(red_555(c.red) | green_555(c.green) | blue_5(c.blue));
}
constexpr Rgb unpack_555(uint16_t v) {
  return {widen5((v >> 10) & 31), widen5((v >> 5) & 31), widen5(v & 31)};
}

// Palette index -> pixel value of the active depth.
inline constexpr int kPaletteSize = 256;
union PaletteMap {
  uint16_t rgb565[kPaletteSize];  // 16-bit buffers (first 512 bytes)
  uint8_t hrgb[kPaletteSize][4];  // 24/32-bit buffers: high byte, red, green, blue
};

// One format per depth. Value holds a pixel as its bytes read low byte
// first; load and store move kBytes of them. MapEntry is what a palette
// table holds per index, and mapped() the pixel of an index.

// 8 bits: palette indices; a table here is a remap of indices.
struct Pixel8 {
  using Value = uint8_t;
  using MapEntry = uint8_t;
  static constexpr int kBits = 8, kBytes = 1;
  static Value load(const uint8_t* p) { return *p; }
  static void store(uint8_t* p, Value v) { *p = v; }
  static Value mapped(const MapEntry* map, uint8_t index) { return map[index]; }
};

// Two bytes, low first: 15 and 16 bits.
struct TwoBytePixel {
  using Value = uint16_t;
  static constexpr int kBytes = 2;
  static Value load(const uint8_t* p) {
    Value v;
    std::memcpy(&v, p, 2);
    return v;
  }
  static void store(uint8_t* p, Value v) { std::memcpy(p, &v, 2); }
};

// 16 bits: 5-6-5, PaletteMap's rgb565 values.
struct Pixel16 : TwoBytePixel {
  using MapEntry = uint16_t;
  static constexpr int kBits = 16;
  static Value pack(Rgb c) { return pack_565(c); }
  static Rgb unpack(Value v) { return unpack_565(v); }
  static const MapEntry* map(const PaletteMap& m) { return m.rgb565; }
  static Value mapped(const MapEntry* map, uint8_t index) { return map[index]; }
};

// 15 bits (screens only): 5-5-5, the top bit clear.
struct Pixel15 : TwoBytePixel {
  static constexpr int kBits = 15;
  static Value pack(Rgb c) { return pack_555(c); }
  static Rgb unpack(Value v) { return unpack_555(v); }
};

// 24 bits: blue, green, red. PaletteMap's hrgb entries are high byte,
// red, green, blue: the pixel reversed, so a mapped value carries the high
// byte on top, which a 24-bit store leaves out.
struct Pixel24 {
  using Value = uint32_t;
  using MapEntry = uint8_t[4];
  static constexpr int kBits = 24, kBytes = 3;
  static Value load(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
  }
  static void store(uint8_t* p, Value v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
  }
  static Value pack(Rgb c) { return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue; }
  static Rgb unpack(Value v) {
    return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  }
  static const MapEntry* map(const PaletteMap& m) { return m.hrgb; }
  static Value mapped(const MapEntry* map, uint8_t index) {
    uint32_t v;
    std::memcpy(&v, map[index], 4);
    return __builtin_bswap32(v);
  }
};

// 32 bits: blue, green, red, high byte.
struct Pixel32 : Pixel24 {
  static constexpr int kBits = 32, kBytes = 4;
  static Value load(const uint8_t* p) {
    Value v;
    std::memcpy(&v, p, 4);
    return v;
  }
  static void store(uint8_t* p, Value v) { std::memcpy(p, &v, 4); }
};

}  // namespace rx
