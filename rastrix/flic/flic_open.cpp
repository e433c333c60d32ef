// Opening and closing flic files, and the table of their descriptors.
#include <algorithm>
#include <cstdio>

#include "core/file_io.h"
#include "core/state.h"
#include "flic/flic_format.h"

namespace rx::flic {
namespace {

constexpr int kSlots = 32;
constexpr uint32_t kFliDelayNumerator = 1429;  // 1/70 s in 55 ms ticks: 1429 / 5500
constexpr uint32_t kFliDelayDenominator = 5500;
constexpr uint32_t kMillisecondsPerTick = 55;
constexpr uint32_t kMaxDelay = 0xFFFF;
constexpr uint32_t kLastNumber = 0xFFFFFFFF;

struct OpenFlic {
  int fd = -1;
  uint32_t number = 0;  // the handle while open; 0 when free
};
OpenFlic open_flics[kSlots];
// Every open takes the next number and none is given twice: a stale
// number can never name a flic opened later. At one open a microsecond
// the numbers last more than an hour; then opening fails.
uint32_t last_number = 0;

OpenFlic* find(uint32_t handle) {
  if (handle == 0) return nullptr;
  for (OpenFlic& f : open_flics)
    if (f.number == handle) return &f;
  return nullptr;
}

uint16_t fli_delay(uint16_t speed) {
  return static_cast<uint16_t>(uint32_t{speed} * kFliDelayNumerator / kFliDelayDenominator);
}

uint16_t flc_delay(uint32_t speed_ms) {
  return static_cast<uint16_t>(std::min(speed_ms / kMillisecondsPerTick, kMaxDelay));
}

}  // namespace

uint32_t open_descriptor(int fd) {
  if (last_number == kLastNumber) return 0;
  for (OpenFlic& f : open_flics) {
    if (f.number != 0) continue;
    f.fd = fd;
    f.number = ++last_number;
    return f.number;
  }
  return 0;
}

int descriptor_of(uint32_t handle) {
  const OpenFlic* f = find(handle);
  return f != nullptr ? f->fd : -1;
}

void close_descriptor(uint32_t handle) {
  OpenFlic* f = find(handle);
  if (f == nullptr) return;
  file_close(f->fd);
  *f = OpenFlic{};
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
  uint32_t handle = 0;
  if (result == RX_OK && (handle = open_descriptor(fd)) == 0)
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
