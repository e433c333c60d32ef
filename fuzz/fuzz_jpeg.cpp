// JPEG header reader and decoder: memory and file mode, every depth,
// decode buffers of random sizes, placement near the edges.
#include <vector>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rx::fuzz::Input in(data, size);
  int32_t bits = rx::fuzz::pick_depth(in.byte());
  uint8_t mode = in.byte();
  int32_t width = 1 + in.byte(), height = 1 + in.byte();
  int32_t x = static_cast<int8_t>(in.byte()), y = static_cast<int8_t>(in.byte());
  int32_t decode_size = in.u16() * 4;
  rx::fuzz::Session session(bits, width, height);
  std::vector<uint8_t> decode(static_cast<size_t>(decode_size));
  if (decode_size > 0) rx_set_decode_buffer(decode.data(), decode_size);
  int32_t flags = 0;
  if (mode & 1) {
    rx_move_to(x, y);
    flags |= RX_SHOW_AT_POSITION;
  }
  rx::fuzz::MemoryFile file(in.rest(), in.rest_size());
  JpegInfo info{};
  if (rx_jpeg_header(file.path(), &info) == 0) rx_jpeg_buffer_size(&info);
  if (mode & 0x80) {
    rx_show_jpeg(file.path(), flags);
  } else {
    rx_set_input_buffer(const_cast<uint8_t*>(in.rest()), static_cast<int32_t>(in.rest_size()));
    rx_show_jpeg(nullptr, flags | RX_SHOW_FROM_MEMORY);
  }
  return 0;
}
