// The fish tank's frame as the benchmarks build it: the demo's pictures on
// a headless screen and twelve fish of every kind in view. Shared by
// rastrix_bench and the benchmark page, so both time the same frame.
#pragma once

#include <string>
#include <vector>

#include "tank.h"

namespace rx::bench {

inline constexpr int kTankWidth = 640, kTankHeight = 480;

// Twelve fish of every kind, all in view, half of them mirrored.
std::vector<fishtank::Fish> bench_school();

// The tank loaded from the pictures of assets onto a headless screen of
// the given depth, with bench_school(); false (and why) when they do not load.
bool set_up_tank(const std::string& assets, std::string* why, int desktop_bits = 16);
void tear_down_tank();

// Background and wheel copies, the bubble, the fish where they stand, one
// paste. The wheel is not decoded here (the peers blit a ready picture).
void compose_frame(const std::vector<fishtank::Fish>& school);

}  // namespace rx::bench
