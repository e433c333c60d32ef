// Numbers of the flic file format (FLI/FLC, after the published flic
// format notes) and the player's handle table.
#pragma once

#include <cstdint>

#include "core/state.h"

namespace rx::flic {

inline constexpr int kHeaderSize = 128;      // file header; the first chunk follows
inline constexpr int kChunkPrefixSize = 6;   // 32-bit size, 16-bit type
inline constexpr int kFrameHeaderSize = 16;  // prefix, sub-chunk count, 8 reserved
inline constexpr uint16_t kFliMagic = 0xAF11;
inline constexpr uint16_t kFlcMagic = 0xAF12;
inline constexpr uint16_t kFrameChunk = 0xF1FA;
inline constexpr uint16_t kPrefixChunk = 0xF100;

// Sub-chunk types the player decodes; the others are skipped.
enum SubChunk : uint16_t {
  kColor256 = 4,
  kDeltaFlc = 7,
  kColor64 = 11,
  kDeltaFli = 12,
  kBlack = 13,
  kByteRun = 15,
  kCopy = 16,
};

// Longest byte-run packet beyond the row's end, and so the widest frame
// whose row (plus that overshoot) fits the ScratchArea row buffer.
inline constexpr int kMaxOvershoot = 127;
static_assert(RX_FLIC_MAX_WIDTH == kScratchSize - kMaxOvershoot);

inline uint16_t load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t load32(const uint8_t* p) {
  return static_cast<uint32_t>(load16(p)) | static_cast<uint32_t>(load16(p + 2)) << 16;
}

// Open flic files: the context keeps a number that is given to one open
// only, so a stale or made-up number finds no descriptor (or only one the
// player opened itself for that number).
uint32_t open_descriptor(int fd);    // the new handle; 0 when the table is full
int descriptor_of(uint32_t handle);  // -1 when the handle names no open flic
void close_descriptor(uint32_t handle);

}  // namespace rx::flic
