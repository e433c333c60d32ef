#include "image_output.h"

#include <png.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "progress.h"

namespace rxtool {

namespace {

constexpr int64_t kProgressPixels = 4'000'000;  // pictures this big show progress
constexpr size_t kFileBuffer = 1 << 20;
constexpr int kFastestFilteredLevel = 3;       // up to here one cheap PNG filter

// One output row of red, green, blue from a buffer row, per depth.
using RowConverter = void (*)(const uint8_t* from, int32_t width, const RxPixels& p, uint8_t* to);

void from8(const uint8_t* from, int32_t width, const RxPixels& p, uint8_t* to) {
  for (int32_t i = 0; i < width; ++i, to += 3) std::memcpy(to, p.palette[from[i]], 3);
}

// 5-6-5 values widened as rx_unpack_rgb does, computed once.
const uint8_t* wide565() {
  static std::vector<uint8_t> table = [] {
    std::vector<uint8_t> t(65536 * 3);
    for (uint32_t v = 0; v < 65536; ++v) {
      int32_t r = 0, g = 0, b = 0;
      rx_unpack_rgb(v, &r, &g, &b);
      t[3 * v] = static_cast<uint8_t>(r);
      t[3 * v + 1] = static_cast<uint8_t>(g);
      t[3 * v + 2] = static_cast<uint8_t>(b);
    }
    return t;
  }();
  return table.data();
}

void from16(const uint8_t* from, int32_t width, const RxPixels&, uint8_t* to) {
  const uint8_t* wide = wide565();
  for (int32_t i = 0; i < width; ++i, to += 3)
    std::memcpy(to, wide + 3 * (from[2 * i] | from[2 * i + 1] << 8), 3);
}

template <int kBytes>
void from_bgr(const uint8_t* from, int32_t width, const RxPixels&, uint8_t* to) {
  for (int32_t i = 0; i < width; ++i, to += 3, from += kBytes)
    to[0] = from[2], to[1] = from[1], to[2] = from[0];
}

// 24-bit rows two pixels at a time: blue and red change places within each
// 3-byte pixel of an 8-byte word. Each store writes 2 bytes past the pair,
// which the next pair overwrites; the last pairs go byte by byte.
void from_bgr24(const uint8_t* from, int32_t width, const RxPixels& p, uint8_t* to) {
  constexpr uint64_t kGreen = 0x0000FF0000FF00;  // bytes 1 and 4
  constexpr uint64_t kEnds = 0x000000FF0000FF;   // bytes 0 and 3
  int32_t i = 0;
  for (; i + 3 <= width; i += 2, from += 6, to += 6) {
    uint64_t x;
    std::memcpy(&x, from, sizeof x);
    const uint64_t swapped = (x & kGreen) | (x & kEnds) << 16 | (x >> 16 & kEnds);
    std::memcpy(to, &swapped, sizeof swapped);
  }
  from_bgr<3>(from, width - i, p, to);
}

RowConverter converter_for(int32_t bits) {
  static constexpr RowConverter kByDepth[] = {from8, from16, from_bgr24, from_bgr<4>};
  return kByDepth[bits / 8 - 1];
}

const uint8_t* row_of(const RxPixels& p, int32_t y, int32_t x) {
  return p.pixels + static_cast<ptrdiff_t>(p.height - 1 - y) * p.bytes_per_row +
         static_cast<ptrdiff_t>(x) * (p.bits / 8);
}

// Calls emit(row) for each output row of the region, in order.
template <class Emit>
bool each_row(const RxPixels& p, const Region& r, const OutputOptions& o, Emit emit) {
  RowConverter convert = converter_for(p.bits);
  std::vector<uint8_t> row(static_cast<size_t>(r.width) * 3);
  Progress progress("rxtool: writing", r.height,
                    o.show_progress ? kProgressPixels / std::max(r.width, 1) : INT64_MAX);
  for (int32_t y = 0; y < r.height; ++y) {
    convert(row_of(p, r.y + y, r.x), r.width, p, row.data());
    if (!emit(row.data())) return false;
    progress.step(y + 1);
  }
  return true;
}

bool write_ppm(FILE* f, const RxPixels& p, const Region& r, const OutputOptions& o) {
  std::fprintf(f, "P6\n%d %d\n255\n", r.width, r.height);
  size_t bytes = static_cast<size_t>(r.width) * 3;
  return each_row(p, r, o, [&](const uint8_t* row) { return std::fwrite(row, 1, bytes, f) == bytes; });
}

bool write_png(FILE* f, const RxPixels& p, const Region& r, const OutputOptions& o) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, f);
  png_set_compression_level(png, o.png_level);
  if (o.png_level <= kFastestFilteredLevel) png_set_filter(png, 0, PNG_FILTER_SUB);
  png_set_IHDR(png, info, static_cast<png_uint_32>(r.width), static_cast<png_uint_32>(r.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  each_row(p, r, o, [&](const uint8_t* row) {
    png_write_row(png, row);
    return true;
  });
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ends_with(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != tail[i]) return false;
  return true;
}

}  // namespace

bool output_kind(const std::string& path, OutputKind& kind) {
  if (path == "-" || ends_with(path, ".ppm") || ends_with(path, ".pnm")) {
    kind = OutputKind::kPpm;
    return true;
  }
  if (ends_with(path, ".png")) {
    kind = OutputKind::kPng;
    return true;
  }
  return false;
}

bool write_picture(const std::string& path, OutputKind kind, const RxPixels& pixels,
                   const Region& region, const OutputOptions& options, std::string& error) {
  const bool to_stdout = path == "-";
  FILE* f = to_stdout ? stdout : std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  // Left uninitialised: stdio fills it before writing it out.
  std::unique_ptr<char[]> buffer(to_stdout ? nullptr : new char[kFileBuffer]);
  if (!to_stdout) std::setvbuf(f, buffer.get(), _IOFBF, kFileBuffer);
  errno = 0;
  bool ok = kind == OutputKind::kPng ? write_png(f, pixels, region, options)
                                     : write_ppm(f, pixels, region, options);
  ok = std::fflush(f) == 0 && ok;
  if (!ok) error = errno ? std::strerror(errno) : "write failed";
  if (!to_stdout) ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace rxtool
