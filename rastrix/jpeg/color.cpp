#include "jpeg/color.h"

#include <cstring>

namespace rx::jpeg {
namespace {

constexpr int32_t table_entry(double k, int i) {
  return static_cast<int32_t>(k * (i - 128) + 0.5);  // truncation toward zero
}

constexpr ColorTables make_tables() {
  ColorTables t{};
  for (int i = 0; i < 256; ++i) {
    t.cr_to_red[i] = table_entry(1.402, i);
    t.cb_to_green[i] = table_entry(0.34414, i);
    t.cr_to_green[i] = table_entry(0.71414, i);
    t.cb_to_blue[i] = table_entry(1.772, i);
  }
  return t;
}

// Clamp to 0..255 by lookup over every sum the conversion can make.
inline constexpr int kClampOffset = 256;
struct ClampTable {
  uint8_t v[3 * 256];
};
constexpr ClampTable make_clamp() {
  ClampTable c{};
  for (int i = 0; i < 3 * 256; ++i) {
    int x = i - kClampOffset;
    c.v[i] = static_cast<uint8_t>(x < 0 ? 0 : x > 255 ? 255 : x);
  }
  return c;
}
constexpr ClampTable kClamp = make_clamp();
inline uint8_t clamp(int32_t x) { return kClamp.v[x + kClampOffset]; }

struct Pixel565 {
  static constexpr int kBytes = 2;
  static void put(uint8_t* p, int r, int g, int b) {
    uint16_t v = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
    std::memcpy(p, &v, 2);
  }
};
struct Pixel888 {
  static constexpr int kBytes = 3;
  static void put(uint8_t* p, int r, int g, int b) {
    p[0] = static_cast<uint8_t>(b), p[1] = static_cast<uint8_t>(g), p[2] = static_cast<uint8_t>(r);
  }
};
// The fourth byte of each pixel keeps its old value.
struct Pixel8888 {
  static constexpr int kBytes = 4;
  static void put(uint8_t* p, int r, int g, int b) { Pixel888::put(p, r, g, b); }
};

template <class Pixel, int kReplication>
void color_line_of(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int32_t first,
                   int32_t count, uint8_t* out) {
  const ColorTables& t = kColorTables;
  int32_t x = first, end = first + count;
  while (x < end) {
    int32_t c = x / kReplication;
    int32_t group_end = (c + 1) * kReplication;
    if (group_end > end) group_end = end;
    int32_t red = t.cr_to_red[cr[c]];
    int32_t green = t.cb_to_green[cb[c]] + t.cr_to_green[cr[c]];
    int32_t blue = t.cb_to_blue[cb[c]];
    for (; x < group_end; ++x, out += Pixel::kBytes) {
      int32_t l = y[x];
      Pixel::put(out, clamp(l + red), clamp(l - green), clamp(l + blue));
    }
  }
}

template <class Pixel>
void gray_line_of(const uint8_t* y, int32_t count, uint8_t* out) {
  for (int32_t i = 0; i < count; ++i, out += Pixel::kBytes) Pixel::put(out, y[i], y[i], y[i]);
}

template <class Pixel>
constexpr ColorLine kColorLines[kMaxReplication] = {
    color_line_of<Pixel, 1>, color_line_of<Pixel, 2>, color_line_of<Pixel, 3>,
    color_line_of<Pixel, 4>};

constexpr const ColorLine* kColorByDepth[4] = {nullptr, kColorLines<Pixel565>,
                                               kColorLines<Pixel888>, kColorLines<Pixel8888>};
constexpr GrayLine kGrayByDepth[4] = {nullptr, gray_line_of<Pixel565>, gray_line_of<Pixel888>,
                                      gray_line_of<Pixel8888>};

}  // namespace

constexpr ColorTables kColorTables = make_tables();

ColorLine color_line(int depth_index, int replication) {
  if (depth_index < 1 || depth_index > 3 || replication < 1 || replication > kMaxReplication)
    return nullptr;
  return kColorByDepth[depth_index][replication - 1];
}

GrayLine gray_line(int depth_index) {
  return depth_index >= 1 && depth_index <= 3 ? kGrayByDepth[depth_index] : nullptr;
}

}  // namespace rx::jpeg
