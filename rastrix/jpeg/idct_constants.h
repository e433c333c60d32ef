// The inverse DCT's fixed-point factors, shifts and level shift, shared by
// its portable and vector forms.
#pragma once

#include <cstdint>

namespace rx::jpeg::idct_constants {

// The factorisation's real factors scaled by 2^13 and rounded.
inline constexpr uint32_t kF0541 = 4433;   // 0.541196100
inline constexpr uint32_t kF0765 = 6270;   // 0.765366865
inline constexpr uint32_t kF1847 = 15137;  // 1.847759065
inline constexpr uint32_t kF1175 = 9633;   // 1.175875602
inline constexpr uint32_t kF0298 = 2446;   // 0.298631336
inline constexpr uint32_t kF2053 = 16819;  // 2.053119869
inline constexpr uint32_t kF3072 = 25172;  // 3.072711026
inline constexpr uint32_t kF1501 = 12299;  // 1.501321110
inline constexpr uint32_t kF0899 = 7373;   // 0.899976223
inline constexpr uint32_t kF2562 = 20995;  // 2.562915447
inline constexpr uint32_t kF1961 = 16069;  // 1.961570560
inline constexpr uint32_t kF0390 = 3196;   // 0.390180644
inline constexpr uint32_t kOne = 8192;

inline constexpr int kPass1Shift = 11;  // leaves two fraction bits for the second pass
inline constexpr int kPass2Shift = 18;
inline constexpr int32_t kPass1Round = 1 << (kPass1Shift - 1);
inline constexpr int32_t kPass2Round = 1 << (kPass2Shift - 1);
inline constexpr int32_t kCenter = 128;

}  // namespace rx::jpeg::idct_constants
