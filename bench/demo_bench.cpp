// One frame of the fish tank with 12 fish, 16-bit, pasted to a 16-bit
// headless screen: the frame built with the library's copies and block
// draws against the same frame built from SDL2 surface blits with a colour key (plain and RLE), from
// Allegro 4 sprites (plain and RLE) and against a floor of plain memcpy
// over the bytes a step moves. Beside them, the demo's step as the demo
// runs it, its own school swimming on from frame to frame, on desktops of
// 16 bits and also of 8 and 32, where every pasted pixel is converted.
#ifdef RASTRIX_HAVE_DEMO
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/pixel_format.h"
#include "core/state.h"
#include "page/tank_frame.h"
#include "school.h"
#include "step.h"
#include "tank.h"
#ifdef RASTRIX_HAVE_SDL2
#include <SDL.h>
#endif
#include "support/allegro_peer.h"

namespace {

using fishtank::Fish;
using fishtank::tank;

constexpr int kWidth = rx::bench::kTankWidth, kHeight = rx::bench::kTankHeight;

using rx::bench::compose_frame;
using rx::bench::tear_down_tank;

bool set_up_tank(std::string* why, int32_t desktop_bits = 16) {
  return rx::bench::set_up_tank(RASTRIX_DEMO_ASSETS, why, desktop_bits);
}

void BM_frame_rastrix(benchmark::State& state) {
  std::string why;
  if (!set_up_tank(&why)) {
    state.SkipWithError(why.c_str());
    tear_down_tank();
    return;
  }
  const std::vector<Fish> school = tank().school;
  for (auto _ : state) {
    compose_frame(school);
    benchmark::ClobberMemory();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
  tear_down_tank();
}
BENCHMARK(BM_frame_rastrix)->Name("frame_12fish/rastrix")->Unit(benchmark::kMicrosecond);

// The step as the demo runs it: its own seeded school (6 to 12 fish) swims
// on, turns and leaves the view from one frame to the next. A palette
// desktop gets the demo's realized palette, as the demo makes it.
void demo_step(benchmark::State& state, int32_t desktop_bits) {
  std::string why;
  if (!set_up_tank(&why, desktop_bits)) {
    state.SkipWithError(why.c_str());
    tear_down_tank();
    return;
  }
  RxPalette palette = rx_make_palette();
  rx_realize_palette(palette);
  tank().school.clear();
  fishtank::build_school();
  for (auto _ : state) {
    fishtank::animation_step();
    benchmark::ClobberMemory();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
  tear_down_tank();
  rx_delete_palette(palette);
}
void BM_demo_step_rastrix(benchmark::State& state) { demo_step(state, 16); }
void BM_demo_step_desktop8_rastrix(benchmark::State& state) { demo_step(state, 8); }
void BM_demo_step_desktop32_rastrix(benchmark::State& state) { demo_step(state, 32); }
BENCHMARK(BM_demo_step_rastrix)->Name("demo_step/rastrix")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_demo_step_desktop8_rastrix)
    ->Name("demo_step_desktop8/rastrix")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_demo_step_desktop32_rastrix)
    ->Name("demo_step_desktop32/rastrix")
    ->Unit(benchmark::kMicrosecond);

// The pictures the peers draw: read once from the demo's loaded buffers.
struct Scene {
  std::vector<uint16_t> background, wheel;  // top row first
  struct Sprite {
    int w, h;
    std::vector<uint16_t> plain, mirrored;  // top row first; plain as shown
    bool flipped;                           // shown mirrored from the stored block
  };
  std::vector<Sprite> sprites;  // one per fish, in school order
  std::vector<Fish> school;
};

bool read_scene(Scene* out, std::string* why) {
  if (!set_up_tank(why)) return false;
  fishtank::Tank& t = tank();
  auto read = [](int handle, int w, int h) {
    std::vector<uint16_t> px(static_cast<size_t>(w) * h);
    rx_buffer_select(handle);
    for (int y = 0; y < h; ++y)
      std::memcpy(&px[static_cast<size_t>(y) * w], rx::active_row(y), static_cast<size_t>(w) * 2);
    return px;
  };
  out->background = read(t.background, kWidth, kHeight);
  out->wheel = read(t.wheel, fishtank::kWheelWidth, fishtank::kWheelHeight);
  out->school = t.school;
  for (const Fish& f : t.school) {
    const fishtank::FishKind& k = t.kinds[f.kind];
    Scene::Sprite s{k.width[f.frame], k.height[f.frame], {}, {}, k.facing != f.direction};
    const auto* block = reinterpret_cast<const uint16_t*>(k.block[f.frame].data());
    s.plain.resize(static_cast<size_t>(s.w) * s.h);
    s.mirrored.resize(s.plain.size());
    for (int r = 0; r < s.h; ++r)  // blocks are stored bottom row first
      for (int c = 0; c < s.w; ++c) {
        uint16_t v = block[static_cast<size_t>(s.h - 1 - r) * s.w + c];
        s.plain[static_cast<size_t>(r) * s.w + c] = v;
        s.mirrored[static_cast<size_t>(r) * s.w + (s.w - 1 - c)] = v;
      }
    if (s.flipped) std::swap(s.plain, s.mirrored);
    out->sprites.push_back(std::move(s));
  }
  tear_down_tank();
  return true;
}

// The bubble as the step draws it, on a top-down 16-bit frame.
void brighten_bubble(uint16_t* frame, int pitch_pixels, int x, int y) {
  const auto lift = [](uint8_t channel) {
    return static_cast<uint8_t>(fishtank::brighten(channel));
  };
  for (int r = 0; r < fishtank::kBubbleSide; ++r)
    for (int c = 0; c < fishtank::kBubbleSide; ++c) {
      if (!fishtank::kBubbleMask[r * fishtank::kBubbleSide + c]) continue;
      uint16_t& v = frame[static_cast<size_t>(y - r) * pitch_pixels + x + c];
      const rx::Rgb rgb = rx::unpack_565(v);
      v = rx::pack_565({lift(rgb.red), lift(rgb.green), lift(rgb.blue)});
    }
}

void BM_frame_memcpy_floor(benchmark::State& state) {
  Scene scene;
  std::string why;
  if (!read_scene(&scene, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  std::vector<uint16_t> frame(kWidth * kHeight), screen(kWidth * kHeight);
  for (auto _ : state) {
    std::memcpy(frame.data(), scene.background.data(), frame.size() * 2);
    for (int y = 0; y < fishtank::kWheelHeight; ++y)
      std::memcpy(&frame[static_cast<size_t>(327 + y) * kWidth + 454],
                  &scene.wheel[static_cast<size_t>(y) * fishtank::kWheelWidth], fishtank::kWheelWidth * 2);
    for (size_t i = 0; i < scene.school.size(); ++i) {
      const Scene::Sprite& s = scene.sprites[i];
      const Fish& f = scene.school[i];
      int x0 = std::max(f.x, 0), x1 = std::min(f.x + s.w, kWidth);
      for (int r = 0; r < s.h && x1 > x0; ++r) {
        int y = f.y - s.h + 1 + r;
        if (y < 0 || y >= kHeight) continue;
        std::memcpy(&frame[static_cast<size_t>(y) * kWidth + x0],
                    &s.plain[static_cast<size_t>(r) * s.w + (x0 - f.x)], static_cast<size_t>(x1 - x0) * 2);
      }
    }
    std::memcpy(screen.data(), frame.data(), frame.size() * 2);
    benchmark::ClobberMemory();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
}
BENCHMARK(BM_frame_memcpy_floor)->Name("frame_12fish/memcpy_floor")->Unit(benchmark::kMicrosecond);

#ifdef RASTRIX_HAVE_SDL2
SDL_Surface* surface_of(const std::vector<uint16_t>& px, int w, int h) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
  for (int y = 0; y < h; ++y)
    std::memcpy(static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch,
                &px[static_cast<size_t>(y) * w], static_cast<size_t>(w) * 2);
  return s;
}

void frame_sdl2(benchmark::State& state, bool rle) {
  Scene scene;
  std::string why;
  if (!read_scene(&scene, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  SDL_Surface* background = surface_of(scene.background, kWidth, kHeight);
  SDL_Surface* wheel = surface_of(scene.wheel, fishtank::kWheelWidth, fishtank::kWheelHeight);
  SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
  SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
  std::vector<SDL_Surface*> sprites;
  for (const Scene::Sprite& s : scene.sprites) {
    SDL_Surface* sp = surface_of(s.plain, s.w, s.h);
    SDL_SetColorKey(sp, SDL_TRUE, 0);  // black is transparent
    if (rle) SDL_SetSurfaceRLE(sp, 1);
    sprites.push_back(sp);
  }
  SDL_Rect wheel_at{454, 327, fishtank::kWheelWidth, fishtank::kWheelHeight};
  for (auto _ : state) {
    if (rle)
      std::memcpy(frame->pixels, background->pixels, static_cast<size_t>(frame->pitch) * kHeight);
    else
      SDL_BlitSurface(background, nullptr, frame, nullptr);
    SDL_BlitSurface(wheel, nullptr, frame, &wheel_at);
    SDL_LockSurface(frame);
    brighten_bubble(static_cast<uint16_t*>(frame->pixels), frame->pitch / 2, 458, 352);
    SDL_UnlockSurface(frame);
    for (size_t i = 0; i < sprites.size(); ++i) {
      const Fish& f = scene.school[i];
      SDL_Rect at{f.x, f.y - sprites[i]->h + 1, sprites[i]->w, sprites[i]->h};
      SDL_BlitSurface(sprites[i], nullptr, frame, &at);
    }
    SDL_BlitSurface(frame, nullptr, screen, nullptr);
    benchmark::ClobberMemory();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
  for (SDL_Surface* s : sprites) SDL_FreeSurface(s);
  for (SDL_Surface* s : {background, wheel, frame, screen}) SDL_FreeSurface(s);
}

void BM_frame_sdl2_colorkey(benchmark::State& state) { frame_sdl2(state, false); }
void BM_frame_sdl2_rle(benchmark::State& state) { frame_sdl2(state, true); }
BENCHMARK(BM_frame_sdl2_colorkey)->Name("frame_12fish/sdl2_colorkey")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_frame_sdl2_rle)->Name("frame_12fish/sdl2_rle")->Unit(benchmark::kMicrosecond);
#endif

#ifdef RASTRIX_HAVE_ALLEGRO
// A 16-bit memory bitmap of the pixels; Allegro's transparent colour in
// hi-colour sprites is magenta, so clear pixels become that when keyed.
BITMAP* allegro_bitmap_of(const std::vector<uint16_t>& px, int w, int h, bool keyed) {
  BITMAP* b = create_bitmap_ex(16, w, h);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<uint16_t*>(b->line[y]);
    for (int x = 0; x < w; ++x) {
      const uint16_t v = px[static_cast<size_t>(y) * w + x];
      line[x] = keyed && v == 0 ? MASK_COLOR_16 : v;
    }
  }
  return b;
}

// RLE sprites are made from the picture as shown (pre-flipped once, here);
// plain sprites are drawn from the stored picture, flipped while drawing.
void frame_allegro(benchmark::State& state, bool rle) {
  Scene scene;
  std::string why;
  if (!read_scene(&scene, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  if (!rx::bench::start_allegro()) {
    state.SkipWithError("Allegro could not be installed");
    return;
  }
  set_color_depth(16);
  BITMAP* background = allegro_bitmap_of(scene.background, kWidth, kHeight, false);
  BITMAP* wheel = allegro_bitmap_of(scene.wheel, fishtank::kWheelWidth, fishtank::kWheelHeight, false);
  BITMAP* frame = create_bitmap_ex(16, kWidth, kHeight);
  BITMAP* shown = create_bitmap_ex(16, kWidth, kHeight);
  std::vector<BITMAP*> sprites;
  std::vector<RLE_SPRITE*> rle_sprites;
  for (const Scene::Sprite& s : scene.sprites) {
    if (rle) {
      BITMAP* b = allegro_bitmap_of(s.plain, s.w, s.h, true);
      rle_sprites.push_back(get_rle_sprite(b));
      destroy_bitmap(b);
    } else {
      sprites.push_back(allegro_bitmap_of(s.flipped ? s.mirrored : s.plain, s.w, s.h, true));
    }
  }
  const int pitch_pixels = static_cast<int>((frame->line[1] - frame->line[0]) / 2);
  for (auto _ : state) {
    blit(background, frame, 0, 0, 0, 0, kWidth, kHeight);
    blit(wheel, frame, 0, 0, 454, 327, fishtank::kWheelWidth, fishtank::kWheelHeight);
    brighten_bubble(reinterpret_cast<uint16_t*>(frame->line[0]), pitch_pixels, 458, 352);
    for (size_t i = 0; i < scene.sprites.size(); ++i) {
      const Scene::Sprite& s = scene.sprites[i];
      const Fish& f = scene.school[i];
      const int top = f.y - s.h + 1;
      if (rle)
        draw_rle_sprite(frame, rle_sprites[i], f.x, top);
      else if (s.flipped)
        draw_sprite_h_flip(frame, sprites[i], f.x, top);
      else
        draw_sprite(frame, sprites[i], f.x, top);
    }
    blit(frame, shown, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
  for (RLE_SPRITE* r : rle_sprites) destroy_rle_sprite(r);
  for (BITMAP* b : sprites) destroy_bitmap(b);
  for (BITMAP* b : {background, wheel, frame, shown}) destroy_bitmap(b);
}

void BM_frame_allegro_rle(benchmark::State& state) { frame_allegro(state, true); }
void BM_frame_allegro_sprite(benchmark::State& state) { frame_allegro(state, false); }
BENCHMARK(BM_frame_allegro_rle)->Name("frame_12fish/allegro_rle")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_frame_allegro_sprite)->Name("frame_12fish/allegro_sprite")->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
#endif  // RASTRIX_HAVE_DEMO
