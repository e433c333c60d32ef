// Flic player: open, skip with random counts, play with random counts and
// flags, from memory and from file, every depth, origins near the edges.
#include "fuzz_input.h"

// More frames than small flics hold: the play runs past the end and loops.
constexpr int32_t kManyFrames = 12;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rx::fuzz::Input in(data, size);
  int32_t bits = rx::fuzz::pick_depth(in.byte());
  uint8_t mode = in.byte();
  int32_t width = 1 + in.byte(), height = 1 + in.byte();
  int32_t x = static_cast<int8_t>(in.byte()), y = static_cast<int8_t>(in.byte());
  int32_t skip = static_cast<int8_t>(in.byte()) % 8;
  int32_t frames = static_cast<int8_t>(in.byte()) % 8;
  int32_t flags = RX_FLIC_NO_DELAY |
                  (mode & (RX_SHOW_AT_POSITION | RX_SHOW_NO_REDUCE | RX_FLIC_KEEP_PALETTE));
  rx::fuzz::Session session(bits, width, height);
  rx_move_to(x, y);
  rx::fuzz::MemoryFile file(in.rest(), in.rest_size());
  FlicContext flic{};
  if (rx_flic_open(file.path(), &flic) != 0) return 0;
  if (mode & 0x80) {
    rx_flic_skip(&flic, skip);
    rx_flic_play(&flic, frames == 0 ? -1 : frames, flags);
    rx_flic_skip(&flic, -1);
    rx_flic_play(&flic, 2, flags);
  } else {
    rx_set_input_buffer(const_cast<uint8_t*>(in.rest()), static_cast<int32_t>(in.rest_size()));
    rx_flic_play(&flic, 1, flags | RX_SHOW_FROM_MEMORY);  // source becomes memory
    rx_flic_skip(&flic, skip);
    rx_flic_play(&flic, frames == 0 ? kManyFrames : frames, flags | RX_SHOW_FROM_MEMORY);
    rx_flic_skip(&flic, -1);
    rx_flic_play(&flic, 3, flags | RX_SHOW_FROM_MEMORY);
  }
  rx_flic_close(&flic);
  return 0;
}
