#include "support/allegro_system.h"

#ifdef RASTRIX_HAVE_ALLEGRO
#include <cerrno>
#include <cstdlib>

namespace bench_support {

bool allegro_ready() {
  static const bool ready = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
  return ready;
}

}  // namespace bench_support
#endif
