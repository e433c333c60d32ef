#include "core/default_palette.h"

namespace rx {

namespace {

constexpr PaletteRgb kStaticLow[10] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {192, 220, 192}, {164, 200, 240},
};
constexpr PaletteRgb kStaticHigh[10] = {
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255},
};
constexpr PaletteRgb kStandard16[16] = {
    {0, 0, 0},      {0, 0, 170},    {0, 170, 0},     {0, 170, 170},
    {170, 0, 0},    {170, 0, 170},  {170, 85, 0},    {170, 170, 170},
    {85, 85, 85},   {85, 85, 255},  {85, 255, 85},   {85, 255, 255},
    {255, 85, 85},  {255, 85, 255}, {255, 255, 85},  {255, 255, 255},
};
constexpr PaletteRgb kGreys[4] = {{0, 0, 0}, {85, 85, 85}, {170, 170, 170}, {255, 255, 255}};

// Five levels per ring: three saturations at each of three brightnesses.
constexpr uint8_t kRingLevels[9][5] = {
    {0, 64, 125, 190, 255}, {125, 157, 190, 222, 255}, {182, 198, 218, 234, 255},
    {0, 28, 56, 85, 113},   {56, 68, 85, 97, 113},     {80, 89, 97, 105, 113},
    {0, 16, 32, 48, 64},    {32, 40, 48, 56, 64},      {44, 48, 52, 60, 64},
};
// Level numbers (red, green, blue) once around the hue circle from blue.
constexpr uint8_t kRingOrder[24][3] = {
    {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
    {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
    {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
};

constexpr std::array<PaletteRgb, 256> build() {
  std::array<PaletteRgb, 256> p{};
  for (int i = 0; i < 10; ++i) p[i] = kStaticLow[i];
  for (int i = 0; i < 16; ++i) p[10 + i] = kStandard16[i];
  for (int i = 0; i < 4; ++i) p[26 + i] = kGreys[i];
  for (int r = 0; r < 9; ++r)
    for (int k = 0; k < 24; ++k)
      p[30 + 24 * r + k] = {kRingLevels[r][kRingOrder[k][0]], kRingLevels[r][kRingOrder[k][1]],
                            kRingLevels[r][kRingOrder[k][2]]};
  for (int i = 0; i < 10; ++i) p[246 + i] = kStaticHigh[i];
  return p;
}

constexpr std::array<PaletteRgb, 256> kDefault = build();

}  // namespace

const std::array<PaletteRgb, 256>& default_palette() { return kDefault; }

}  // namespace rx
