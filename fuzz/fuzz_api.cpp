// Call sequences: random runs of every operation of the interface with
// random arguments, on headless screens of every depth and buffers of
// every depth. Caller memory is sized exactly what the call is told, so
// the address sanitizer sees any access past it.
//
// Input: a 16-bit length, that many bytes of calls (an operation byte,
// then its arguments), then the bytes of the one file the picture and
// flic calls read, from the file system or from the InputBuffer.
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "core/cpu_features.h"
#include "fuzz_input.h"
#include "platform/headless_controls.h"
#include "platform/platform.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int32_t kScreenBits[6] = {4, 8, 15, 16, 24, 32};
constexpr int32_t kBufferBits[4] = {8, 16, 24, 32};
constexpr int32_t kExtremes[8] = {0, -1, 1, RX_MAX_BUFFER_SIDE, RX_MAX_BUFFER_SIDE + 1,
                                  INT_MIN, INT_MAX, 640};
constexpr int64_t kMaxPixels = 640 * 480;  // keeps one call's memory and time small
constexpr size_t kPatternBytes = 4096;    // caller memory repeats its first bytes
constexpr uint32_t kClockStep = 1u << 20;  // virtual ms per clock read: waits end at once
constexpr int kFlics = 4;
constexpr int kPaletteBytes = 768;

class Calls {
 public:
  Calls(const uint8_t* data, size_t size) : in_(data, size) {}

  uint8_t byte() { return in_.byte(); }
  bool more() const { return in_.rest_size() > 0; }

  // A side: mostly small, sometimes larger, sometimes an extreme.
  int32_t side() {
    uint8_t b = byte();
    switch (b >> 6) {
      case 0: return 1 + (b & 63);
      case 1: return 1 + byte() * 4;
      case 2: return kExtremes[b & 7];
      default: return static_cast<int8_t>(byte());
    }
  }
  // A coordinate: small signed, 16-bit, or an extreme.
  int32_t coordinate() {
    uint8_t b = byte();
    switch (b >> 6) {
      case 0: return static_cast<int8_t>(b << 2) / 4;
      case 1: return static_cast<int16_t>(in_.u16());
      case 2: return kExtremes[b & 7];
      default: return static_cast<int32_t>(in_.u16() | uint32_t{in_.u16()} << 16);
    }
  }
  // Width and height whose product stays small when both are valid.
  void area(int32_t& w, int32_t& h) {
    w = side(), h = side();
    if (w > 0 && h > 0 && int64_t{w} * h > kMaxPixels) h = static_cast<int32_t>(kMaxPixels / w);
    if (h == 0) h = 1;
  }

 private:
  rx::fuzz::Input in_;
};

// What the caller owns during one sequence: memory handed to the library
// stays alive until the end; everything is given back at the end.
class Caller {
 public:
  Caller(const uint8_t* file, size_t size) : file_bytes_(file, file + size), file_(file, size) {}
  ~Caller() {
    for (FlicContext& c : opened_) rx_flic_close(&c);
    rx_set_input_buffer(nullptr, 0);
    rx_set_decode_buffer(nullptr, 0);
    for (int32_t h = 0; h < 32; ++h) rx_buffer_free(h);
    rx_shutdown();
    for (RxPalette p : palettes_) rx_delete_palette(p);
    rx::fuzz::forget_calls();
  }
  Caller(const Caller&) = delete;
  Caller& operator=(const Caller&) = delete;

  void run(Calls& c);

 private:
  // Exactly n bytes the caller keeps until the sequence ends, filled from
  // one seed byte: a pattern with zero (clear) bytes in it.
  uint8_t* memory(size_t n, Calls& c) {
    kept_.emplace_back(n);
    uint8_t* m = kept_.back().data();
    uint32_t v = c.byte() * 2654435761u;
    const size_t pattern = std::min(n, kPatternBytes);
    for (size_t i = 0; i < pattern; ++i) {
      v = v * 1103515245u + 12345u;
      m[i] = (v >> 29) == 0 ? 0 : static_cast<uint8_t>(v >> 16);
    }
    for (size_t done = pattern; done < n; done += std::min(done, n - done))
      std::memcpy(m + done, m, std::min(done, n - done));
    return m;
  }
  const char* file_name(Calls& c) {
    uint8_t b = c.byte();
    if (b == 0xFF) return nullptr;
    if (b == 0xFE) return "/nonexistent/rastrix-fuzz";
    return file_.path();
  }
  RxDC dc(Calls& c) {
    uint8_t b = c.byte();
    if (dcs_.empty() || b == 0xFF) return nullptr;
    return dcs_[b % dcs_.size()];
  }
  RxPalette palette(Calls& c) {
    uint8_t b = c.byte();
    if (palettes_.empty() || b == 0xFF) return nullptr;
    return palettes_[b % palettes_.size()];
  }
  FlicContext& flic(Calls& c) { return flics_[c.byte() % kFlics]; }
  int32_t flags(Calls& c) { return c.byte() & 0x1F; }
  void screen(Calls& c);
  void block_calls(uint8_t op, Calls& c);
  void picture_calls(uint8_t op, Calls& c);
  void flic_calls(uint8_t op, Calls& c);

