// Flic support of rxtool: FLI (0xAF11) and FLC (0xAF12) animations.
#include <cstdio>
#include <map>
#include <vector>

#include "formats.h"
#include "rastrix.h"
#include "writers/flic_chunks.h"

namespace rxtool {
namespace {

using rx::support::kFlcMagic;
using rx::support::kFliMagic;
constexpr uint16_t kFrameChunk = rx::support::kFrame;
constexpr uint16_t kPrefixChunk = rx::support::kPrefix;
constexpr size_t kHeaderSize = 128;
constexpr size_t kChunkPrefix = 6;
constexpr size_t kFrameHeader = 16;

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | static_cast<uint32_t>(le16(p + 2)) << 16; }

bool sniff(const uint8_t* head, size_t size) {
  return size >= 6 && (le16(head + 4) == kFliMagic || le16(head + 4) == kFlcMagic);
}

const char* chunk_name(uint16_t type) {
  switch (type) {
    case rx::support::kColor256: return "COLOR_256";
    case rx::support::kDeltaFlc: return "DELTA_FLC";
    case rx::support::kColor64: return "COLOR_64";
    case rx::support::kDeltaFli: return "DELTA_FLI";
    case rx::support::kBlack: return "BLACK";
    case rx::support::kByteRun: return "BYTE_RUN";
    case rx::support::kCopy: return "COPY";
    case rx::support::kStamp: return "PSTAMP";
    default: return "other";
  }
}

// Walks the frame-level chunks and their sub-chunks, every size checked
// against the file, and describes what it met.
std::string chunk_summary(const std::vector<uint8_t>& data) {
  size_t at = kHeaderSize;
  int frames = 0, prefixes = 0;
  std::map<uint16_t, int> sub_chunks;
  std::string problem;
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
  std::string out = "  frame chunks: " + std::to_string(frames) + "\n";
  if (prefixes) out += "  prefix chunks: " + std::to_string(prefixes) + "\n";
  out += "  sub-chunks:";
  for (const auto& [type, count] : sub_chunks) {
    out.append(" ").append(chunk_name(type)).append("(").append(std::to_string(type));
    out.append(") x").append(std::to_string(count));
  }
  out += "\n";
  if (!problem.empty()) out += "  problem: " + problem + "\n";
  return out;
}

int32_t info(const char* path, std::string& out) {
  FlicContext flic{};
  int32_t r = rx_flic_open(path, &flic);
  if (r != 0) return r;
  rx_flic_close(&flic);
  std::vector<uint8_t> data;
  if (FILE* f = std::fopen(path, "rb")) {
    uint8_t part[65536];
    size_t n;
    while ((n = std::fread(part, 1, sizeof part, f)) > 0) data.insert(data.end(), part, part + n);
    std::fclose(f);
  }
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

bool area(const char* path, int32_t* x, int32_t* y, int32_t* width, int32_t* height) {
  FlicContext flic{};
  if (rx_flic_open(path, &flic) != 0) return false;
  rx_flic_close(&flic);
  *x = 0;
  *y = 0;
  *width = flic.width;
  *height = flic.height;
  return true;
}

const char* meaning(int32_t result) {
  switch (result) {
    case RX_OK: return "success";
    case RX_ERR_ARGUMENT: return "the file cannot be opened";
    case RX_ERR_RESOURCE: return "not a flic: header shorter than 128 bytes or unknown type";
    case RX_FLIC_TOO_WIDE: return "frame wider than the player's row buffer";
    default: return "unknown result";
  }
}

}  // namespace

const Format kFlicFormat = {"flic", sniff, info, area, nullptr, meaning};

}  // namespace rxtool
