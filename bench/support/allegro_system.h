// Allegro 4 without a display, installed once for every benchmark that
// uses it as a peer.
#pragma once

#ifdef RASTRIX_HAVE_ALLEGRO
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

namespace bench_support {

// Installs Allegro with no system driver on the first call; false when
// that failed.
bool allegro_ready();

}  // namespace bench_support
#endif
