// Flic playback into a 16-bit buffer from memory, one frame per call as the
// demo plays it, beside FFmpeg's flic decoder (libavcodec) fed the same
// frame chunks and Allegro 4's flic player decoding to its 8-bit bitmap.
// Every iteration is one frame, whatever the implementation; at the end of
// the flic each starts over from its first frame.
//
// Workloads: flic16_<name> for every flic of the shared corpus
// (RASTRIX_SHARED_DIR in the environment, else the folder beside the
// source tree; not the hostile ones), flic16_wheel3, the demo's 186 x 153
// wheel, and flic16_640x480, made by the flic writer (byte-run first frame,
// then word deltas).
//
// flic8_palette_storm and flic16_palette_storm: one frame of 8000 colour
// chunks, at depth 8 (where every chunk reduces the palette to 236 colours)
// and at depth 16; "empty" chunks change no entry, "one_entry" chunks each
// change one, and in "one_entry_black" each is followed by a BLACK chunk,
// whose pixels need the reduced palette at once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "rastrix.h"
#include "support/allegro_peer.h"
#include "writers/flic_writer.h"

#ifdef RASTRIX_HAVE_LIBAVCODEC
extern "C" {
#include <libavcodec/avcodec.h>
}
#endif

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kFirstFrameOffset = 80;      // FLC header: file offsets of frames 1 and 2
constexpr size_t kSecondFrameOffset = 84;

std::string shared_dir() {
  if (const char* env = std::getenv("RASTRIX_SHARED_DIR")) return env;
  return RASTRIX_BENCH_SHARED_DIR;
}

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// 640 x 480, 30 frames: shaded bands that scroll, a disc that moves.
Bytes writer_flic() {
  constexpr int kW = 640, kH = 480, kFrames = 30;
  std::vector<std::vector<uint8_t>> frames;
  for (int f = 0; f < kFrames; ++f) {
    std::vector<uint8_t> p(static_cast<size_t>(kW) * kH);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        int v = (y / 8 + (y > 300 ? f : 0)) % 64;
        int dx = x - 100 - 15 * f, dy = y - 200;
        if (dx * dx + dy * dy < 60 * 60) v = 64 + ((x + y + f) & 31);
        p[static_cast<size_t>(y) * kW + x] = static_cast<uint8_t>(v);
      }
    }
    frames.push_back(std::move(p));
  }
  std::vector<uint8_t> palette(768);
  for (int i = 0; i < 256; ++i) {
    palette[3 * i] = static_cast<uint8_t>(i * 4);
    palette[3 * i + 1] = static_cast<uint8_t>(255 - i);
    palette[3 * i + 2] = static_cast<uint8_t>(i * 9);
  }
  return rx::support::encode_flc(frames, kW, kH, palette, 70);
}

// A workload: its name and where its bytes come from (a file, or made).
struct Workload {
  std::string name;
  std::string path;  // empty: the writer's flic
};

// Loaded once per workload, on first use.
const Bytes& flic_bytes(const Workload& w) {
  static std::map<std::string, Bytes> loaded;
  auto found = loaded.find(w.name);
  if (found == loaded.end())
    found = loaded.emplace(w.name, w.path.empty() ? writer_flic() : read_file(w.path)).first;
  return found->second;
}

bool usable(const Bytes& file, benchmark::State& state) {
  if (file.size() >= RX_FLIC_HEADER_SIZE + RX_FLIC_CHUNK_PREFIX_SIZE) return true;
  state.SkipWithError("flic not found (corpus: set RASTRIX_SHARED_DIR)");
  return false;
}

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | static_cast<uint32_t>(le16(p + 2)) << 16; }

