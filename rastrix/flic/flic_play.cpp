// rx_flic_play: the frame loop. Frame-level chunks are frames (0xF1FA,
// decoded sub-chunk by sub-chunk) or prefix chunks (0xF100, passed over).
#include "core/state.h"
#include "flic/flic_format.h"
#include "flic/flic_stream.h"
#include "flic/palette_chunks.h"
#include "flic/pixel_chunks.h"

namespace rx::flic {
namespace {

// What one playing call decodes with.
struct Player {
  const PixelDecoders& decoders;
  FrameArea area;
  int32_t flags;
};

void decode_sub_chunk(uint16_t type, FlicStream& stream, const Player& p) {
  if (type == RX_FLIC_COLOR_256 || type == RX_FLIC_COLOR_64) {
    palette_chunk(stream, type == RX_FLIC_COLOR_64, p.flags);
    return;
  }
  apply_pending_reduction();  // pixels see the palette read before them
  switch (type) {
    case RX_FLIC_DELTA_FLC: p.decoders.delta_flc(stream, p.area); break;
    case RX_FLIC_DELTA_FLI: p.decoders.delta_fli(stream, p.area); break;
    case RX_FLIC_BLACK: p.decoders.black(stream, p.area); break;
    case RX_FLIC_BYTE_RUN: p.decoders.byte_run(stream, p.area); break;
    case RX_FLIC_COPY: p.decoders.copy(stream, p.area); break;
    default: break;  // postage stamps and the rest are skipped whole
  }
}

// A damaged frame (a header below its size, or a sub-chunk whose decoder
// read past its size) is not counted as shown.
enum class FrameResult { kShown, kDamaged };

// The sub-chunks of one frame chunk, after its 6-byte prefix.
FrameResult play_sub_chunks(int64_t size, FlicStream& stream, const Player& player) {
  if (size < RX_FLIC_FRAME_HEADER_SIZE) return FrameResult::kDamaged;
  int64_t frame_left = size - RX_FLIC_FRAME_HEADER_SIZE;
  int32_t sub_chunks = stream.u16le();
  stream.skip(RX_FLIC_FRAME_HEADER_SIZE - RX_FLIC_CHUNK_PREFIX_SIZE - 2);
  for (; sub_chunks > 0 && !stream.ended(); --sub_chunks) {
    const int64_t start = stream.offset();
    int64_t chunk_size = stream.u32le();
    int32_t type = stream.u16le();
    if (type < 0) break;  // the data ended: the frame ends here
    if (chunk_size < RX_FLIC_CHUNK_PREFIX_SIZE) return FrameResult::kDamaged;
    frame_left -= chunk_size;
    decode_sub_chunk(static_cast<uint16_t>(type), stream, player);
    int64_t chunk_left = start + chunk_size - stream.offset();
    if (chunk_left < 0) return FrameResult::kDamaged;
    stream.skip(chunk_left);
  }
  if (frame_left > 0) stream.skip(frame_left);
  return FrameResult::kShown;
}

FrameResult play_frame(int64_t size, FlicStream& stream, const Player& player) {
  const FrameResult result = play_sub_chunks(size, stream, player);
  apply_pending_reduction();
  return result;
}

}  // namespace
}  // namespace rx::flic

extern "C" {

int32_t rx_flic_play(FlicContext* context, int32_t frames, int32_t flags) {
  using namespace rx::flic;
  const rx::LibraryState& s = rx::state();
  if (!rx::has_active_buffer() || frames == 0 || context == nullptr) return 0;
  const bool memory = (flags & RX_SHOW_FROM_MEMORY) != 0;
  context->source = memory ? 1 : 0;
  if (context->width > RX_FLIC_MAX_WIDTH) return 0;
  const bool at_position = (flags & RX_SHOW_AT_POSITION) != 0;
  const Player player{pixel_decoders(s.depth_index),
                      {at_position ? s.position_x : 0, at_position ? s.position_y : 0,
                       context->width, context->height},
                      flags};
  const uint16_t delay = context->delay;

  FlicStream stream;
  if (!stream.begin(*context, memory)) return 0;
  int32_t shown = 0;
  int32_t to_go = frames;  // below 0: no limit, never counted down
  while (true) {
    // A chunk that stops the call is where the next call starts, so a
    // damaged flic ends (the next call returns 0) instead of replaying.
    const int64_t chunk_start = stream.offset();
    int64_t size = stream.u32le();
    int32_t type = stream.u16le();
    if (type < 0) {  // the data ends: nothing is left to give back
      stream.finish(*context);
      return shown;
    }
    bool stop = false;
    if (type == RX_FLIC_PREFIX_CHUNK) {
      stop = size < RX_FLIC_CHUNK_PREFIX_SIZE;
      if (!stop) stream.skip(size - RX_FLIC_CHUNK_PREFIX_SIZE);
    } else if (type == RX_FLIC_FRAME_CHUNK) {
      stop = play_frame(size, stream, player) != FrameResult::kShown;
    } else {
      stop = true;
    }
    if (stop) {
      stream.finish_at(*context, chunk_start);
      return shown;
    }
    if (!(flags & RX_FLIC_NO_DELAY)) rx_wait_ticks(delay);
    if (type == RX_FLIC_FRAME_CHUNK) {
      ++shown;
      if (to_go > 0 && --to_go == 0) {
        stream.finish(*context);
        return shown;
      }
    }
  }
}

}  // extern "C"
