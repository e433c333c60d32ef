// PCX decoding speed: a 640 x 480 256-colour picture shown from memory
// into a 16-bit (RGB565) buffer, beside SDL2_image and Allegro 4 doing the
// same job (decode, then convert to RGB565), and Pillow (embedded Python)
// decoding to its 8-bit picture only, its fastest path. Three kinds of picture, made
// at run time: a sprite sheet (mostly black), a smooth photo-like gradient
// and a dithered, noisy photo with few runs.
//
// reduce_colors_256_to/N: rx_reduce_colors on a 320 x 200 8-bit buffer
// using all 256 colours of a random palette, down to N colours.
#ifdef RASTRIX_HAVE_PYTHON3_EMBED
#define PY_SSIZE_T_CLEAN
#include <Python.h>  // first, as Python asks
#endif

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/state.h"
#include "rastrix.h"
#include "writers/pcx_writer.h"

#ifdef RASTRIX_HAVE_SDL2_IMAGE
#include <SDL.h>
#include <SDL_image.h>
#endif

#include "support/allegro_peer.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

enum class Scene { kSprites, kPhoto, kDithered };

// A small linear congruential generator, so every run draws the same.
struct Lcg {
  uint32_t state;
  uint32_t next() { return state = state * 1664525u + 1013904223u; }
};

std::vector<uint8_t> palette_ramp() {
  std::vector<uint8_t> p(768);
  for (int i = 0; i < 256; ++i) {
    p[3 * i] = static_cast<uint8_t>(i);
    p[3 * i + 1] = static_cast<uint8_t>((i * 3) & 255);
    p[3 * i + 2] = static_cast<uint8_t>(255 - i);
  }
  return p;
}

uint8_t photo_index(int x, int y) {
  const double v = 128 + 60 * std::sin(x * 0.011 + y * 0.004) + 60 * std::cos(y * 0.013 - x * 0.003);
  return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

const std::vector<uint8_t>& picture_file(Scene scene) {
  static std::vector<uint8_t> files[3];
  std::vector<uint8_t>& file = files[static_cast<int>(scene)];
  if (!file.empty()) return file;
  rx::support::PcxPicture p;
  p.width = kWidth;
  p.height = kHeight;
  p.planes = 1;
  p.bits_per_plane = 8;
  p.palette = palette_ramp();
  p.pixels.assign(kWidth * kHeight, 0);
  Lcg rng{12345};
  switch (scene) {
    case Scene::kSprites:  // 6 x 4 frames of 64 x 48 fish-like blobs on black
      for (int frame = 0; frame < 24; ++frame) {
        const int x0 = 16 + (frame % 6) * 104, y0 = 20 + (frame / 6) * 115;
        for (int y = 0; y < 48; ++y)
          for (int x = 0; x < 64; ++x) {
            const double dx = (x - 32) / 30.0, dy = (y - 24) / 16.0;
            if (dx * dx + dy * dy <= 1.0)
              p.pixels[(y0 + y) * kWidth + x0 + x] = static_cast<uint8_t>(16 + (x / 4 + y / 6 + frame) % 200);
          }
      }
      break;
    case Scene::kPhoto:
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) p.pixels[y * kWidth + x] = photo_index(x, y);
      break;
    case Scene::kDithered:
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          const int noise = static_cast<int>(rng.next() >> 27) - 16;
          p.pixels[y * kWidth + x] = static_cast<uint8_t>(std::clamp(photo_index(x, y) + noise, 0, 255));
        }
      break;
  }
  file = rx::support::encode_pcx(p);
  return file;
}

void rastrix_pcx565(benchmark::State& st, Scene scene) {
  // Set up on every run: other workloads' runs, interleaved with this
  // one's, shut the library down.
  rx_set_dc(rx_headless_screen(kWidth, kHeight, 16));
  rx_init();
  rx_set_buffer_depth(16);
  const int32_t buffer = rx_buffer_create(kWidth, kHeight);
  rx_buffer_select(buffer);
  std::vector<uint8_t> file = picture_file(scene);
  rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
  for (auto _ : st) {
    if (rx_show_pcx(nullptr, RX_SHOW_FROM_MEMORY) != 0) {
      st.SkipWithError("rx_show_pcx refused the picture");
      break;
    }
    benchmark::ClobberMemory();
  }
  rx_set_input_buffer(nullptr, 0);
  rx_buffer_release();
  rx_buffer_free(buffer);
  rx_shutdown();
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * kWidth * kHeight * 2);
}

