// Flic support of rxtool: FLI and FLC animations.
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "flic.h"
#include "formats.h"
#include "rastrix.h"

namespace rxtool {
namespace {

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | static_cast<uint32_t>(le16(p + 2)) << 16; }

bool sniff(const uint8_t* head, size_t size) {
  return size >= 6 && (le16(head + 4) == RX_FLI_MAGIC || le16(head + 4) == RX_FLC_MAGIC);
}

const char* chunk_name(uint16_t type) {
  switch (type) {
    case RX_FLIC_COLOR_256: return "COLOR_256";
    case RX_FLIC_DELTA_FLC: return "DELTA_FLC";
    case RX_FLIC_COLOR_64: return "COLOR_64";
    case RX_FLIC_DELTA_FLI: return "DELTA_FLI";
    case RX_FLIC_BLACK: return "BLACK";
    case RX_FLIC_BYTE_RUN: return "BYTE_RUN";
    case RX_FLIC_COPY: return "COPY";
    case RX_FLIC_STAMP: return "PSTAMP";
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
  size_t at = RX_FLIC_HEADER_SIZE;
  int& frames = w.frames;
  int& prefixes = w.prefixes;
  std::map<uint16_t, int>& sub_chunks = w.sub_chunks;
  std::string& problem = w.problem;
  while (at + RX_FLIC_CHUNK_PREFIX_SIZE <= data.size()) {
    uint32_t size = le32(&data[at]);
    uint16_t type = le16(&data[at + 4]);
    if (size < RX_FLIC_CHUNK_PREFIX_SIZE ||
        (type != RX_FLIC_FRAME_CHUNK && type != RX_FLIC_PREFIX_CHUNK)) {
      problem = "unknown or short chunk at byte " + std::to_string(at);
      break;
    }
    if (type == RX_FLIC_PREFIX_CHUNK) ++prefixes;
    if (type == RX_FLIC_FRAME_CHUNK && size >= RX_FLIC_FRAME_HEADER_SIZE &&
        at + RX_FLIC_FRAME_HEADER_SIZE <= data.size()) {
      ++frames;
      size_t sub = at + RX_FLIC_FRAME_HEADER_SIZE;
      for (int n = le16(&data[at + 6]); n > 0 && sub + RX_FLIC_CHUNK_PREFIX_SIZE <= data.size();
           --n) {
        uint32_t sub_size = le32(&data[sub]);
        ++sub_chunks[le16(&data[sub + 4])];
        if (sub_size < RX_FLIC_CHUNK_PREFIX_SIZE) break;
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

int32_t info(const Source& source, std::string& out) {
  FlicContext flic{};
  int32_t r = open_flic(source, flic);
  if (r != 0) return r;
  close_flic(source, flic);
  std::vector<uint8_t> data = source.bytes();
  if (data.size() < RX_FLIC_HEADER_SIZE) return RX_ERR_RESOURCE;
  bool flc = le16(&data[4]) == RX_FLC_MAGIC;
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
  if (source.in_memory)
    return rx_flic_open_memory(source.data.data(), static_cast<int32_t>(source.data.size()), &flic);
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
