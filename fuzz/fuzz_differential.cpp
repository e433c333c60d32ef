// Ways of decoding that must agree: a picture or flic read from a file
// through a tiny InputBuffer (1 to 300 bytes) draws what the same bytes
// draw from memory, and the portable routines draw what the level in use
// (the processor's best unless RASTRIX_CPU caps it) draws. Any difference
// in results, pixels or palette aborts.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/cpu_features.h"
#include "core/state.h"
#include "fuzz_input.h"

namespace {

using Bytes = std::vector<uint8_t>;

enum class Kind { kPcx, kJpeg, kFlic, kOther };

Kind kind_of(const uint8_t* p, size_t n) {
  if (n >= 1 && p[0] == 0x0A) return Kind::kPcx;
  if (n >= 2 && p[0] == 0xFF && p[1] == 0xD8) return Kind::kJpeg;
  if (n >= 6 && (p[4] == 0x11 || p[4] == 0x12) && p[5] == 0xAF) return Kind::kFlic;
  return Kind::kOther;
}

// The choices of one input, shared by every way it is decoded.
struct Choices {
  int32_t bits, width, height, x, y, flags, frames, input_size;
};

// What a decode left: the results of its calls, the buffer's pixels and,
// at 8 bits, the palette and its map.
struct Outcome {
  std::vector<int32_t> results;
  Bytes pixels;
  Bytes palette;
  bool operator==(const Outcome&) const = default;
};

Outcome snapshot(std::vector<int32_t> results) {
  const rx::LibraryState& s = rx::state();
  Outcome o{std::move(results), {}, {}};
  const size_t row = static_cast<size_t>(s.active_width) * static_cast<size_t>(s.active_bits / 8);
  o.pixels.reserve(row * static_cast<size_t>(s.active_height));  // one allocation, not a growing one
  for (int32_t y = 0; y < s.active_height; ++y)
    o.pixels.insert(o.pixels.end(), rx::active_row(y), rx::active_row(y) + row);
  if (s.active_bits == 8) {
    const auto* map = reinterpret_cast<const uint8_t*>(&s.palette_map);
    const auto* log = reinterpret_cast<const uint8_t*>(&s.log_palette);
    o.palette.assign(map, map + sizeof s.palette_map);
    o.palette.insert(o.palette.end(), log, log + sizeof s.log_palette);
  }
  return o;
}

// One decode: from memory (input_size 0) or from the file through an
// InputBuffer of input_size bytes, at the given level.
Outcome decode(Kind kind, const Bytes& bytes, const char* path, const Choices& c,
               int32_t input_size, rx::CpuLevel level) {
  rx::fuzz::Session session(c.bits, c.width, c.height);
  rx::set_cpu_level(level);
  rx_move_to(c.x, c.y);
  Bytes input = input_size == 0 ? bytes : Bytes(static_cast<size_t>(input_size));
  rx_set_input_buffer(input.data(), static_cast<int32_t>(input.size()));
  const int32_t memory = input_size == 0 ? RX_SHOW_FROM_MEMORY : 0;
  std::vector<int32_t> results;
  if (kind == Kind::kPcx) {
    results.push_back(rx_show_pcx(path, c.flags | memory));
  } else if (kind == Kind::kJpeg) {
    results.push_back(rx_show_jpeg(path, c.flags | memory));
  } else {
    FlicContext flic{};
    results.push_back(rx_flic_open(path, &flic));
    if (results.back() == 0) {
      const int32_t flags = RX_FLIC_NO_DELAY | memory | (c.flags & ~RX_SHOW_FROM_MEMORY);
      results.push_back(rx_flic_play(&flic, 1, flags));
      results.push_back(rx_flic_play(&flic, c.frames, flags));
      results.push_back(rx_flic_skip(&flic, -1));
      results.push_back(rx_flic_play(&flic, 2, flags));
      rx_flic_close(&flic);
    }
  }
  Outcome o = snapshot(std::move(results));
  rx_set_input_buffer(nullptr, 0);
  return o;
}

void expect_same(const Outcome& want, const Outcome& got, const char* what) {
  if (want == got) return;
  std::fprintf(stderr, "differential: %s differs (results %zu/%zu, first %d/%d)\n", what,
               want.results.size(), got.results.size(),
               want.results.empty() ? 0 : want.results[0], got.results.empty() ? 0 : got.results[0]);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rx::fuzz::Input in(data, size);
  Choices c{};
  c.bits = rx::fuzz::pick_depth(in.byte());
  uint8_t mode = in.byte();
  c.width = 1 + in.byte(), c.height = 1 + in.byte();
  c.x = static_cast<int8_t>(in.byte()), c.y = static_cast<int8_t>(in.byte());
  c.input_size = 1 + in.byte() + (mode & 0x40 ? 44 : 0);  // 1 .. 300
  c.frames = static_cast<int8_t>(in.byte()) % 8;
  if (c.frames == 0) c.frames = -1;
  c.flags = mode & (RX_SHOW_KEEP_PALETTE | RX_SHOW_AT_POSITION | RX_SHOW_NO_REDUCE |
                    RX_FLIC_KEEP_PALETTE);
  Bytes bytes(in.rest(), in.rest() + in.rest_size());
  Kind kind = kind_of(bytes.data(), bytes.size());
  if (kind == Kind::kOther || bytes.empty()) return 0;
  rx::fuzz::MemoryFile file(bytes.data(), bytes.size());

  rx::choose_cpu_level_from_environment();
  const rx::CpuLevel level = rx::cpu_level();
  const Outcome from_memory = decode(kind, bytes, file.path(), c, 0, level);
  expect_same(from_memory, decode(kind, bytes, file.path(), c, c.input_size, level),
              "file through a small InputBuffer against memory");
  if (level != rx::CpuLevel::kPortable)
    expect_same(from_memory, decode(kind, bytes, file.path(), c, 0, rx::CpuLevel::kPortable),
                "portable routines against the level in use");
  return 0;
}
