// Recording left out of this build (libpng or giflib was missing): asking
// for a recording is refused with a message that says why.
#include "recording.h"

namespace fishtank {

namespace {
constexpr const char* kUnavailable =
    "recording is not available: fishtank was built without libpng or giflib";
}  // namespace

Recorder::~Recorder() = default;

bool Recorder::open(const std::string&, std::string* error, int32_t) {
  *error = kUnavailable;
  return false;
}

void Recorder::add_frame() {}

bool Recorder::finish(std::string* error) {
  *error = kUnavailable;
  return false;
}

}  // namespace fishtank
