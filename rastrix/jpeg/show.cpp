// rx_show_jpeg: the picture's input, then the walk over its segments that
// decodes each scan.
#include "core/file_io.h"
#include "core/input_source.h"
#include "core/state.h"
#include "jpeg/segments.h"
#include "jpeg/walk.h"

extern "C" int32_t rx_show_jpeg(const char* file_name, int32_t flags) {
  using namespace rx::jpeg;
  using rx::InputSource;
  rx::LibraryState& s = rx::state();
  if (!rx::has_active_buffer() || s.active_bits <= 8) return RX_OK;
  int fd = -1;
  if ((flags & RX_SHOW_FROM_MEMORY) == 0) {
    fd = rx::file_open(file_name);
    if (fd < 0) return RX_PICTURE_CANNOT_OPEN;
  }
  rx::ScopedFile file(fd);
  InputSource src =
      fd < 0 ? InputSource::over_memory(s.input_buffer, s.input_size)
             : InputSource::over_file(fd, s.input_buffer, s.input_size, InputSource::Skip::kRead,
                                      InputSource::Count::kNone);
  if (!starts_picture(src)) return RX_PICTURE_BAD_START;
  Frame frame{};
  frame.depth_index = s.depth_index;
  if (flags & RX_SHOW_AT_POSITION) frame.x0 = s.position_x, frame.y0 = s.position_y;
  FrameHeader header;
  return walk_segments(src, WalkGoal::kPicture, frame, header);
}
