// FlicStream: the bytes of a flic as one playing call reads them, from the
// open file (buffered through the InputBuffer) or from the whole file held
// in the InputBuffer. Offsets count the bytes taken since the call began,
// so chunk bookkeeping is a subtraction; every read stops at the end of the
// data.
#pragma once

#include <cstdint>

#include "core/input_source.h"
#include "rastrix.h"

namespace rx::flic {

class FlicStream : public InputSource {
 public:
  // Sets up the stream for the context's source; false when a memory
  // source has nothing left.
  bool begin(const FlicContext& context, bool memory);

  // Saves the playing position: the memory source's offset in the
  // context, the file source's by giving the read-ahead back to the file.
  void finish(FlicContext& context) { finish_at(context, offset()); }
  // Saves an earlier offset of this call as the playing position, so the
  // next call starts at the chunk that stopped this one.
  void finish_at(FlicContext& context, int64_t at);

 private:
  int64_t origin_ = 0;  // memory source: the context's position when the call began
};

}  // namespace rx::flic
