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

int32_t read_header(const uint8_t* h, int32_t size, FlicContext& context) {
  if (size < RX_FLIC_HEADER_SIZE) return RX_ERR_RESOURCE;
  uint16_t delay;
  if (load16(h + 4) == RX_FLI_MAGIC) {
    delay = fli_delay(load16(h + 16));
  } else if (load16(h + 4) == RX_FLC_MAGIC) {
    delay = flc_delay(load32(h + 16));
  } else {
    return RX_ERR_RESOURCE;
  }
  if (load16(h + 8) > RX_FLIC_MAX_WIDTH) return RX_FLIC_TOO_WIDE;
  context.position = RX_FLIC_HEADER_SIZE;
  context.frames = load16(h + 6);
  context.width = load16(h + 8);
  context.height = load16(h + 10);
  context.delay = delay;
  return RX_OK;
}

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
  s.bytes_read = static_cast<uint32_t>(rx::file_read(fd, s.scratch, RX_FLIC_HEADER_SIZE));
  FlicContext opened{};
  int32_t result = read_header(s.scratch, static_cast<int32_t>(s.bytes_read), opened);
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
  opened.handle = handle;
  opened.source = 0;
  *context = opened;
  return RX_OK;
}

int32_t rx_flic_open_memory(const void* data, int32_t size, FlicContext* context) {
  if (data == nullptr || context == nullptr) return RX_ERR_ARGUMENT;
  FlicContext opened{};
  const int32_t result = rx::flic::read_header(static_cast<const uint8_t*>(data), size, opened);
  if (result != RX_OK) return result;
  opened.source = 1;
  *context = opened;
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
