#include "image_output.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace rxtool {

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

bool write_ppm(FILE* f, int32_t width, int32_t height, const std::vector<uint8_t>& rgb) {
  std::fprintf(f, "P6\n%d %d\n255\n", width, height);
  return std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
}

bool write_png(FILE* f, int32_t width, int32_t height, const std::vector<uint8_t>& rgb) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < height; ++y)
    png_write_row(png, rgb.data() + static_cast<size_t>(y) * width * 3);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ends_with(const std::string& s, const char* tail) {
  std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

}  // namespace

bool write_picture(const std::string& path, int32_t width, int32_t height,
                   const std::vector<uint8_t>& rgb) {
  File f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  bool ok = ends_with(path, ".png") || ends_with(path, ".PNG") ? write_png(f.get(), width, height, rgb)
                                                                 : write_ppm(f.get(), width, height, rgb);
  return ok && std::fflush(f.get()) == 0;
}

}  // namespace rxtool
