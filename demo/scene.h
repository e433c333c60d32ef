// Loading what the tank shows: the photograph, the fish sprites, the school
// and the water-wheel flic.
#pragma once

#include <string>

namespace fishtank {

// Loads the scene into the three buffers of tank(). Returns an empty string
// on success, else the message that names the picture that failed; a
// half-loaded scene must not be animated.
std::string load_scene();

}  // namespace fishtank
