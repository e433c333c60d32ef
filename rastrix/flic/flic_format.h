// The player's own numbers of the flic format (the file's are in
// rastrix.h) and its handle table.
#pragma once

#include <cstdint>

#include "core/state.h"

namespace rx::flic {

// Longest byte-run packet beyond the row's end, and so the widest frame
// whose row (plus that overshoot) fits the ScratchArea row buffer.
inline constexpr int kMaxOvershoot = 127;
static_assert(RX_FLIC_MAX_WIDTH == kScratchSize - kMaxOvershoot);

inline uint16_t load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t load32(const uint8_t* p) {
  return static_cast<uint32_t>(load16(p)) | static_cast<uint32_t>(load16(p + 2)) << 16;
}

// Fills the header's facts (position, frames, size, delay) into context;
// RX_OK, RX_ERR_RESOURCE or RX_FLIC_TOO_WIDE as rx_flic_open reports them.
int32_t read_header(const uint8_t* header, int32_t size, FlicContext& context);

// Open flic files: the context keeps a number that is given to one open
// only, so a stale or made-up number finds no descriptor (or only one the
// player opened itself for that number).
uint32_t open_descriptor(int fd);    // the new handle; 0 when the table is full
int descriptor_of(uint32_t handle);  // -1 when the handle names no open flic
void close_descriptor(uint32_t handle);

}  // namespace rx::flic
