// Marker codes of ITU-T T.81 Table B.1 that the decoder acts on.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_tables.h"

namespace rx::jpeg {

inline constexpr uint8_t kMarkerSof0 = 0xC0;
inline constexpr uint8_t kMarkerDht = 0xC4;
inline constexpr uint8_t kMarkerJpg = 0xC8;  // reserved, not a frame
inline constexpr uint8_t kMarkerDac = 0xCC;  // arithmetic conditioning, not a frame
inline constexpr uint8_t kMarkerSof15 = 0xCF;
inline constexpr uint8_t kMarkerRst0 = 0xD0;
inline constexpr uint8_t kMarkerRst7 = 0xD7;
inline constexpr uint8_t kMarkerSoi = 0xD8;
inline constexpr uint8_t kMarkerEoi = 0xD9;
inline constexpr uint8_t kMarkerSos = 0xDA;
inline constexpr uint8_t kMarkerDqt = 0xDB;
inline constexpr uint8_t kMarkerDri = 0xDD;

// SOF1..SOF15: frames of the coding processes other than baseline.
inline constexpr bool is_other_frame(uint8_t code) {
  return code > kMarkerSof0 && code <= kMarkerSof15 && code != kMarkerDht && code != kMarkerJpg &&
         code != kMarkerDac;
}

}  // namespace rx::jpeg