void count_frames(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void play_rastrix(benchmark::State& state, const Workload& w) {
  Bytes file = flic_bytes(w);  // the InputBuffer is writable memory
  if (!usable(file, state)) return;
  rx_set_dc(rx_headless_screen(640, 480, 16));
  rx_init();
  rx_set_buffer_depth(16);
  FlicContext flic{};
  flic.width = le16(&file[8]);
  flic.height = le16(&file[10]);
  flic.position = RX_FLIC_HEADER_SIZE;
  int32_t buffer = rx_buffer_create(flic.width, flic.height);
  rx_buffer_select(buffer);
  rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
  constexpr int32_t kFlags = RX_FLIC_NO_DELAY | RX_SHOW_FROM_MEMORY;
  for (auto _ : state) {
    if (rx_flic_play(&flic, 1, kFlags) == 1) continue;
    flic.position = RX_FLIC_HEADER_SIZE;  // the flic ended: start over
    if (rx_flic_play(&flic, 1, kFlags) != 1) {
      state.SkipWithError("rx_flic_play showed no frame");
      break;
    }
  }
  count_frames(state);
  rx_set_input_buffer(nullptr, 0);
  rx_buffer_release();
  rx_buffer_free(buffer);
  rx_shutdown();
}

#ifdef RASTRIX_HAVE_LIBAVCODEC
// The frame chunks of a flic, as the FFmpeg demuxer hands them on: a
// chunk longer than the rest of the file is cut at its end.
std::vector<Bytes> frame_chunks(const Bytes& file) {
  std::vector<Bytes> out;
  size_t at = RX_FLIC_HEADER_SIZE;
  while (at + RX_FLIC_CHUNK_PREFIX_SIZE <= file.size()) {
    const size_t size = std::min<size_t>(le32(&file[at]), file.size() - at);
    if (size < RX_FLIC_CHUNK_PREFIX_SIZE) break;
    if (le16(&file[at + 4]) == RX_FLIC_FRAME_CHUNK) out.emplace_back(&file[at], &file[at] + size);
    at += size;
  }
  return out;
}

void play_ffmpeg(benchmark::State& state, const Workload& w) {
  const Bytes& file = flic_bytes(w);
  if (!usable(file, state)) return;
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_FLIC);
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  ctx->width = le16(&file[8]);
  ctx->height = le16(&file[10]);
  ctx->extradata =
      static_cast<uint8_t*>(av_mallocz(RX_FLIC_HEADER_SIZE + AV_INPUT_BUFFER_PADDING_SIZE));
  std::copy_n(file.data(), RX_FLIC_HEADER_SIZE, ctx->extradata);
  ctx->extradata_size = RX_FLIC_HEADER_SIZE;
  if (avcodec_open2(ctx, codec, nullptr) < 0) {
    state.SkipWithError("avcodec_open2 failed");
    avcodec_free_context(&ctx);
    return;
  }
  std::vector<AVPacket*> packets;
  for (const Bytes& chunk : frame_chunks(file)) {
    AVPacket* p = av_packet_alloc();
    av_new_packet(p, static_cast<int>(chunk.size()));
    std::copy(chunk.begin(), chunk.end(), p->data);
    packets.push_back(p);
  }
  AVFrame* frame = av_frame_alloc();
  size_t next = 0;
  for (auto _ : state) {
    if (packets.empty()) {
      state.SkipWithError("no frame chunks");
      break;
    }
    if (avcodec_send_packet(ctx, packets[next]) >= 0) {
      while (avcodec_receive_frame(ctx, frame) == 0) av_frame_unref(frame);
    }
    next = next + 1 == packets.size() ? 0 : next + 1;
  }
  count_frames(state);
  av_frame_free(&frame);
  for (AVPacket* p : packets) av_packet_free(&p);
  avcodec_free_context(&ctx);
}
#endif

#ifdef RASTRIX_HAVE_ALLEGRO
void store32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> 8 * i);
}

// Allegro's reader takes every chunk after the header for a frame, so a
// prefix chunk (it holds no pixels) would become a blank first frame and
// push the picture out of the loop: it gets the flic without it, the
// header's file size and frame offsets moved to match.
Bytes without_prefix(const Bytes& file) {
  if (file.size() < RX_FLIC_HEADER_SIZE + RX_FLIC_CHUNK_PREFIX_SIZE) return file;
  const uint32_t size = le32(&file[RX_FLIC_HEADER_SIZE]);
  if (le16(&file[RX_FLIC_HEADER_SIZE + 4]) != RX_FLIC_PREFIX_CHUNK ||
      size > file.size() - RX_FLIC_HEADER_SIZE)
    return file;
  Bytes out(file.begin(), file.begin() + RX_FLIC_HEADER_SIZE);
  out.insert(out.end(), file.begin() + RX_FLIC_HEADER_SIZE + size, file.end());
  store32(&out[0], static_cast<uint32_t>(out.size()));
  for (size_t offset : {kFirstFrameOffset, kSecondFrameOffset}) {
    const uint32_t at = le32(&out[offset]);
    if (at >= RX_FLIC_HEADER_SIZE + size) store32(&out[offset], at - size);
  }
  return out;
}

