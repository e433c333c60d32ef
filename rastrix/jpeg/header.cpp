// rx_jpeg_header: the frame header of a baseline JPEG, found by the
// decoder's own walk without decoding; rx_jpeg_buffer_size: the strip
// memory that picture needs.
#include <cstdint>
#include <cstring>

#include "core/file_io.h"
#include "core/state.h"
#include "jpeg/walk.h"

namespace rx::jpeg {
namespace {

inline constexpr uint16_t kSignature = 0xFFD8;

}  // namespace
}  // namespace rx::jpeg

extern "C" int32_t rx_jpeg_header(const char* file_name, JpegInfo* info) {
  using namespace rx::jpeg;
  using rx::InputSource;
  if (info == nullptr) return RX_ERR_ARGUMENT;
  rx::ScopedFile file(rx::file_open(file_name));
  if (file.fd() < 0) return RX_ERR_ARGUMENT;
  // The ScratchArea is the read area, whatever DecodeBuffer is installed.
  // The walk looks at no segment it skips, so skips move the file instead.
  InputSource src = InputSource::over_file(file.fd(), rx::state().scratch, rx::kScratchSize,
                                           InputSource::Skip::kSeek, InputSource::Count::kNone);
  FrameHeader header;
  if (read_header(src, header) != RX_OK) return RX_ERR_RESOURCE;
  JpegInfo filled{};
  filled.signature = kSignature;
  filled.width = static_cast<uint16_t>(header.width);
  filled.height = static_cast<uint16_t>(header.height);
  filled.components = static_cast<uint8_t>(header.components);
  for (int i = 0; i < header.components; ++i)
    filled.sampling[i] = static_cast<uint8_t>(header.h[i] << 4 | header.v[i]);
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