#ifdef RASTRIX_HAVE_SDL2_IMAGE
void sdl_image_pcx565(benchmark::State& st, Scene scene) {
  const std::vector<uint8_t>& file = picture_file(scene);
  for (auto _ : st) {
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    SDL_Surface* decoded = IMG_Load_RW(rw, 1);
    SDL_Surface* converted =
        decoded ? SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGB565, 0) : nullptr;
    if (converted == nullptr) {
      SDL_FreeSurface(decoded);
      st.SkipWithError("SDL2_image could not decode the picture");
      break;
    }
    benchmark::DoNotOptimize(converted->pixels);
    SDL_FreeSurface(converted);
    SDL_FreeSurface(decoded);
  }
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * kWidth * kHeight * 2);
}
#endif

#ifdef RASTRIX_HAVE_ALLEGRO
// Allegro reads through a PACKFILE; this one serves the file from memory.
struct MemoryPack {
  const uint8_t* data;
  long size;
  long at;
};
int mem_close(void*) { return 0; }
int mem_getc(void* u) {
  auto* m = static_cast<MemoryPack*>(u);
  return m->at < m->size ? m->data[m->at++] : EOF;
}
int mem_ungetc(int c, void* u) {
  auto* m = static_cast<MemoryPack*>(u);
  if (m->at > 0) --m->at;
  return c;
}
long mem_read(void* p, long n, void* u) {
  auto* m = static_cast<MemoryPack*>(u);
  n = std::min(n, m->size - m->at);
  std::memcpy(p, m->data + m->at, static_cast<size_t>(n));
  m->at += n;
  return n;
}
int mem_putc(int, void*) { return EOF; }
long mem_write(const void*, long, void*) { return 0; }
int mem_seek(void* u, int offset) {
  auto* m = static_cast<MemoryPack*>(u);
  m->at = std::min<long>(m->at + offset, m->size);
  return 0;
}
int mem_eof(void* u) {
  auto* m = static_cast<MemoryPack*>(u);
  return m->at >= m->size;
}
int mem_error(void*) { return 0; }
const PACKFILE_VTABLE kMemoryVtable = {mem_close, mem_getc, mem_ungetc, mem_read, mem_putc,
                                       mem_write, mem_seek, mem_eof,    mem_error};

void allegro_pcx565(benchmark::State& st, Scene scene) {
  if (!rx::bench::start_allegro()) {
    st.SkipWithError("Allegro could not be installed");
    return;
  }
  set_color_depth(16);
  set_color_conversion(COLORCONV_TOTAL);
  const std::vector<uint8_t>& file = picture_file(scene);
  RGB palette[256];
  for (auto _ : st) {
    MemoryPack source{file.data(), static_cast<long>(file.size()), 0};
    PACKFILE* f = pack_fopen_vtable(&kMemoryVtable, &source);
    BITMAP* picture = f ? load_pcx_pf(f, palette) : nullptr;
    if (f) pack_fclose(f);
    if (picture == nullptr || bitmap_color_depth(picture) != 16) {
      if (picture) destroy_bitmap(picture);
      st.SkipWithError("Allegro could not load the picture as 16 bits");
      break;
    }
    benchmark::DoNotOptimize(picture->line[0]);
    destroy_bitmap(picture);
  }
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * kWidth * kHeight * 2);
}
#endif

