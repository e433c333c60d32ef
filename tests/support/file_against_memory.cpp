#include "support/file_against_memory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>

#include <gtest/gtest.h>

#include "support/headless_fixture.h"
#include "writers/flic_writer.h"
#include "writers/pcx_writer.h"

namespace rx::support {
namespace {

namespace fs = std::filesystem;

// Frames past this many are not played: no corpus flic comes near.
constexpr int32_t kMaxFrames = 5000;
// The choice bytes in front of a kept fuzz finding: depth, mode, width,
// height, x, y, and two more in the JPEG, flic and differential targets.
constexpr size_t kFuzzChoices = 8;
constexpr size_t kPcxFuzzChoices = 6;

const char* folder_of(Format format) {
  switch (format) {
    case Format::kPcx: return "pcx";
    case Format::kJpeg: return "jpeg";
    default: return "flic";
  }
}

bool is_format(Format format, const std::vector<uint8_t>& b) {
  switch (format) {
    case Format::kPcx: return !b.empty() && b[0] == 0x0A;
    case Format::kJpeg: return b.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8;
    default: return b.size() >= 6 && (b[4] == 0x11 || b[4] == 0x12) && b[5] == 0xAF;
  }
}

std::vector<uint8_t> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The regular files of a folder, by name, so runs are repeatable.
std::vector<fs::path> files_in(const fs::path& dir) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.is_regular_file()) out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

// Copies of a sound file cut early, midway and one byte short:
// truncated data is where readers' look-ahead shows.
std::vector<size_t> cuts_of(size_t n) {
  std::vector<size_t> cuts{134, n / 10, n / 2, n - 1};
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::erase_if(cuts, [n](size_t c) { return c == 0 || c >= n; });
  return cuts;
}

void add_at_depths(std::vector<Sample>& out, const std::string& name,
                   const std::vector<uint8_t>& bytes, const std::vector<int32_t>& depths) {
  for (int32_t bits : depths) {
    Sample s;
    s.name = name;
    s.bytes = bytes;
    s.bits = bits;
    out.push_back(std::move(s));
  }
}

// A differential fuzz finding with the choices it was found with (see
// fuzz/fuzz_differential.cpp): depth, mode, buffer size, position.
Sample with_fuzz_choices(const std::string& name, const std::vector<uint8_t>& input) {
  constexpr int32_t kDepths[4] = {8, 16, 24, 32};
  Sample s;
  s.name = name + " (its own choices)";
  s.bits = kDepths[input[0] & 3];
  s.flags = input[1] & (RX_SHOW_KEEP_PALETTE | RX_SHOW_AT_POSITION | RX_SHOW_NO_REDUCE |
                        RX_FLIC_KEEP_PALETTE);
  s.width = 1 + input[2];
  s.height = 1 + input[3];
  s.x = static_cast<int8_t>(input[4]);
  s.y = static_cast<int8_t>(input[5]);
  s.bytes.assign(input.begin() + kFuzzChoices, input.end());
  return s;
}

// The kept findings of the fuzz targets that read this format, without
// their choice bytes.
void add_fuzz_findings(std::vector<Sample>& out, Format format,
                       const std::vector<int32_t>& depths) {
  const char* source = std::getenv("RASTRIX_SOURCE_DIR");
  if (source == nullptr) return;
  const fs::path regressions = fs::path(source) / "fuzz/regressions";
  const size_t choices = format == Format::kPcx ? kPcxFuzzChoices : kFuzzChoices;
  for (const fs::path& p : files_in(regressions / folder_of(format))) {
    std::vector<uint8_t> input = read_file(p);
    if (input.size() <= choices) continue;
    add_at_depths(out, "fuzz " + p.filename().string(),
                  std::vector<uint8_t>(input.begin() + choices, input.end()), depths);
  }
  for (const fs::path& p : files_in(regressions / "differential")) {
    std::vector<uint8_t> input = read_file(p);
    if (input.size() <= kFuzzChoices) continue;
    Sample own = with_fuzz_choices("fuzz " + p.filename().string(), input);
    if (!is_format(format, own.bytes)) continue;
    add_at_depths(out, "fuzz " + p.filename().string(), own.bytes, depths);
    out.push_back(std::move(own));
  }
}

// A digest of n bytes in four independent lanes of 8-byte words: every
// frame of every decode is summed up, so it must be quick.
uint64_t digest(const uint8_t* p, size_t n, uint64_t seed) {
  constexpr uint64_t kPrime = 0x100000001B3ull;
  constexpr size_t kLanes = 4, kStep = kLanes * sizeof(uint64_t);
  uint64_t lane[kLanes] = {seed, seed + 1, seed + 2, seed + 3};
  size_t i = 0;
  for (; i + kStep <= n; i += kStep) {
    for (size_t k = 0; k < kLanes; ++k) {
      uint64_t w;
      std::memcpy(&w, p + i + 8 * k, 8);
      lane[k] = (lane[k] ^ w) * kPrime;
    }
  }
  for (; i < n; ++i) lane[0] = (lane[0] ^ p[i]) * kPrime;
  return ((lane[0] * kPrime ^ lane[1]) * kPrime ^ lane[2]) * kPrime ^ lane[3];
}

uint64_t digest_of_buffer() {
  RxPixels px{};
  if (rx_buffer_pixels(&px) != 0) return 0;
  const uint64_t pixels = digest(px.pixels, static_cast<size_t>(px.bytes_per_row) * px.height, 1);
  return digest(reinterpret_cast<const uint8_t*>(&px.palette),
                sizeof px.palette + sizeof px.palette_map, pixels);
}

// The flic palette (its stored colours and the 8-bit remap table)
// outlives flics and libraries: a one-frame flic of 256 colours, played
// from memory into a 16-bit buffer (no costly reduction) and again with
// its palette kept (the identity remap table), sets it alike before
// every decode.
void reset_flic_palette() {
  static std::vector<uint8_t> file = [] {
    PalettePacket all;
    for (int k = 0; k < 256; ++k) all.rgb.insert(all.rgb.end(), {uint8_t(k), uint8_t(k), uint8_t(k)});
    return flic_file(true, 1, 1, 1, 0,
                     {frame_chunk({sub_chunk(RX_FLIC_COLOR_256, palette_body({all}))})});
  }();
  make_buffer(16, 4, 1);
  rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
  for (int32_t keep : {0, static_cast<int32_t>(RX_FLIC_KEEP_PALETTE)}) {
    FlicContext c{};
    c.position = 128;
    rx_flic_play(&c, 1, RX_SHOW_FROM_MEMORY | RX_FLIC_NO_DELAY | keep);
  }
  reset_library();
}

// So does the library palette: every decode starts from the same one,
// colours that pixels drawn before any palette arrives show.
void set_start_palette() {
  uint8_t rgb[256][3];
  for (int k = 0; k < 256; ++k) {
    rgb[k][0] = static_cast<uint8_t>(k);
    rgb[k][1] = static_cast<uint8_t>(255 - k);
    rgb[k][2] = static_cast<uint8_t>(k * 7);
  }
  rx_set_palette_entries(0, 256, rgb[0]);
}

void play_flic(const std::string& path, int32_t flags, Outcome& o) {
  FlicContext c{};
  o.results.push_back(rx_flic_open(path.c_str(), &c));
  if (o.results.back() != 0) return;
  flags |= RX_FLIC_NO_DELAY;
  for (int32_t k = 0; k < kMaxFrames; ++k) {
    o.results.push_back(rx_flic_play(&c, 1, flags));
    o.pictures.push_back(digest_of_buffer());
    if (o.results.back() == 0) break;
  }
  // The call after the last starts where that one stopped.
  o.results.push_back(rx_flic_play(&c, 1, flags));
  o.pictures.push_back(digest_of_buffer());
  o.results.push_back(rx_flic_skip(&c, -1));
  o.results.push_back(rx_flic_skip(&c, 1));
  o.results.push_back(rx_flic_play(&c, 1, flags));
  o.pictures.push_back(digest_of_buffer());
  rx_flic_close(&c);
}

// Pictures no encoder makes: a line of literals, then one that the word
// path starts on runs and whose data ends in empty runs (0xC0), read by
// the careful path. The word path may store ahead of its last token; what
// that leaves must not depend on where the InputBuffer was refilled.
void add_crafted_pcx(std::vector<Sample>& out, const std::vector<int32_t>& depths) {
  constexpr int kRunLength = 3;
  constexpr int kWordPathMargin = 64;  // the word path stops this short of a line's end
  for (int width : {72, 100, 140}) {
    PcxPicture p;
    p.width = width;
    p.height = 3;
    p.pixels.assign(static_cast<size_t>(width) * p.height, 0);
    std::vector<uint8_t> file = encode_pcx(p);
    file.resize(128);  // the header only; the data follows as made here
    for (int x = 1; x <= width; ++x) file.insert(file.end(), {0xC1, static_cast<uint8_t>(x)});
    const int runs = (width - kWordPathMargin + kRunLength - 1) / kRunLength;
    for (int n = 0; n < runs; ++n) file.insert(file.end(), {0xC0 | kRunLength, 0xAA});
    for (int n = 0; n < width - 8; ++n) file.insert(file.end(), {0xC0, 0x55});
    // No palette follows (it would be read as data): the start palette
    // is kept and the pixels are its indices.
    const size_t first = out.size();
    add_at_depths(out, "crafted " + std::to_string(width) + " x 3 ending in empty runs", file,
                  depths);
    for (size_t k = first; k < out.size(); ++k)
      out[k].flags = RX_SHOW_KEEP_PALETTE | RX_SHOW_NO_REDUCE;
  }
}

}  // namespace

