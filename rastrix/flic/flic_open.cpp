// Opening and closing flic files, and the table of their descriptors.
#include <algorithm>
#include <cstdio>

#include "core/file_io.h"
#include "core/state.h"
#include "flic/flic_format.h"

namespace rx::flic {
namespace {

constexpr int kSlotBits = 5;
constexpr int kSlots = 1 << kSlotBits;
constexpr uint16_t kGenerations = 1 << (16 - kSlotBits);
constexpr uint32_t kFliDelayNumerator = 1429;  // 1/70 s in 55 ms ticks: 1429 / 5500
constexpr uint32_t kFliDelayDenominator = 5500;
constexpr uint32_t kMillisecondsPerTick = 55;
constexpr uint32_t kMaxDelay = 0xFFFF;

struct OpenFlic {
  int fd = -1;
  uint16_t generation = 0;  // 1 .. kGenerations - 1 while open
};
OpenFlic open_flics[kSlots];
int next_slot = 0;  // slots are taken in turn, so a number is reused late

struct Named {
  int slot;
  uint16_t generation;
};
Named name_of(uint16_t handle) {
  return {handle & (kSlots - 1), static_cast<uint16_t>(handle >> kSlotBits)};
}

uint16_t fli_delay(uint16_t speed) {
  return static_cast<uint16_t>(uint32_t{speed} * kFliDelayNumerator / kFliDelayDenominator);
}

uint16_t flc_delay(uint32_t speed_ms) {
  return static_cast<uint16_t>(std::min(speed_ms / kMillisecondsPerTick, kMaxDelay));
}

}  // namespace

int open_descriptor(int fd) {
  for (int i = 0; i < kSlots; ++i) {
    int slot = (next_slot + i) % kSlots;
    OpenFlic& f = open_flics[slot];
    if (f.fd >= 0) continue;
    f.generation = static_cast<uint16_t>(f.generation % (kGenerations - 1) + 1);
    f.fd = fd;
    next_slot = (slot + 1) % kSlots;
    return f.generation << kSlotBits | slot;
  }
  return 0;
}

int descriptor_of(uint16_t handle) {
  Named n = name_of(handle);
  const OpenFlic& f = open_flics[n.slot];
  return n.generation != 0 && f.generation == n.generation ? f.fd : -1;
}

void close_descriptor(uint16_t handle) {
  int fd = descriptor_of(handle);
  if (fd < 0) return;
  file_close(fd);
  open_flics[name_of(handle).slot].fd = -1;
}

}  // namespace rx::flic

extern "C" {

int32_t rx_flic_open(const char* file_name, FlicContext* context) {
  using namespace rx::flic;
  rx::LibraryState& s = rx::state();
  if (context == nullptr) return RX_ERR_ARGUMENT;
  int fd = rx::file_open(file_name);
  s.current_file = fd;
  if (fd < 0) return RX_ERR_ARGUMENT;
  const uint8_t* h = s.scratch;
  s.bytes_read = static_cast<uint32_t>(rx::file_read(fd, s.scratch, kHeaderSize));
  int32_t result = RX_OK;
  uint16_t delay = 0;
  if (s.bytes_read < static_cast<uint32_t>(kHeaderSize)) {
    result = RX_ERR_RESOURCE;
  } else if (load16(h + 4) == kFliMagic) {
    delay = fli_delay(load16(h + 16));
  } else if (load16(h + 4) == kFlcMagic) {
    delay = flc_delay(load32(h + 16));
  } else {
    result = RX_ERR_RESOURCE;
  }
  if (result == RX_OK && load16(h + 8) > RX_FLIC_MAX_WIDTH) result = RX_FLIC_TOO_WIDE;
  // Playing gives its read-ahead back and rewinding seeks: a pipe cannot.
  if (result == RX_OK && rx::file_seek(fd, 0, SEEK_CUR) < 0) result = RX_FLIC_CANNOT_SEEK;
  uint16_t handle = 0;
  if (result == RX_OK && (handle = static_cast<uint16_t>(open_descriptor(fd))) == 0)
    result = RX_ERR_ARGUMENT;
  if (result != RX_OK) {
    rx::file_close(fd);
    s.current_file = -1;
    return result;
  }
  context->handle = handle;
  context->position = kHeaderSize;
  context->frames = load16(h + 6);
  context->width = load16(h + 8);
  context->height = load16(h + 10);
  context->delay = delay;
  context->source = 0;
  return RX_OK;
}

int32_t rx_flic_close(FlicContext* context) {
  if (context == nullptr) return RX_OK;
  rx::state().current_file = rx::flic::descriptor_of(context->handle);
  rx::flic::close_descriptor(context->handle);
  rx::state().current_file = -1;
  return RX_OK;
}

}  // extern "C"
