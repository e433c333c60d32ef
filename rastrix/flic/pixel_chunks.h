// The five pixel chunk decoders. Each reads its chunk's data from the
// stream and draws through the canvas; all stop at the end of the data.
#pragma once

#include "flic/flic_stream.h"
#include "flic/row_writers.h"

namespace rx::flic {

void decode_copy(FlicStream& stream, Canvas& canvas);        // FLI_COPY (16)
void decode_black(Canvas& canvas);                           // BLACK (13)
void decode_byte_run(FlicStream& stream, Canvas& canvas);    // BYTE_RUN (15)
void decode_delta_fli(FlicStream& stream, Canvas& canvas);   // DELTA_FLI (12)
void decode_delta_flc(FlicStream& stream, Canvas& canvas);   // DELTA_FLC (7)

}  // namespace rx::flic