#ifdef RASTRIX_HAVE_PYTHON3_EMBED
// The interpreter, started once in isolation from the environment and
// with its installation's home (a Python on PATH may be another
// installation, with no Pillow); the site directories it
// knows of, where the distribution's Pillow lives, are put on its path.
// Null when Pillow cannot be imported.
PyObject* pillow_decoder() {
  static PyObject* const decode = [] () -> PyObject* {
    PyConfig config;
    PyConfig_InitIsolatedConfig(&config);
    PyStatus status = PyConfig_SetBytesString(&config, &config.home, RASTRIX_PYTHON_HOME);
    if (!PyStatus_Exception(status)) status = Py_InitializeFromConfig(&config);
    PyConfig_Clear(&config);
    if (PyStatus_Exception(status)) return nullptr;
    PyObject* globals = PyDict_New();
    PyDict_SetItemString(globals, "__builtins__", PyEval_GetBuiltins());
    PyObject* done = PyRun_String(
        "import site, sys\n"
        "for p in site.getsitepackages():\n"
        "    if p not in sys.path:\n"
        "        sys.path.append(p)\n"
        "from io import BytesIO\n"
        "from PIL import Image\n"
        "def decode(data):\n"
        "    picture = Image.open(BytesIO(data))\n"
        "    picture.load()\n"
        "    return picture\n",
        Py_file_input, globals, globals);
    PyObject* function = done ? PyDict_GetItemString(globals, "decode") : nullptr;
    Py_XINCREF(function);
    if (done == nullptr) PyErr_Clear();
    Py_XDECREF(done);
    Py_DECREF(globals);
    return function;
  }();
  return decode;
}

void pillow_pcx8(benchmark::State& st, Scene scene) {
  PyObject* decode = pillow_decoder();
  if (decode == nullptr) {
    st.SkipWithError("Pillow cannot be imported by the embedded Python");
    return;
  }
  const std::vector<uint8_t>& file = picture_file(scene);
  PyObject* data = PyBytes_FromStringAndSize(reinterpret_cast<const char*>(file.data()),
                                             static_cast<Py_ssize_t>(file.size()));
  for (auto _ : st) {
    PyObject* picture = PyObject_CallOneArg(decode, data);
    if (picture == nullptr) {
      PyErr_Clear();
      st.SkipWithError("Pillow could not decode the picture");
      break;
    }
    Py_DECREF(picture);
  }
  Py_DECREF(data);
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * kWidth * kHeight * 2);
}
#endif

void rastrix_reduce_colors(benchmark::State& st, int count) {
  constexpr int kW = 320, kH = 200;
  rx_set_dc(rx_headless_screen(640, 480, 8));
  rx_init();
  rx_set_buffer_depth(8);
  const int32_t buffer = rx_buffer_create(kW, kH);
  rx_buffer_select(buffer);
  Lcg lcg{7};
  std::vector<uint8_t> pixels(kW * kH), palette(768), work(768);
  for (uint8_t& p : pixels) p = static_cast<uint8_t>(lcg.next() >> 24);
  for (uint8_t& c : palette) c = static_cast<uint8_t>(lcg.next() >> 24);
  for (auto _ : st) {
    st.PauseTiming();
    for (int y = 0; y < kH; ++y) std::memcpy(rx::active_row(y), &pixels[y * kW], kW);
    work = palette;
    st.ResumeTiming();
    rx_reduce_colors(0, count, work.data());
  }
  rx_buffer_release();
  rx_buffer_free(buffer);
  rx_shutdown();
}

void register_pcx_benchmarks() {
  for (int count : {236, 16})
    benchmark::RegisterBenchmark(("reduce_colors_256_to/" + std::to_string(count)).c_str(),
                                 rastrix_reduce_colors, count)
        ->Unit(benchmark::kMicrosecond);
  struct Workload {
    const char* name;
    Scene scene;
  };
  for (const Workload& w : {Workload{"pcx565_sprites", Scene::kSprites},
                            Workload{"pcx565_photo", Scene::kPhoto},
                            Workload{"pcx565_dithered", Scene::kDithered}}) {
    const std::string base = w.name;
    benchmark::RegisterBenchmark((base + "/rastrix").c_str(), rastrix_pcx565, w.scene);
#ifdef RASTRIX_HAVE_SDL2_IMAGE
    benchmark::RegisterBenchmark((base + "/sdl2_image").c_str(), sdl_image_pcx565, w.scene);
#endif
#ifdef RASTRIX_HAVE_ALLEGRO
    benchmark::RegisterBenchmark((base + "/allegro4").c_str(), allegro_pcx565, w.scene);
#endif
#ifdef RASTRIX_HAVE_PYTHON3_EMBED
    benchmark::RegisterBenchmark((base + "/pillow").c_str(), pillow_pcx8, w.scene);
#endif
  }
}

const int registered = (register_pcx_benchmarks(), 0);

}  // namespace
