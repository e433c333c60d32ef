// JPEG decoding into 16-, 24- and 32-bit pixels: Rastrix beside
// libjpeg-turbo (replicated upsampling, islow transform, same pixel layout)
// and stb_image, on photo-like quality-75 pictures in 4:2:0, 4:2:2, 4:4:4
// and grayscale made at start-up with libjpeg's own compressor.
//
// libjpeg-turbo picks its SIMD code once per process, so its scalar path
// is measured in a separate run with JSIMD_FORCENONE=1 set; in that run its
// benchmarks are named .../libjpeg_turbo_scalar:
//   JSIMD_FORCENONE=1 build/rastrix_bench --benchmark_filter=jpeg
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "rastrix.h"

#ifdef RASTRIX_HAVE_LIBJPEG
#include <jpeglib.h>
#endif
#ifdef RASTRIX_HAVE_STB
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include <stb_image.h>
#endif

namespace {

// Smooth gradients, fine noise and hard-edged shapes, like a photograph.
std::vector<uint8_t> photo_rgb(int w, int h) {
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      int noise = static_cast<int>(seed >> 27) - 16;
      double fx = static_cast<double>(x) / w, fy = static_cast<double>(y) / h;
      int r = static_cast<int>(90 + 80 * std::sin(fx * 7 + fy * 2) + 40 * fy);
      int g = static_cast<int>(110 + 70 * std::cos(fy * 5 - fx * 3));
      int b = static_cast<int>(150 + 60 * std::sin((fx + fy) * 4));
      double cx = fx - 0.6, cy = fy - 0.4;
      if (cx * cx + cy * cy < 0.03) r = 230, g = 180, b = 40;  // a fish
      if ((x / 37 + y / 53) % 7 == 0) g -= 60;                 // stones
      auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = clamp(r + noise), p[1] = clamp(g + noise), p[2] = clamp(b + noise / 2);
    }
  return rgb;
}

// How the chroma is sampled; the luma's sampling factors, or none.
enum class Sampling { k420, k422, k444, kGray };

struct SamplingInfo {
  Sampling sampling;
  const char* name;
  int h, v;  // luma sampling factors (chroma 1x1)
};
constexpr SamplingInfo kSamplings[] = {
    {Sampling::k420, "420", 2, 2},
    {Sampling::k422, "422", 2, 1},
    {Sampling::k444, "444", 1, 1},
    {Sampling::kGray, "gray", 1, 1},
};

// One output form: the buffer depth and the peer's matching layout
// (Rastrix stores 24-bit pixels as blue, green, red, and 32-bit ones with
// a fourth byte after them).
struct Output {
  const char* name;
  int bits;
#ifdef RASTRIX_HAVE_LIBJPEG
  J_COLOR_SPACE peer_space;
#endif
};
constexpr Output kOutputs[] = {
#ifdef RASTRIX_HAVE_LIBJPEG
    {"jpeg565", 16, JCS_RGB565},
    {"jpeg24", 24, JCS_EXT_BGR},
    {"jpeg32", 32, JCS_EXT_BGRX},
#else
    {"jpeg565", 16},
    {"jpeg24", 24},
    {"jpeg32", 32},
#endif
};

constexpr std::pair<int, int> kSizes[] = {{640, 480}, {1600, 1200}};

struct Workload {
  int w, h;
  SamplingInfo sampling;
  Output output;
};

#ifdef RASTRIX_HAVE_LIBJPEG
std::vector<uint8_t> encode(int w, int h, const SamplingInfo& s) {
  std::vector<uint8_t> rgb = photo_rgb(w, h);
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 75, TRUE);
  if (s.sampling == Sampling::kGray) jpeg_set_colorspace(&c, JCS_GRAYSCALE);
  c.comp_info[0].h_samp_factor = s.h;
  c.comp_info[0].v_samp_factor = s.v;
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = &rgb[static_cast<size_t>(c.next_scanline) * w * 3];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> file(out, out + size);
  jpeg_destroy_compress(&c);
  std::free(out);
  return file;
}
#endif

// The picture of a size and sampling, made once.
const std::vector<uint8_t>& picture(const Workload& wl) {
  static std::map<std::pair<int, Sampling>, std::vector<uint8_t>> made;
  std::vector<uint8_t>& file = made[{wl.w, wl.sampling.sampling}];
#ifdef RASTRIX_HAVE_LIBJPEG
  if (file.empty()) file = encode(wl.w, wl.h, wl.sampling);
#endif
  return file;
}

