// Pixel containers of the generator: a floating-point RGB picture that the
// passes work on, and Cairo layers on which shapes are drawn antialiased
// before they are laid over it.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

namespace assetgen {

struct Rgb {
  double r = 0, g = 0, b = 0;  // 0..255
};

// Row-major RGB in 0..255 floats, top row first.
class Image {
 public:
  Image(int width, int height) : width_(width), height_(height), rgb_(3 * width * height) {}
  int width() const { return width_; }
  int height() const { return height_; }
  float* at(int x, int y) { return &rgb_[3 * (y * width_ + x)]; }
  const float* at(int x, int y) const { return &rgb_[3 * (y * width_ + x)]; }
  std::vector<float>& data() { return rgb_; }
  // Rounded and clamped 8-bit RGB triples.
  std::vector<uint8_t> to_bytes() const;
  Image crop(int left, int top, int width, int height) const;

 private:
  int width_;
  int height_;
  std::vector<float> rgb_;
};

// A transparent Cairo ARGB32 surface with its drawing context.
class Layer {
 public:
  Layer(int width, int height);
  ~Layer();
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;
  cairo_t* cr() const { return cr_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Finishes pending drawing; call before reading pixels.
  void flush() const;
  // Premultiplied red, green, blue, alpha of a pixel in 0..1.
  void pixel(int x, int y, double rgba[4]) const;
  void set_pixel(int x, int y, const double rgba[4]);
  // Gaussian blur of all four channels (soft focus for distant shapes).
  void blur(double sigma);

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Lays the layer over the picture ("over" operator), its top-left at (left, top).
void composite(Image& image, const Layer& layer, int left = 0, int top = 0);
// Separable Gaussian blur, edges clamped.
void gaussian_blur(Image& image, double sigma);
void gaussian_blur_planes(std::vector<float>& planes, int channels, int width, int height,
                          double sigma);

inline void set_source(cairo_t* cr, const Rgb& c, double alpha = 1.0) {
  cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}
inline void add_stop(cairo_pattern_t* p, double offset, const Rgb& c, double alpha = 1.0) {
  cairo_pattern_add_color_stop_rgba(p, offset, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}
inline Rgb mix(const Rgb& a, const Rgb& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb scale(const Rgb& a, double k) { return {a.r * k, a.g * k, a.b * k}; }

}  // namespace assetgen
