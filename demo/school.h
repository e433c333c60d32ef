// The school of fish and the rules by which each fish moves and flaps.
#pragma once

#include <cstdint>

#include "tank.h"

namespace fishtank {

// Seeds the random source (the given seed, else the library clock) and
// draws 6 to 12 fish, appended to tank().school.
void build_school();
// Draws one fish with its fields in the fixed order of draws.
Fish make_fish();

// One step of a fish, in the order the animation applies them.
void swim(Fish& fish);
void bob(Fish& fish);
// Counts the move; on every step count that is a multiple of y the fish
// picks a new vertical step, speed and band.
void change_of_mind(Fish& fish, uint32_t& step_counter);
void animate(Fish& fish, const FishKind& kind);

}  // namespace fishtank