void rastrix(benchmark::State& state, Workload wl) {
  const std::vector<uint8_t>& jpeg = picture(wl);
  if (jpeg.empty()) return state.SkipWithError("no encoder to make the picture");
  rx_set_dc(rx_headless_screen(640, 480, 16));
  rx_init();
  rx_set_buffer_depth(wl.output.bits);
  int32_t buffer = rx_buffer_create(wl.w, wl.h);
  rx_buffer_select(buffer);
  std::vector<uint8_t> input = jpeg;
  rx_set_input_buffer(input.data(), static_cast<int32_t>(input.size()));
  std::vector<uint8_t> strip(static_cast<size_t>((wl.w + 15) / 16 * 16) * 3 * 16);
  rx_set_decode_buffer(strip.data(), static_cast<int32_t>(strip.size()));
  for (auto _ : state) {
    int32_t r = rx_show_jpeg(nullptr, RX_SHOW_FROM_MEMORY);
    if (r != 0) return state.SkipWithError("rx_show_jpeg failed");
  }
  rx_buffer_release();
  rx_buffer_free(buffer);
  rx_set_decode_buffer(nullptr, 0);
  rx_set_input_buffer(nullptr, 0);
  rx_shutdown();
}

#ifdef RASTRIX_HAVE_LIBJPEG
void libjpeg_turbo(benchmark::State& state, Workload wl) {
  const std::vector<uint8_t>& jpeg = picture(wl);
  size_t row_bytes = static_cast<size_t>(wl.w) * wl.output.bits / 8;
  std::vector<uint8_t> pixels(row_bytes * wl.h);
  for (auto _ : state) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = wl.output.peer_space;
    d.dct_method = JDCT_ISLOW;
    d.do_fancy_upsampling = FALSE;
    d.dither_mode = JDITHER_NONE;
    jpeg_start_decompress(&d);
    while (d.output_scanline < d.output_height) {
      JSAMPROW row = &pixels[static_cast<size_t>(d.output_scanline) * row_bytes];
      jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    benchmark::DoNotOptimize(pixels.data());
  }
}
#endif

#ifdef RASTRIX_HAVE_STB
// stb has no 5-6-5 output: three bytes (one for grayscale) stand in.
void stb_image(benchmark::State& state, Workload wl) {
  const std::vector<uint8_t>& jpeg = picture(wl);
  int channels = wl.sampling.sampling == Sampling::kGray ? 1 : 3;
  for (auto _ : state) {
    int x, y, n;
    unsigned char* pixels = stbi_load_from_memory(jpeg.data(), static_cast<int>(jpeg.size()), &x,
                                                  &y, &n, channels);
    if (pixels == nullptr) return state.SkipWithError("stb_image failed");
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
}
#endif

int register_all() {
#ifdef RASTRIX_HAVE_LIBJPEG
  const char* scalar = std::getenv("JSIMD_FORCENONE");
  bool forced = scalar != nullptr && std::string(scalar) == "1";
  const char* peer = forced ? "libjpeg_turbo_scalar" : "libjpeg_turbo";
#endif
  for (const Output& output : kOutputs)
    for (auto [w, h] : kSizes)
      for (const SamplingInfo& sampling : kSamplings) {
        Workload wl{w, h, sampling, output};
        std::string workload = std::string(output.name) + "_" + std::to_string(w) + "x" +
                               std::to_string(h) + "_" + sampling.name + "/";
        benchmark::RegisterBenchmark((workload + "rastrix").c_str(), rastrix, wl)
            ->Unit(benchmark::kMillisecond);
#ifdef RASTRIX_HAVE_LIBJPEG
        benchmark::RegisterBenchmark((workload + peer).c_str(), libjpeg_turbo, wl)
            ->Unit(benchmark::kMillisecond);
#endif
#ifdef RASTRIX_HAVE_STB
        if (output.bits == 16)
          benchmark::RegisterBenchmark((workload + "stb_image").c_str(), stb_image, wl)
              ->Unit(benchmark::kMillisecond);
#endif
      }
  return 0;
}
const int registered = register_all();

}  // namespace