  Bytes file_bytes_;
  rx::fuzz::MemoryFile file_;
  std::vector<Bytes> kept_;
  std::vector<RxDC> dcs_;
  std::vector<RxPalette> palettes_;
  FlicContext flics_[kFlics] = {};
  std::vector<FlicContext> opened_;  // as rx_flic_open filled them, to close at the end
};

void Caller::screen(Calls& c) {
  int32_t w = 0, h = 0;
  c.area(w, h);
  uint8_t b = c.byte();
  int32_t bits = b < 0xF0 ? kScreenBits[b % 6] : static_cast<int8_t>(c.byte());
  RxDC d = rx_headless_screen(w, h, bits);
  rx::platform::set_virtual_clock(true, 0, kClockStep);
  if (d != nullptr) dcs_.push_back(d);
}

void Caller::block_calls(uint8_t op, Calls& c) {
  int32_t w = 0, h = 0;
  c.area(w, h);
  uint32_t size = rx_block_size(w, h);
  if (size > kMaxPixels * 3) return;
  uint8_t* block = c.byte() == 0xFF ? nullptr : memory(size, c);
  if (op == 0)
    rx_capture_block(block, w, h);
  else if (op == 1)
    rx_draw_block(block, w, h);
  else
    rx_draw_block_mirrored(block, w, h);
}

void Caller::picture_calls(uint8_t op, Calls& c) {
  switch (op) {
    case 0: rx_show_pcx(file_name(c), flags(c)); break;
    case 1: rx_show_jpeg(file_name(c), flags(c)); break;
    case 2: {
      JpegInfo info{};
      if (c.byte() & 1) {
        rx_jpeg_header(file_name(c), &info);
      } else {
        uint8_t* raw = reinterpret_cast<uint8_t*>(&info);
        for (size_t i = 0; i < sizeof info; ++i) raw[i] = c.byte();
      }
      int32_t size = rx_jpeg_buffer_size(&info);
      if (size > 0 && size <= kMaxPixels * 4 && (c.byte() & 1))
        rx_set_decode_buffer(memory(static_cast<size_t>(size), c), size);
      break;
    }
    case 3: {  // the file in caller memory, whole or cut
      size_t n = file_bytes_.size();
      if (c.byte() & 1) n = std::min<size_t>(n, c.byte() * 16u);
      uint8_t* m = memory(n, c);
      std::copy(file_bytes_.begin(), file_bytes_.begin() + static_cast<ptrdiff_t>(n), m);
      rx_set_input_buffer(m, static_cast<int32_t>(n));
      break;
    }
    case 4: {
      int32_t n = c.side();
      rx_set_input_buffer(n > 0 && n <= kMaxPixels ? memory(static_cast<size_t>(n), c) : nullptr, n);
      break;
    }
    case 5: {
      int32_t n = c.side();
      rx_set_decode_buffer(n > 0 && n <= kMaxPixels ? memory(static_cast<size_t>(n), c) : nullptr,
                           n);
      break;
    }
    default: {
      int32_t start = c.coordinate(), count = c.coordinate();
      if (c.byte() & 1) start &= 0xFF, count &= 0x1FF;
      if (op == 6) {
        size_t n = count > 0 && count <= 512 ? static_cast<size_t>(count) * 3 : 0;
        rx_set_palette_entries(start, count, c.byte() == 0xFF ? nullptr : memory(n, c));
      } else {
        rx_reduce_colors(start, count, c.byte() == 0xFF ? nullptr : memory(kPaletteBytes, c));
      }
    }
  }
}

