#include "raster.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

std::vector<uint8_t> Image::to_bytes() const {
  std::vector<uint8_t> out(rgb_.size());
  for (size_t i = 0; i < rgb_.size(); ++i) {
    out[i] = static_cast<uint8_t>(std::clamp(std::lround(rgb_[i]), 0L, 255L));
  }
  return out;
}

Image Image::crop(int left, int top, int width, int height) const {
  Image out(width, height);
  for (int y = 0; y < height; ++y) {
    std::copy_n(at(left, top + y), 3 * width, out.at(0, y));
  }
  return out;
}

Layer::Layer(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {}

Layer::~Layer() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void Layer::flush() const { cairo_surface_flush(surface_); }

void Layer::pixel(int x, int y, double rgba[4]) const {
  const uint8_t* row = cairo_image_surface_get_data(surface_) +
                       y * cairo_image_surface_get_stride(surface_);
  const uint32_t v = reinterpret_cast<const uint32_t*>(row)[x];
  rgba[0] = ((v >> 16) & 255) / 255.0;
  rgba[1] = ((v >> 8) & 255) / 255.0;
  rgba[2] = (v & 255) / 255.0;
  rgba[3] = (v >> 24) / 255.0;
}

void Layer::set_pixel(int x, int y, const double rgba[4]) {
  uint8_t* row = cairo_image_surface_get_data(surface_) +
                 y * cairo_image_surface_get_stride(surface_);
  auto byte = [](double v) { return static_cast<uint32_t>(std::clamp(std::lround(v * 255), 0L, 255L)); };
  const uint32_t a = byte(rgba[3]);
  const uint32_t r = std::min(byte(rgba[0]), a);
  const uint32_t g = std::min(byte(rgba[1]), a);
  const uint32_t b = std::min(byte(rgba[2]), a);
  reinterpret_cast<uint32_t*>(row)[x] = a << 24 | r << 16 | g << 8 | b;
  cairo_surface_mark_dirty(surface_);
}

void Layer::blur(double sigma) {
  flush();
  std::vector<float> planes(4 * width_ * height_);
  double px[4];
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      pixel(x, y, px);
      for (int c = 0; c < 4; ++c) planes[4 * (y * width_ + x) + c] = static_cast<float>(px[c]);
    }
  }
  gaussian_blur_planes(planes, 4, width_, height_, sigma);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      for (int c = 0; c < 4; ++c) px[c] = planes[4 * (y * width_ + x) + c];
      set_pixel(x, y, px);
    }
  }
}

void composite(Image& image, const Layer& layer, int left, int top) {
  layer.flush();
  double px[4];
  for (int y = 0; y < layer.height(); ++y) {
    const int iy = top + y;
    if (iy < 0 || iy >= image.height()) continue;
    for (int x = 0; x < layer.width(); ++x) {
      const int ix = left + x;
      if (ix < 0 || ix >= image.width()) continue;
      layer.pixel(x, y, px);
      if (px[3] <= 0) continue;
      float* d = image.at(ix, iy);
      for (int c = 0; c < 3; ++c) {
        d[c] = static_cast<float>(px[c] * 255.0 + d[c] * (1.0 - px[3]));
      }
    }
  }
}

void gaussian_blur_planes(std::vector<float>& planes, int channels, int width, int height,
                          double sigma) {
  const int radius = std::max(1, static_cast<int>(std::ceil(sigma * 3)));
  std::vector<double> kernel(2 * radius + 1);
  double total = 0;
  for (int i = -radius; i <= radius; ++i) {
    kernel[i + radius] = std::exp(-0.5 * i * i / (sigma * sigma));
    total += kernel[i + radius];
  }
  for (double& k : kernel) k /= total;

  std::vector<float> temp(planes.size());
  auto pass = [&](const std::vector<float>& src, std::vector<float>& dst, bool horizontal) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        for (int c = 0; c < channels; ++c) {
          double sum = 0;
          for (int i = -radius; i <= radius; ++i) {
            const int sx = horizontal ? std::clamp(x + i, 0, width - 1) : x;
            const int sy = horizontal ? y : std::clamp(y + i, 0, height - 1);
            sum += kernel[i + radius] * src[channels * (sy * width + sx) + c];
          }
          dst[channels * (y * width + x) + c] = static_cast<float>(sum);
        }
      }
    }
  };
  pass(planes, temp, true);
  pass(temp, planes, false);
}

void gaussian_blur(Image& image, double sigma) {
  gaussian_blur_planes(image.data(), 3, image.width(), image.height(), sigma);
}

}  // namespace assetgen
