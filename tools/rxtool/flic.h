// Playing flics from rxtool's sources.
#pragma once

#include "rastrix.h"
#include "source.h"

namespace rxtool {

// Opens a flic: the library opens a file; a memory source gets a context
// from its header (the library plays memory from the context's position).
// 0 or a result of rx_flic_open.
int32_t open_flic(const Source& source, FlicContext& flic);
void close_flic(const Source& source, FlicContext& flic);
// Frame chunks in the file, the ring frame included.
int32_t count_frame_chunks(const Source& source);

}  // namespace rxtool
