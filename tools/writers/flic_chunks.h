// The numbers of the flic format that writers and readers outside the
// library share: file magics and chunk types.
#pragma once

#include <cstdint>

namespace rx::support {

inline constexpr uint16_t kFliMagic = 0xAF11;
inline constexpr uint16_t kFlcMagic = 0xAF12;

enum FlicChunk : uint16_t {
  kColor256 = 4,
  kDeltaFlc = 7,
  kColor64 = 11,
  kDeltaFli = 12,
  kBlack = 13,
  kByteRun = 15,
  kCopy = 16,
  kStamp = 18,
  kPrefix = 0xF100,
  kFrame = 0xF1FA,
};

}  // namespace rx::support
