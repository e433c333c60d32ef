// Flic playback into a 16-bit buffer from memory, one frame per call as the
// demo plays it, beside FFmpeg's flic decoder (libavcodec) fed the same
// frame chunks. Items are frames: items_per_second is frames per second.
//
// Workloads: flic16_<corpus flic>, the largest flic of the shared corpus
// (RASTRIX_SHARED_DIR in the environment, else the folder beside the
// source tree), and flic16_640x480, made by the flic writer (byte-run first
// frame, then word deltas).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rastrix.h"
#include "support/flic_writer.h"

#ifdef RASTRIX_HAVE_LIBAVCODEC
extern "C" {
#include <libavcodec/avcodec.h>
}
#endif

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kHeaderSize = 128;
constexpr uint16_t kFrameChunk = 0xF1FA;
constexpr const char* kCorpusFlic = "pillow_a.fli";  // the corpus's largest flic

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

const Bytes& flic_bytes(bool corpus) {
  static const Bytes from_corpus = read_file(shared_dir() + "/corpus/peers/flic/" + kCorpusFlic);
  static const Bytes from_writer = writer_flic();
  return corpus ? from_corpus : from_writer;
}

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | static_cast<uint32_t>(le16(p + 2)) << 16; }

// The frame chunks of a flic, as the FFmpeg demuxer hands them on.
std::vector<Bytes> frame_chunks(const Bytes& file) {
  std::vector<Bytes> out;
  size_t at = kHeaderSize;
  while (at + 6 <= file.size()) {
    uint32_t size = le32(&file[at]);
    if (size < 6 || size > file.size() - at) break;
    if (le16(&file[at + 4]) == kFrameChunk) out.emplace_back(&file[at], &file[at] + size);
    at += size;
  }
  return out;
}

void play_rastrix(benchmark::State& state, bool corpus) {
  Bytes file = flic_bytes(corpus);
  if (file.size() < kHeaderSize) {
    state.SkipWithError("flic not found (set RASTRIX_SHARED_DIR)");
    return;
  }
  rx_set_dc(rx_headless_screen(640, 480, 16));
  rx_init();
  rx_set_buffer_depth(16);
  FlicContext flic{};
  flic.width = le16(&file[8]);
  flic.height = le16(&file[10]);
  flic.position = kHeaderSize;
  int32_t buffer = rx_buffer_create(flic.width, flic.height);
  rx_buffer_select(buffer);
  rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
  constexpr int32_t kFlags = RX_FLIC_NO_DELAY | RX_SHOW_FROM_MEMORY;
  int64_t frames = 0;
  for (auto _ : state) {
    flic.position = kHeaderSize;
    while (rx_flic_play(&flic, 1, kFlags) == 1) ++frames;
  }
  state.SetItemsProcessed(frames);
  state.counters["time_per_frame"] = benchmark::Counter(
      static_cast<double>(frames), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  rx_set_input_buffer(nullptr, 0);
  rx_buffer_release();
  rx_buffer_free(buffer);
  rx_shutdown();
}

#ifdef RASTRIX_HAVE_LIBAVCODEC
void play_ffmpeg(benchmark::State& state, bool corpus) {
  const Bytes& file = flic_bytes(corpus);
  if (file.size() < kHeaderSize) {
    state.SkipWithError("flic not found (set RASTRIX_SHARED_DIR)");
    return;
  }
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_FLIC);
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  ctx->width = le16(&file[8]);
  ctx->height = le16(&file[10]);
  ctx->extradata = static_cast<uint8_t*>(av_mallocz(kHeaderSize + AV_INPUT_BUFFER_PADDING_SIZE));
  std::copy_n(file.data(), kHeaderSize, ctx->extradata);
  ctx->extradata_size = kHeaderSize;
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
  int64_t frames = 0;
  for (auto _ : state) {
    for (AVPacket* p : packets) {
      if (avcodec_send_packet(ctx, p) < 0) continue;
      while (avcodec_receive_frame(ctx, frame) == 0) {
        ++frames;
        av_frame_unref(frame);
      }
    }
  }
  state.SetItemsProcessed(frames);
  state.counters["time_per_frame"] = benchmark::Counter(
      static_cast<double>(frames), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  av_frame_free(&frame);
  for (AVPacket* p : packets) av_packet_free(&p);
  avcodec_free_context(&ctx);
}
#endif

void register_flic_benchmarks() {
  std::string corpus_name = std::string("flic16_") + kCorpusFlic;
  corpus_name = corpus_name.substr(0, corpus_name.find('.'));
  struct Workload {
    std::string name;
    bool corpus;
  } workloads[] = {{corpus_name, true}, {"flic16_640x480", false}};
  for (const Workload& w : workloads) {
    benchmark::RegisterBenchmark((w.name + "/rastrix").c_str(), play_rastrix, w.corpus)
        ->Unit(benchmark::kMicrosecond);
#ifdef RASTRIX_HAVE_LIBAVCODEC
    benchmark::RegisterBenchmark((w.name + "/ffmpeg").c_str(), play_ffmpeg, w.corpus)
        ->Unit(benchmark::kMicrosecond);
#endif
  }
}

const bool registered = (register_flic_benchmarks(), true);

}  // namespace
