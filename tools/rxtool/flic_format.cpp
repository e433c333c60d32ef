// Flic support of rxtool: FLI (0xAF11) and FLC (0xAF12) animations.
#include <cstdio>
#include <map>
#include <vector>

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

}  // namespace

const Format kFlicFormat = {"flic", sniff, info, area, nullptr, RX_OP_FLIC_OPEN};

}  // namespace rxtool
