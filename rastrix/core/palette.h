// Palette helpers shared by the buffer, picture and flic modules.
#pragma once

#include <cstdint>

namespace rx {

// Rebuilds all 256 PaletteMap entries for the active depth from the
// logical palette (16, 24 and 32 bits; nothing at 8 bits).
void rebuild_palette_map(int32_t bits);

// Copies the colour-table palette into an 8-bit buffer's colour table.
void copy_color_table(uint8_t* header);

}  // namespace rx