void Caller::flic_calls(uint8_t op, Calls& c) {
  FlicContext& f = flic(c);
  switch (op) {
    case 0:
      if (rx_flic_open(file_name(c), &f) == 0) opened_.push_back(f);
      break;
    case 1: rx_flic_play(&f, static_cast<int8_t>(c.byte()), flags(c) | RX_FLIC_NO_DELAY); break;
    case 2: rx_flic_skip(&f, static_cast<int8_t>(c.byte())); break;
    case 3: rx_flic_close(&f); break;
    default: {  // the caller scribbles on its context
      uint8_t* raw = reinterpret_cast<uint8_t*>(&f);
      raw[c.byte() % sizeof f] = c.byte();
    }
  }
}

void Caller::run(Calls& c) {
  while (c.more()) {
    uint8_t op = c.byte();
    switch (op % 40) {
      case 0: rx_init(); break;
      case 1: rx_shutdown(); break;
      case 2: rx_set_dc(dc(c)); break;
      case 3: screen(c); break;
      case 4: rx_release_dc(dc(c)); break;
      case 5: {
        uint8_t b = c.byte();
        rx_set_buffer_depth(b < 0xF0 ? kBufferBits[b & 3] : static_cast<int8_t>(c.byte()));
        break;
      }
      case 6: {
        int32_t w = 0, h = 0;
        c.area(w, h);
        rx_buffer_create(w, h);
        break;
      }
      case 7: rx_buffer_select(c.coordinate()); break;
      case 8: rx_buffer_release(); break;
      case 9: rx_buffer_free(c.coordinate()); break;
      case 10: {
        int32_t v[6];
        for (int32_t& x : v) x = c.coordinate();
        rx_buffer_copy(v[0], v[1], v[2], v[3], v[4], v[5], c.byte() % 34, c.byte() % 34);
        break;
      }
      case 11: {
        int32_t v[6];
        for (int32_t& x : v) x = c.coordinate();
        rx_buffer_paste(v[0], v[1], v[2], v[3], v[4], v[5]);
        break;
      }
      case 12: {
        int32_t x = c.coordinate();
        rx_move_to(x, c.coordinate());
        break;
      }
      case 13: {
        int32_t r = 0, g = 0, b = 0;
        uint32_t v = rx_pack_rgb(c.coordinate(), c.coordinate(), c.coordinate());
        rx_unpack_rgb(v ^ c.byte(), &r, c.byte() & 1 ? &g : nullptr, &b);
        break;
      }
      case 14: case 15: case 16: block_calls(op % 40 - 14, c); break;
      case 17: palettes_.push_back(rx_make_palette()); break;
      case 18: rx_realize_palette(palette(c)); break;
      case 19: rx_delete_palette(palette(c)); break;
      case 20: case 21: case 22: case 23: case 24: case 25: case 26: case 27:
        picture_calls(op % 40 - 20, c);
        break;
      case 28: case 29: case 30: case 31: case 32: flic_calls(op % 40 - 28, c); break;
      case 33: rx_wait_ticks(c.byte()); break;
      case 34: rx_clock(); rx_display_bits(); break;
      case 35: {
        int32_t w = 0, h = 0;
        c.area(w, h);
        uint8_t b = c.byte();
        int32_t bits = b == 0xFF ? 0 : kScreenBits[b % 6];
        if (c.byte() & 1)
          rx_find_display_mode(w, h, bits);
        else
          rx_set_display_mode(w, h, bits, c.byte() & 1);
        break;
      }
      case 36: {
        uint8_t rgb[3];
        int32_t x = c.coordinate();
        rx_screen_pixel(x, c.coordinate(), rgb);
        break;
      }
      case 37: rx::set_cpu_level(static_cast<rx::CpuLevel>(c.byte() % rx::kCpuLevelCount)); break;
      case 38: rx_cpu_level_name(static_cast<int8_t>(c.byte())); break;
      default: rx_set_input_buffer(nullptr, 0); break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t calls = size >= 2 ? std::min<size_t>(size - 2, data[0] | data[1] << 8) : 0;
  const uint8_t* file = data + 2 + calls;
  // Each sequence starts from the same state, whatever the last one left.
  rx_set_dc(rx_headless_screen(64, 48, 32));
  rx::platform::set_virtual_clock(true, 0, kClockStep);
  rx::choose_cpu_level_from_environment();
  rx_init();
  Caller caller(file, size >= 2 ? size - 2 - calls : 0);
  Calls c(data + 2, calls);
  caller.run(c);
  return 0;
}
