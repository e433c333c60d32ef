// The native build's rand() (glibc's additive feedback generator) for the
// page: Emscripten's C library draws another sequence, and the same seed
// must swim the same school in the page as in the native program.
#pragma once

#include <cstdint>

namespace web {

void seed_native_rand(uint32_t seed);
int native_rand();  // 0 .. 2^31 - 1

}  // namespace web
