// Reading the marker stream one segment at a time: the marker (after any
// fill bytes) and the length field that bounds a segment's body. The
// header reader and the decoder both walk a picture with these.
#pragma once

#include <cstdint>

#include "core/input_source.h"

namespace rx::jpeg {

// True when the input begins with SOI (0xFF 0xD8).
bool starts_picture(InputSource& src);

// The code of the next marker: 0xFF, any fill bytes 0xFF, then the code.
// A result code (negative) when the input ends or no 0xFF comes first.
int next_marker(InputSource& src);

// True for the markers that carry no length: RST0..RST7 and SOI.
bool stands_alone(int code);

// The length field of a segment: the body bytes that follow it, or a
// result code (negative) when it is missing or too short.
int32_t segment_body(InputSource& src);

}  // namespace rx::jpeg
