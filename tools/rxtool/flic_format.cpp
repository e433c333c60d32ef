// Flic support of rxtool: FLI (0xAF11) and FLC (0xAF12) animations.
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "flic.h"
#include "formats.h"
#include "rastrix.h"

namespace rxtool {
namespace {

constexpr uint16_t kFliMagic = 0xAF11;
constexpr uint16_t kFlcMagic = 0xAF12;
constexpr uint16_t kFrameChunk = 0xF1FA;
constexpr uint16_t kPrefixChunk = 0xF100;
constexpr size_t kHeaderSize = 128;
constexpr size_t kChunkPrefix = 6;
constexpr size_t kFrameHeader = 16;
constexpr uint32_t kMillisecondsPerTick = 55;
constexpr uint32_t kFliDelayNumerator = 1429;  // 1/70 s in 55 ms ticks: 1429 / 5500
constexpr uint32_t kFliDelayDenominator = 5500;

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | static_cast<uint32_t>(le16(p + 2)) << 16; }

bool sniff(const uint8_t* head, size_t size) {
  return size >= 6 && (le16(head + 4) == kFliMagic || le16(head + 4) == kFlcMagic);
}

const char* chunk_name(uint16_t type) {
  switch (type) {
    case 4: return "COLOR_256";
    case 7: return "DELTA_FLC";
    case 11: return "COLOR_64";
    case 12: return "DELTA_FLI";
    case 13: return "BLACK";
    case 15: return "BYTE_RUN";
    case 16: return "COPY";
    case 18: return "PSTAMP";
    default: return "other";
  }
}

struct ChunkWalk {
  int frames = 0, prefixes = 0;
  std::map<uint16_t, int> sub_chunks;
  std::string problem;
};

// Walks the frame-level chunks and their sub-chunks, every size checked
// against the file.
ChunkWalk walk_chunks(const std::vector<uint8_t>& data) {
  ChunkWalk w;
  size_t at = kHeaderSize;
  int& frames = w.frames;
  int& prefixes = w.prefixes;
  std::map<uint16_t, int>& sub_chunks = w.sub_chunks;
  std::string& problem = w.problem;
  while (at + kChunkPrefix <= data.size()) {
    uint32_t size = le32(&data[at]);
    uint16_t type = le16(&data[at + 4]);
    if (size < kChunkPrefix || (type != kFrameChunk && type != kPrefixChunk)) {
      problem = "unknown or short chunk at byte " + std::to_string(at);
      break;
    }
    if (type == kPrefixChunk) ++prefixes;
    if (type == kFrameChunk && size >= kFrameHeader && at + kFrameHeader <= data.size()) {
      ++frames;
      size_t sub = at + kFrameHeader;
      for (int n = le16(&data[at + 6]); n > 0 && sub + kChunkPrefix <= data.size(); --n) {
        uint32_t sub_size = le32(&data[sub]);
        ++sub_chunks[le16(&data[sub + 4])];
        if (sub_size < kChunkPrefix) break;
        sub += sub_size;
      }
    }
    if (size > data.size() - at) {
      problem = "chunk at byte " + std::to_string(at) + " runs past the end";
      break;
    }
    at += size;
  }
  return w;
}

// Describes what the walk met.
std::string chunk_summary(const std::vector<uint8_t>& data) {
  ChunkWalk w = walk_chunks(data);
  std::string out = "  frame chunks: " + std::to_string(w.frames) + "\n";
  if (w.prefixes) out += "  prefix chunks: " + std::to_string(w.prefixes) + "\n";
  out += "  sub-chunks:";
  for (const auto& [type, count] : w.sub_chunks) {
    out.append(" ").append(chunk_name(type)).append("(").append(std::to_string(type));
    out.append(") x").append(std::to_string(count));
  }
  out += "\n";
  if (!w.problem.empty()) out += "  problem: " + w.problem + "\n";
  return out;
}

// Facts of the header, for a memory source that the library does not open.
int32_t memory_context(const std::vector<uint8_t>& data, FlicContext& flic) {
  if (data.size() < kHeaderSize || !sniff(data.data(), data.size())) return RX_ERR_RESOURCE;
  const uint8_t* h = data.data();
  if (le16(h + 8) > RX_FLIC_MAX_WIDTH) return RX_FLIC_TOO_WIDE;
  bool flc = le16(h + 4) == kFlcMagic;
  uint32_t delay = flc ? le32(h + 16) / kMillisecondsPerTick
                       : le16(h + 16) * kFliDelayNumerator / kFliDelayDenominator;
  flic = FlicContext{};
  flic.position = kHeaderSize;
  flic.frames = le16(h + 6);
  flic.width = le16(h + 8);
  flic.height = le16(h + 10);
  flic.delay = static_cast<uint16_t>(std::min<uint32_t>(delay, 0xFFFF));
  flic.source = 1;
  return RX_OK;
}

int32_t info(const Source& source, std::string& out) {
  FlicContext flic{};
  int32_t r = open_flic(source, flic);
  if (r != 0) return r;
  close_flic(source, flic);
  std::vector<uint8_t> data = source.bytes();
  if (data.size() < kHeaderSize) return RX_ERR_RESOURCE;
  bool flc = le16(&data[4]) == kFlcMagic;
  out += std::string("  variant: ") + (flc ? "FLC" : "FLI") + "\n";
  out += "  size: " + std::to_string(flic.width) + "x" + std::to_string(flic.height) + "\n";
  out += "  frames: " + std::to_string(flic.frames) + "\n";
  out += "  speed: " + std::to_string(flc ? le32(&data[16]) : le16(&data[16])) +
         (flc ? " ms" : " x 1/70 s") + "\n";
  out += "  delay: " + std::to_string(flic.delay) + " tick(s) of 55 ms\n";
  out += chunk_summary(data);
  return 0;
}

bool inspect(const Source& source, Area& area, std::string& problem) {
  FlicContext flic{};
  int32_t r = open_flic(source, flic);
  if (r != 0) {
    problem = result_text(RX_OP_FLIC_OPEN, r);
    return false;
  }
  close_flic(source, flic);
  area = {0, 0, flic.width, flic.height};
  return true;
}

}  // namespace

int32_t open_flic(const Source& source, FlicContext& flic) {
  if (source.in_memory) return memory_context(source.data, flic);
  return rx_flic_open(source.path.c_str(), &flic);
}

void close_flic(const Source& source, FlicContext& flic) {
  if (!source.in_memory) rx_flic_close(&flic);
}

int32_t count_frame_chunks(const Source& source) {
  return walk_chunks(source.bytes()).frames;
}

const Format kFlicFormat = {"flic", sniff, info, inspect, nullptr, RX_OP_FLIC_OPEN};

}  // namespace rxtool
