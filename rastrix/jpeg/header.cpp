// rx_jpeg_header: the frame header of a baseline JPEG, read without
// decoding; rx_jpeg_buffer_size: the strip memory that picture needs.
#include <cstdint>
#include <cstring>
#include <unistd.h>

#include "core/file_io.h"
#include "core/state.h"
#include "jpeg/markers.h"

namespace rx::jpeg {
namespace {

inline constexpr uint16_t kSignature = 0xFFD8;
inline constexpr int kFrameFixedBytes = 8;  // length, precision, Y, X, Nf
inline constexpr int kComponentFieldBytes = 3;

class ScopedFile {
 public:
  explicit ScopedFile(int fd) : fd_(fd) {}
  ~ScopedFile() {
    if (fd_ >= 0) file_close(fd_);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
};

bool read_exact(int fd, uint8_t* into, int32_t count) {
  return file_read(fd, into, count) == count;
}

}  // namespace
}  // namespace rx::jpeg

extern "C" int32_t rx_jpeg_header(const char* file_name, JpegInfo* info) {
  using namespace rx::jpeg;
  if (info == nullptr) return RX_ERR_ARGUMENT;
  ScopedFile file(rx::file_open(file_name));
  if (file.fd() < 0) return RX_ERR_ARGUMENT;
  uint8_t* area = rx::state().scratch;
  if (!read_exact(file.fd(), area, 2) || area[0] != 0xFF || area[1] != kMarkerSoi)
    return RX_ERR_RESOURCE;
  for (;;) {
    if (!read_exact(file.fd(), area, 2)) return RX_ERR_RESOURCE;
    uint8_t code = area[1];
    if (area[0] == 0xFF && code == kMarkerSof0) break;
    if (area[0] == 0xFF && code >= kMarkerRst0 && code <= kMarkerEoi) continue;  // no length
    if (!read_exact(file.fd(), area, 2)) return RX_ERR_RESOURCE;
    int32_t length = area[0] << 8 | area[1];
    // A length below 2 would step backwards and walk the same bytes forever.
    if (length < 2 || rx::file_seek(file.fd(), length - 2, SEEK_CUR) < 0) return RX_ERR_RESOURCE;
  }
  if (!read_exact(file.fd(), area, kFrameFixedBytes)) return RX_ERR_RESOURCE;
  int components = area[7];
  int listed = components < kMaxComponents ? components : kMaxComponents;
  uint8_t* fields = area + kFrameFixedBytes;
  if (!read_exact(file.fd(), fields, listed * kComponentFieldBytes)) return RX_ERR_RESOURCE;

  JpegInfo filled{};
  filled.signature = kSignature;
  filled.height = static_cast<uint16_t>(area[3] << 8 | area[4]);
  filled.width = static_cast<uint16_t>(area[5] << 8 | area[6]);
  filled.components = static_cast<uint8_t>(components);
  // Identifiers 1..3 pick their entry; frames numbered from 0 are read by
  // position. Any other identifier is not recorded.
  bool from_zero = listed > 0 && fields[0] == 0;
  for (int i = 0; i < listed; ++i) {
    int slot = fields[i * kComponentFieldBytes] - (from_zero ? 0 : 1);
    if (slot >= 0 && slot < kMaxComponents) filled.sampling[slot] = fields[i * kComponentFieldBytes + 1];
  }
  std::memcpy(info, &filled, sizeof filled);
  return RX_OK;
}

extern "C" int32_t rx_jpeg_buffer_size(const JpegInfo* info) {
  if (info == nullptr || info->signature != rx::jpeg::kSignature) return 0;
  int32_t mcu_width = 8 * (info->sampling[0] >> 4);
  int32_t mcu_height = 8 * (info->sampling[0] & 0x0F);
  if (mcu_width == 0 || mcu_height == 0) return 0;  // no defined size
  int32_t padded = (info->width + mcu_width - 1) / mcu_width * mcu_width;
  return padded * 3 * mcu_height;
}
