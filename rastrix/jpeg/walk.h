// The marker loop over a picture's segments (after SOI), with the readers
// of its table, restart and scan segments. The decoder walks the whole
// picture; the header reader walks the same way up to the frame header,
// so both accept and refuse the same streams.
#pragma once

#include <cstdint>

#include "core/input_source.h"
#include "jpeg/frame.h"
#include "jpeg/frame_header.h"

namespace rx::jpeg {

enum class WalkGoal {
  kPicture,      // every segment and scan up to EOI, into the decoder's tables
  kFrameHeader,  // up to the frame header; the decoder's tables are left alone
};

// 0 at EOI (or, for kFrameHeader, once the frame header is read: then
// f.seen is set and header holds it), else the result code of
// rx_show_jpeg. The frame header read lands in header either way.
int32_t walk_segments(InputSource& src, WalkGoal goal, Frame& f, FrameHeader& header);

// Result of read_header when EOI comes before any frame header: the
// decoder then draws nothing and reports the picture complete.
inline constexpr int32_t kNoFrameHeader = -1;

// The frame header of the picture at the start of src (SOI included),
// read as the decoder reads it. 0, kNoFrameHeader, or the result code of
// rx_show_jpeg that refuses the stream on the way.
int32_t read_header(InputSource& src, FrameHeader& header);

}  // namespace rx::jpeg