std::vector<Sample> samples(Format format, const std::vector<int32_t>& depths) {
  std::vector<Sample> out;
  const char* shared = std::getenv("RASTRIX_SHARED_DIR");
  if (shared == nullptr) return out;
  const fs::path corpus = fs::path(shared) / "corpus/peers" / folder_of(format);
  for (const fs::path& p : files_in(corpus)) {
    const std::vector<uint8_t> bytes = read_file(p);
    add_at_depths(out, p.filename().string(), bytes, depths);
    for (size_t cut : cuts_of(bytes.size()))
      add_at_depths(out, p.filename().string() + " cut at " + std::to_string(cut),
                    std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut), depths);
  }
  if (out.empty()) return out;
  for (const fs::path& p : files_in(corpus / "hostile"))
    add_at_depths(out, "hostile/" + p.filename().string(), read_file(p), depths);
  if (format == Format::kPcx) add_crafted_pcx(out, depths);
  add_fuzz_findings(out, format, depths);
  return out;
}

std::vector<int32_t> input_sizes() {
  constexpr int32_t kLargest = 300;
  const char* choice = std::getenv("RASTRIX_INPUT_SIZES");
  const bool few = choice != nullptr && std::string_view(choice) == "few";
  std::vector<int32_t> sizes;
  for (int32_t n = 1; n <= kLargest; n += (few && n >= 16) ? 37 : 1) sizes.push_back(n);
  if (few) sizes.push_back(kLargest);
  sizes.push_back(0);
  return sizes;
}

