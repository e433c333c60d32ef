// Pcx support of rxtool: not yet wired to the library.
#include "formats.h"

namespace rxtool {

const Format kPcxFormat = {"pcx", nullptr, nullptr, nullptr, nullptr, nullptr};

}  // namespace rxtool