// Allegro's player from memory; next_fli_frame(1) starts over at the end.
void play_allegro(benchmark::State& state, const Workload& w) {
  Bytes file = without_prefix(flic_bytes(w));  // the player reads it in place
  if (!usable(file, state)) return;
  if (!rx::bench::start_allegro()) {
    state.SkipWithError("Allegro could not be installed");
    return;
  }
  if (open_memory_fli(file.data()) != FLI_OK) {
    state.SkipWithError("Allegro's flic reader rejected the file");
    return;
  }
  for (auto _ : state) {
    if (next_fli_frame(1) != FLI_OK) {
      state.SkipWithError("Allegro's flic reader failed on a frame");
      break;
    }
    benchmark::DoNotOptimize(fli_bitmap->line[0]);
    benchmark::DoNotOptimize(fli_palette);
  }
  count_frames(state);
  close_fli();
}
#endif

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The corpus flics by name (the file name up to its first dot), then the
// wheel and the writer's flic.
std::vector<Workload> workloads() {
  std::vector<Workload> out;
  std::error_code error;
  const std::filesystem::path corpus = shared_dir() + "/corpus/peers/flic";
  for (const auto& entry : std::filesystem::directory_iterator(corpus, error)) {
    const std::string file = entry.path().filename().string();
    const std::string extension = lower(entry.path().extension().string());
    if (!entry.is_regular_file() || (extension != ".fli" && extension != ".flc")) continue;
    out.push_back({file.substr(0, file.find('.')), entry.path().string()});
  }
  std::sort(out.begin(), out.end(),
            [](const Workload& a, const Workload& b) { return a.name < b.name; });
  out.push_back({"wheel3", std::string(RASTRIX_BENCH_ASSETS_DIR) + "/WHEEL3.FLC"});
  out.push_back({"640x480", ""});
  return out;
}

void register_flic_benchmarks() {
  static const std::vector<Workload> table = workloads();
  for (const Workload& w : table) {
    const std::string base = "flic16_" + w.name;
    benchmark::RegisterBenchmark((base + "/rastrix").c_str(), play_rastrix, w)
        ->Unit(benchmark::kMicrosecond);
#ifdef RASTRIX_HAVE_LIBAVCODEC
    benchmark::RegisterBenchmark((base + "/ffmpeg").c_str(), play_ffmpeg, w)
        ->Unit(benchmark::kMicrosecond);
#endif
#ifdef RASTRIX_HAVE_ALLEGRO
    benchmark::RegisterBenchmark((base + "/allegro4").c_str(), play_allegro, w)
        ->Unit(benchmark::kMicrosecond);
#endif
  }
}

constexpr int kStormChunks = 8000;
constexpr int kStormSide = 64;

enum class Storm { kEmpty, kOneEntry, kOneEntryBlack };

// A one-frame flic: a full palette, then kStormChunks colour chunks.
Bytes storm_flic(Storm storm) {
  rx::support::PalettePacket all{0, {}};
  for (int i = 0; i < 256; ++i)
    for (int k = 0; k < 3; ++k) all.rgb.push_back(static_cast<uint8_t>(i * (3 + 2 * k) + k * 40));
  std::vector<Bytes> chunks = {
      rx::support::sub_chunk(RX_FLIC_COLOR_256, rx::support::palette_body({all}))};
  for (int c = 0; c < kStormChunks; ++c) {
    std::vector<rx::support::PalettePacket> packets;
    if (storm != Storm::kEmpty) {
      const auto v = static_cast<uint8_t>(c * 7);
      packets.push_back({static_cast<uint8_t>(c * 37), {v, static_cast<uint8_t>(255 - v), 128}});
    }
    chunks.push_back(rx::support::sub_chunk(RX_FLIC_COLOR_256, rx::support::palette_body(packets)));
    if (storm == Storm::kOneEntryBlack) chunks.push_back(rx::support::sub_chunk(RX_FLIC_BLACK, {}));
  }
  return rx::support::flic_file(true, kStormSide, kStormSide, 1, 0,
                                {rx::support::frame_chunk(chunks)});
}

void play_storm(benchmark::State& state, int bits, Storm storm) {
  Bytes file = storm_flic(storm);
  rx_set_dc(rx_headless_screen(640, 480, 16));
  rx_init();
  rx_set_buffer_depth(bits);
  int32_t buffer = rx_buffer_create(kStormSide, kStormSide);
  rx_buffer_select(buffer);
  rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
  FlicContext flic{};
  for (auto _ : state) {
    flic.position = RX_FLIC_HEADER_SIZE;
    if (rx_flic_play(&flic, 1, RX_FLIC_NO_DELAY | RX_SHOW_FROM_MEMORY) != 1) {
      state.SkipWithError("rx_flic_play showed no frame");
      break;
    }
  }
  count_frames(state);
  rx_set_input_buffer(nullptr, 0);
  rx_buffer_release();
  rx_buffer_free(buffer);
  rx_shutdown();
}

void register_storm_benchmarks() {
  for (int bits : {8, 16}) {
    const std::pair<Storm, const char*> storms[] = {
        {Storm::kEmpty, "empty"}, {Storm::kOneEntry, "one_entry"}, {Storm::kOneEntryBlack, "one_entry_black"}};
    for (const auto& [storm, what] : storms) {
      const std::string name = "flic" + std::to_string(bits) + "_palette_storm/" + what;
      benchmark::RegisterBenchmark(name.c_str(), play_storm, bits, storm)
          ->Unit(benchmark::kMillisecond);
    }
  }
}

const bool registered = (register_flic_benchmarks(), register_storm_benchmarks(), true);

}  // namespace
