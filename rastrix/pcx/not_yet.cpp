// Placeholder until the PCX reader lands: refuses every picture.
#include "rastrix.h"

extern "C" {
int32_t rx_show_pcx(const char*, int32_t) { return RX_PCX_UNSUPPORTED; }
int32_t rx_reduce_colors(int32_t, int32_t, uint8_t*) { return RX_OK; }
}