Outcome decode(Format format, const Sample& sample, const std::string& path,
               int32_t input_size) {
  static const RxDC dc = rx_headless_screen(640, 480, 32);
  reset_library();
  rx_set_dc(dc);
  rx_init();
  if (format == Format::kFlic) {
    reset_flic_palette();
    rx_set_dc(dc);
    rx_init();
  }
  Outcome o;
  if (make_buffer(sample.bits, sample.width, sample.height) < 0) {
    ADD_FAILURE() << "no " << sample.bits << "-bit buffer of " << sample.width << " x " << sample.height;
    return o;
  }
  set_start_palette();
  rx_move_to(sample.x, sample.y);
  std::vector<uint8_t> input =
      input_size == kFromMemory ? sample.bytes : std::vector<uint8_t>(input_size);
  rx_set_input_buffer(input.data(), static_cast<int32_t>(input.size()));
  const int32_t flags = sample.flags | (input_size == kFromMemory ? RX_SHOW_FROM_MEMORY : 0);
  if (format == Format::kFlic) {
    play_flic(path, flags, o);
  } else {
    o.results.push_back(format == Format::kPcx ? rx_show_pcx(path.c_str(), flags)
                                               : rx_show_jpeg(path.c_str(), flags));
    o.pictures.push_back(digest_of_buffer());
  }
  rx_set_input_buffer(nullptr, 0);
  reset_library();
  return o;
}

std::string first_difference(const Outcome& want, const Outcome& got) {
  auto list = [](const std::vector<int32_t>& v) {
    std::string s;
    for (size_t i = 0; i < v.size() && i < 12; ++i) {
      if (i > 0) s += ' ';
      s += std::to_string(v[i]);
    }
    return s + (v.size() > 12 ? " ..." : "");
  };
  if (want.results != got.results)
    return "results " + list(got.results) + " (memory: " + list(want.results) + ")";
  for (size_t i = 0; i < want.pictures.size(); ++i)
    if (want.pictures[i] != got.pictures[i])
      return "picture " + std::to_string(i + 1) + " of " + std::to_string(want.pictures.size());
  return "nothing";
}

void expect_file_as_memory(Format format, const std::vector<int32_t>& depths) {
  const std::vector<Sample> list = samples(format, depths);
  ASSERT_FALSE(list.empty()) << "no corpus: RASTRIX_SHARED_DIR must name the shared folder";
  const std::vector<int32_t> sizes = input_sizes();
  const std::string path = ::testing::TempDir() + "rastrix_file_against_memory." + folder_of(format);
  for (const Sample& s : list) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(s.bytes.data()), static_cast<std::streamsize>(s.bytes.size()));
    const Outcome want = decode(format, s, path, kFromMemory);
    for (int32_t size : sizes) {
      const Outcome got = decode(format, s, path, size);
      if (got == want) continue;
      ADD_FAILURE() << s.name << " at " << s.bits << " bits, InputBuffer of " << size
                    << " bytes: " << first_difference(want, got);
      break;  // one size per sample tells enough
    }
  }
  std::remove(path.c_str());
}

}  // namespace rx::support
